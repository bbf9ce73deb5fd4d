#include "swf/writer/sound_encoding.h"

#include <algorithm>
#include <cstdlib>

#include "swf/parser/adpcm_tables.h"
#include "swf/writer/bit_writer.h"

namespace swf {
namespace {

using adpcm::kIndexTables;
using adpcm::kSteps;

struct Channel {
    int predicted = 0;
    int index = 0;
};

// Chooses the code whose reconstruction comes closest, and moves the channel state exactly as
// a decoder will.
std::uint32_t encode_sample(Channel& ch, int target, int bits)
{
    const std::uint32_t sign = 1u << (bits - 1);
    int step = kSteps[ch.index];
    int remaining = std::abs(target - ch.predicted);
    std::uint32_t code = target < ch.predicted ? sign : 0;
    int diff = step >> (bits - 1);
    for (std::uint32_t mask = sign >> 1; mask; mask >>= 1, step >>= 1)
        if (remaining >= step) {
            code |= mask;
            remaining -= step;
            diff += step;
        }
    ch.predicted = std::clamp(code & sign ? ch.predicted - diff : ch.predicted + diff, -32768, 32767);
    ch.index = std::clamp(ch.index + kIndexTables[bits - 2][code & (sign - 1)], 0, 88);
    return code;
}

} // namespace

std::vector<std::uint8_t> pcm_bytes(const std::vector<std::int16_t>& samples, bool sixteen_bit)
{
    std::vector<std::uint8_t> out;
    for (std::int16_t s : samples) {
        if (sixteen_bit) {
            out.push_back(std::uint8_t(s & 0xff));
            out.push_back(std::uint8_t((s >> 8) & 0xff));
        } else {
            out.push_back(std::uint8_t((s >> 8) + 128));
        }
    }
    return out;
}

std::vector<std::uint8_t> encode_adpcm(const std::vector<std::int16_t>& samples, bool stereo, int bits)
{
    bits = std::clamp(bits, 2, 5);
    const std::size_t channels = stereo ? 2 : 1;
    const std::size_t frames = samples.size() / channels;
    BitWriter w;
    w.ub(2, std::uint32_t(bits - 2));
    Channel state[2];
    for (std::size_t f = 0; f < frames; ++f) {
        bool header = f % 4096 == 0;
        for (std::size_t c = 0; c < channels; ++c) {
            int target = samples[f * channels + c];
            if (header) {
                state[c].predicted = target;
                w.ub(16, std::uint16_t(target));
                w.ub(6, std::uint32_t(state[c].index));
            } else {
                w.ub(unsigned(bits), encode_sample(state[c], target, bits));
            }
        }
    }
    w.align();
    return w.take();
}

std::vector<Mp3Frame> mp3_frames(const std::vector<std::uint8_t>& data)
{
    static constexpr int kBitrates1[] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320};
    static constexpr int kBitrates2[] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160};
    static constexpr std::uint32_t kRates[3][3] = {{44100, 48000, 32000}, {22050, 24000, 16000}, {11025, 12000, 8000}};
    std::vector<Mp3Frame> frames;
    std::size_t at = 0;
    if (data.size() >= 10 && data[0] == 'I' && data[1] == 'D' && data[2] == '3')
        at = 10 + ((data[6] & 0x7f) << 21 | (data[7] & 0x7f) << 14 | (data[8] & 0x7f) << 7 | (data[9] & 0x7f));
    while (at + 4 <= data.size()) {
        const std::uint8_t* h = data.data() + at;
        int version = (h[1] >> 3) & 3; // 3: MPEG 1, 2: MPEG 2, 0: MPEG 2.5
        int layer = (h[1] >> 1) & 3;   // 1: layer III
        int bitrate = h[2] >> 4, rate = (h[2] >> 2) & 3, padding = (h[2] >> 1) & 1;
        if (h[0] != 0xff || (h[1] & 0xe0) != 0xe0 || version == 1 || layer != 1 || bitrate == 0 || bitrate == 15
            || rate == 3) {
            ++at;
            continue;
        }
        bool mpeg1 = version == 3;
        Mp3Frame f;
        f.rate = kRates[mpeg1 ? 0 : version == 2 ? 1 : 2][rate];
        f.samples = mpeg1 ? 1152 : 576;
        std::size_t size = (mpeg1 ? 144 : 72) * 1000 * std::size_t(mpeg1 ? kBitrates1[bitrate] : kBitrates2[bitrate]) / f.rate
                           + std::size_t(padding);
        if (at + size > data.size())
            break;
        f.bytes.assign(h, h + size);
        frames.push_back(std::move(f));
        at += size;
    }
    return frames;
}

} // namespace swf
