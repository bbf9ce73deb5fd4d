#include "swf/audio/adpcm.h"

#include <algorithm>

#include "swf/parser/adpcm_tables.h"

namespace swf::audio {
namespace {

using adpcm::kIndexTables;
using adpcm::kSteps;

constexpr std::size_t kPacketFrames = 4096;

// Most significant bit first, bounded by the data.
class Bits {
public:
    explicit Bits(Bytes data) : m_data(data), m_left(data.size() * 8) {}
    bool has(std::size_t bits) const { return m_left >= bits; }
    std::uint32_t read(unsigned bits)
    {
        std::uint32_t v = 0;
        while (bits--) {
            std::size_t bit = m_data.size() * 8 - m_left--;
            v = (v << 1) | ((m_data[bit >> 3] >> (7 - (bit & 7))) & 1u);
        }
        return v;
    }

private:
    Bytes m_data;
    std::size_t m_left;
};

struct Channel {
    int sample = 0;
    int index = 0;
};

} // namespace

std::vector<std::int16_t> decode_adpcm(Bytes data, int channels, std::size_t max_frames)
{
    std::vector<std::int16_t> out;
    if (channels < 1 || channels > 2)
        return out;
    Bits bits(data);
    if (!bits.has(2))
        return out;
    const unsigned code_bits = bits.read(2) + 2;
    const int* index_table = kIndexTables[code_bits - 2];
    const std::uint32_t sign = 1u << (code_bits - 1);
    max_frames = std::min(max_frames, data.size() * 8 / (code_bits * unsigned(channels)) + 1);
    out.reserve(max_frames * std::size_t(channels));
    Channel state[2];
    std::size_t frames = 0;
    while (frames < max_frames && bits.has(22u * unsigned(channels))) {
        for (int c = 0; c < channels; ++c) {
            state[c].sample = static_cast<std::int16_t>(bits.read(16));
            state[c].index = static_cast<int>(bits.read(6));
            state[c].index = std::min(state[c].index, 88);
            out.push_back(static_cast<std::int16_t>(state[c].sample));
        }
        ++frames;
        for (std::size_t i = 1; i < kPacketFrames && frames < max_frames; ++i, ++frames) {
            if (!bits.has(code_bits * unsigned(channels)))
                return out;
            for (int c = 0; c < channels; ++c) {
                Channel& ch = state[c];
                std::uint32_t code = bits.read(code_bits);
                int step = kSteps[ch.index];
                int diff = step >> (code_bits - 1);
                for (std::uint32_t mask = sign >> 1; mask; mask >>= 1, step >>= 1)
                    if (code & mask)
                        diff += step;
                ch.sample = std::clamp(code & sign ? ch.sample - diff : ch.sample + diff, -32768, 32767);
                ch.index = std::clamp(ch.index + index_table[code & (sign - 1)], 0, 88);
                out.push_back(static_cast<std::int16_t>(ch.sample));
            }
        }
    }
    return out;
}

} // namespace swf::audio
