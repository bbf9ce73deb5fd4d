#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace swf::audio {

// Decoded sound: 16-bit samples, interleaved when stereo.
struct PcmSound {
    std::uint32_t rate = 44100; // Hz; 5512 stands for the format's 5512.5
    int channels = 1;
    std::vector<std::int16_t> samples;

    std::size_t frames() const { return channels > 0 ? samples.size() / std::size_t(channels) : 0; }
};

// The longest event sound a decoder makes, in frames: five minutes at 44.1 kHz (50 MB of
// stereo). A sound that claims more is cut there: a damaged or hostile count would otherwise
// take the memory. Long narration comes as stream sound, decoded block by block.
constexpr std::size_t kMaxSoundFrames = std::size_t(44100) * 60 * 5;

} // namespace swf::audio
