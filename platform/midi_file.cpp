#include "platform/midi_file.h"

#include <algorithm>
#include <cmath>

namespace platform {
namespace {

constexpr double kMaxLengthUs = 24.0 * 3600 * 1e6;
constexpr std::uint32_t kDefaultTempoUs = 500'000; // microseconds per quarter note

std::uint32_t be32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::uint16_t be16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] << 8 | p[1]);
}

// An event in file order, before the tracks are merged and ticks become time.
struct TrackEvent {
    std::uint64_t tick;
    MidiEvent event;
    std::uint32_t tempoUs; // non-zero for a tempo change
};

class TrackReader {
public:
    TrackReader(std::span<const std::uint8_t> chunk, MidiSong& song, std::vector<TrackEvent>& out)
        : m_data(chunk), m_song(song), m_out(out)
    {
    }

    // Reads the whole track; returns the tick at which it ends, or nothing if it is malformed.
    std::optional<std::uint64_t> read()
    {
        std::uint64_t tick = 0;
        std::uint8_t running = 0;
        while (m_pos < m_data.size()) {
            const auto delta = readVarLength();
            if (!delta || m_pos >= m_data.size())
                return std::nullopt;
            tick += *delta;

            std::uint8_t status = m_data[m_pos];
            if (status < 0x80) {
                if (running == 0)
                    return std::nullopt; // a data byte with no status before it
                status = running;
            } else {
                ++m_pos;
            }

            if (status < 0xF0) {
                running = status;
                if (!readChannelMessage(tick, status))
                    return std::nullopt;
            } else if (status == 0xFF) {
                if (m_pos >= m_data.size())
                    return std::nullopt;
                const std::uint8_t type = m_data[m_pos++];
                const auto body = readBlock();
                if (!body)
                    return std::nullopt;
                if (type == 0x2F)
                    return tick; // end of track; anything after it is ignored
                if (type == 0x51 && body->size() == 3) {
                    const std::uint32_t tempo = std::uint32_t((*body)[0]) << 16 | (*body)[1] << 8 | (*body)[2];
                    if (tempo == 0)
                        return std::nullopt;
                    m_out.push_back({tick, {}, tempo});
                }
            } else if (status == 0xF0 || status == 0xF7) {
                const auto body = readBlock();
                if (!body)
                    return std::nullopt;
                // 0xF7 blocks are escapes (raw bytes, sysex continuations): not sent.
                if (status == 0xF0)
                    addSysex(tick, *body);
            } else {
                return std::nullopt; // system common and real-time messages have no place in a file
            }
        }
        return tick; // no end-of-track event: the chunk's end ends the track
    }

private:
    std::optional<std::uint32_t> readVarLength()
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            if (m_pos >= m_data.size())
                return std::nullopt;
            const std::uint8_t byte = m_data[m_pos++];
            value = value << 7 | (byte & 0x7F);
            if ((byte & 0x80) == 0)
                return value;
        }
        return std::nullopt; // longer than the four bytes a file may use
    }

    std::optional<std::span<const std::uint8_t>> readBlock()
    {
        const auto length = readVarLength();
        if (!length || *length > m_data.size() - m_pos)
            return std::nullopt;
        const auto block = m_data.subspan(m_pos, *length);
        m_pos += *length;
        return block;
    }

    bool readChannelMessage(std::uint64_t tick, std::uint8_t status)
    {
        const std::uint8_t kind = status & 0xF0;
        const int count = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (m_data.size() - m_pos < std::size_t(count))
            return false;
        MidiEvent event;
        event.status = status;
        event.data1 = m_data[m_pos++];
        if (count == 2)
            event.data2 = m_data[m_pos++];
        if (event.data1 >= 0x80 || event.data2 >= 0x80)
            return false;
        m_out.push_back({tick, event, 0});
        return true;
    }

    void addSysex(std::uint64_t tick, std::span<const std::uint8_t> body)
    {
        if (!body.empty() && body.back() == 0xF7)
            body = body.first(body.size() - 1);
        MidiEvent event;
        event.status = 0xF0;
        event.sysex = std::uint32_t(m_song.sysex.size());
        m_song.sysex.emplace_back(body.begin(), body.end());
        m_out.push_back({tick, event, 0});
    }

    std::span<const std::uint8_t> m_data;
    std::size_t m_pos = 0;
    MidiSong& m_song;
    std::vector<TrackEvent>& m_out;
};

