#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform {

// One event of a standard MIDI file that reaches the synthesizer, at its time from the start.
// Channel messages keep their status and data bytes; a system-exclusive message keeps its bytes
// without the leading 0xF0 in MidiSong::sysex.
struct MidiEvent {
    std::uint64_t timeUs = 0;
    std::uint8_t status = 0; // 0x80..0xEF, or 0xF0 for system exclusive
    std::uint8_t data1 = 0;
    std::uint8_t data2 = 0;
    std::uint32_t sysex = 0; // index into MidiSong::sysex when status is 0xF0
};

// A whole MIDI file flattened into one time-ordered list of events.
struct MidiSong {
    std::vector<MidiEvent> events;
    std::vector<std::vector<std::uint8_t>> sysex;
    std::uint64_t lengthUs = 0; // the end of the longest track
};

// Files larger than this are not background music; they are refused rather than read.
constexpr std::size_t kMaxMidiFileSize = 16 * 1024 * 1024;

// Reads a standard MIDI file (formats 0, 1 and 2, metrical or SMPTE time). Returns nothing when
// the bytes are not a complete, well-formed file: a wrong or short header, a track chunk that
// runs past the end of the file, an event stream that cannot be parsed, fewer track chunks than
// the header announces, or a length beyond a day. Unknown chunk types are skipped.
std::optional<MidiSong> parseMidiFile(std::span<const std::uint8_t> bytes);

} // namespace platform
