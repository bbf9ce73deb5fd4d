#include "midi_writer.h"

#include <algorithm>
#include <string>

namespace music {
namespace {

constexpr int kDrumChannel = 9;
constexpr int kBendCentre = 8192;
constexpr int kSlideTicks = kTicksPerBeat / 4;
constexpr int kSlideSteps = 8;

// Events that share a tick go out in this order, so a repeated key is released before it is
// struck again and every setting is in place before the note it concerns.
enum Order { NoteOff, Control, NoteOn };

struct Event {
    int tick;
    Order order;
    std::vector<std::uint8_t> bytes;
};

void putVarLength(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    std::uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0 && count < 4);
    while (count > 1)
        out.push_back(groups[--count] | 0x80);
    out.push_back(groups[0]);
}

void putBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
}

std::vector<std::uint8_t> meta(std::uint8_t type, const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> bytes{0xFF, type};
    putVarLength(bytes, std::uint32_t(data.size()));
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

std::vector<std::uint8_t> text(const std::string& s)
{
    return {s.begin(), s.end()};
}

// One track chunk: the events in time order, closed by an end-of-track at `endTick`.
void putTrack(std::vector<std::uint8_t>& file, std::vector<Event> events, int endTick)
{
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    events.push_back({endTick, Control, meta(0x2F, {})});
    std::vector<std::uint8_t> body;
    int tick = 0;
    for (const Event& event : events) {
        putVarLength(body, std::uint32_t(event.tick - tick));
        tick = event.tick;
        body.insert(body.end(), event.bytes.begin(), event.bytes.end());
    }
    file.insert(file.end(), {'M', 'T', 'r', 'k'});
    putBigEndian(file, std::uint32_t(body.size()), 4);
    file.insert(file.end(), body.begin(), body.end());
}

std::vector<Event> conductor(const Piece& piece)
{
    const std::uint32_t usPerBeat = std::uint32_t(60'000'000 / piece.tempo);
    std::vector<std::uint8_t> tempo;
    putBigEndian(tempo, usPerBeat, 3);
    return {
        {0, Control, meta(0x03, text(piece.title))},
        {0, Control, meta(0x51, tempo)},
        // beats per bar, quarter-note beats, 24 clocks per beat, 8 thirty-seconds per quarter
        {0, Control, meta(0x58, {std::uint8_t(piece.beatsPerBar), 2, 24, 8})},
    };
}

std::vector<Event> partEvents(const Part& part, int channel)
{
    const auto status = [channel](int kind) { return std::uint8_t(kind | channel); };
    const auto cc = [&](int controller, int value) {
        return Event{0, Control, {status(0xB0), std::uint8_t(controller), std::uint8_t(value)}};
    };
    const auto bend = [&](int tick, int value) {
        return Event{tick, Control, {status(0xE0), std::uint8_t(value & 0x7F), std::uint8_t(value >> 7)}};
    };

    std::vector<Event> events{
        {0, Control, meta(0x03, text(part.name))},
        cc(121, 0), // reset controllers: each pass starts from the same state
        cc(0, 0),   // bank 0: the General MIDI sounds
        {0, Control, {status(0xC0), std::uint8_t(part.drums ? 0 : part.program - 1)}},
        cc(7, part.volume),
        cc(10, std::clamp(64 + part.pan, 0, 127)),
        cc(91, part.reverb),
        cc(93, part.chorus),
        cc(1, part.vibrato),
        cc(64, part.sustain ? 127 : 0),
        // pitch-bend range of two semitones, for the slides
        cc(101, 0), cc(100, 0), cc(6, 2), cc(38, 0), cc(101, 127), cc(100, 127),
        bend(0, kBendCentre),
    };
    for (const Note& note : part.notes) {
        const int sounding = std::max(1, note.length * part.gate / 100);
        if (note.slide) {
            // From a whole tone below, easing into the pitch.
            const int span = std::min(kSlideTicks, note.length / 2);
            for (int step = 0; step <= kSlideSteps; ++step) {
                const double t = double(step) / kSlideSteps;
                const int value = int(kBendCentre * (1 - (1 - t) * (1 - t)));
                events.push_back(bend(note.tick + span * step / kSlideSteps, std::min(value, kBendCentre)));
            }
        }
        events.push_back({note.tick, NoteOn, {status(0x90), std::uint8_t(note.key), std::uint8_t(note.velocity)}});
        events.push_back({note.tick + sounding, NoteOff, {status(0x80), std::uint8_t(note.key), 0}});
    }
    return events;
}

} // namespace

std::vector<std::uint8_t> writeMidi(const Piece& piece)
{
    std::vector<std::uint8_t> file{'M', 'T', 'h', 'd'};
    putBigEndian(file, 6, 4);
    putBigEndian(file, 1, 2);
    putBigEndian(file, std::uint32_t(piece.parts.size() + 1), 2);
    putBigEndian(file, kTicksPerBeat, 2);

    putTrack(file, conductor(piece), piece.lengthTicks);
    int nextChannel = 0;
    for (const Part& part : piece.parts) {
        int channel = kDrumChannel;
        if (!part.drums) {
            if (nextChannel == kDrumChannel)
                ++nextChannel;
            channel = nextChannel++;
        }
        putTrack(file, partEvents(part, channel), piece.lengthTicks);
    }
    return file;
}

} // namespace music