// Microseconds per tick: fixed for SMPTE time, else set by the current tempo.
struct TimeBase {
    bool smpte = false;
    double usPerTick = 0;     // SMPTE
    double ticksPerQuarter = 0; // metrical

    double usPer(std::uint32_t tempoUs) const { return smpte ? usPerTick : tempoUs / ticksPerQuarter; }
};

std::optional<TimeBase> timeBase(std::uint16_t division)
{
    TimeBase base;
    if (division & 0x8000) {
        const int framesPerSecond = -static_cast<std::int8_t>(division >> 8);
        const int ticksPerFrame = division & 0xFF;
        if (ticksPerFrame == 0)
            return std::nullopt;
        double rate = 0;
        switch (framesPerSecond) {
        case 24: rate = 24; break;
        case 25: rate = 25; break;
        case 29: rate = 30000.0 / 1001; break; // drop-frame 29.97
        case 30: rate = 30; break;
        default: return std::nullopt;
        }
        base.smpte = true;
        base.usPerTick = 1e6 / (rate * ticksPerFrame);
    } else {
        if (division == 0)
            return std::nullopt;
        base.ticksPerQuarter = division;
    }
    return base;
}

} // namespace

std::optional<MidiSong> parseMidiFile(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < 14 || bytes.size() > kMaxMidiFileSize || !std::equal(bytes.begin(), bytes.begin() + 4, "MThd"))
        return std::nullopt;
    const std::uint32_t headerLength = be32(&bytes[4]);
    if (headerLength < 6 || headerLength > bytes.size() - 8)
        return std::nullopt;
    const std::uint16_t format = be16(&bytes[8]);
    const std::uint16_t trackCount = be16(&bytes[10]);
    const auto base = timeBase(be16(&bytes[12]));
    if (format > 2 || trackCount == 0 || !base)
        return std::nullopt;

    MidiSong song;
    std::vector<TrackEvent> events;
    std::uint64_t endTick = 0;
    std::size_t pos = 8 + std::size_t(headerLength);
    for (int tracks = 0; tracks < trackCount;) {
        if (bytes.size() - pos < 8)
            return std::nullopt;
        const std::uint32_t length = be32(&bytes[pos + 4]);
        if (length > bytes.size() - pos - 8)
            return std::nullopt;
        if (std::equal(bytes.begin() + pos, bytes.begin() + pos + 4, "MTrk")) {
            const auto trackEnd = TrackReader(bytes.subspan(pos + 8, length), song, events).read();
            if (!trackEnd)
                return std::nullopt;
            endTick = std::max(endTick, *trackEnd);
            ++tracks;
        }
        pos += 8 + std::size_t(length);
    }

    // Tracks were read one after another; a stable sort by tick merges them and keeps the
    // order of events that share a tick. The tracks of a format 2 file are played together.
    std::stable_sort(events.begin(), events.end(), [](const TrackEvent& a, const TrackEvent& b) { return a.tick < b.tick; });

    std::uint32_t tempo = kDefaultTempoUs;
    std::uint64_t tick = 0;
    double timeUs = 0;
    const auto advanceTo = [&](std::uint64_t target) {
        timeUs += double(target - tick) * base->usPer(tempo);
        tick = target;
        return timeUs <= kMaxLengthUs;
    };
    song.events.reserve(events.size());
    for (const TrackEvent& e : events) {
        if (!advanceTo(e.tick))
            return std::nullopt;
        if (e.tempoUs != 0) {
            tempo = e.tempoUs;
            continue;
        }
        MidiEvent event = e.event;
        event.timeUs = std::uint64_t(std::llround(timeUs));
        song.events.push_back(event);
    }
    if (!advanceTo(endTick))
        return std::nullopt;
    song.lengthUs = std::uint64_t(std::llround(timeUs));
    return song;
}

} // namespace platform
