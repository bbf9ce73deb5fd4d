#include "swf/audio/wav.h"

#include <string_view>

namespace swf::audio {

std::vector<std::uint8_t> wav_file(const std::vector<std::int16_t>& samples, int channels, int rate)
{
    std::vector<std::uint8_t> out;
    auto text = [&](std::string_view s) { out.insert(out.end(), s.begin(), s.end()); };
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out.push_back(std::uint8_t(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    const std::uint32_t data_bytes = std::uint32_t(samples.size() * 2);
    text("RIFF");
    u32(36 + data_bytes);
    text("WAVEfmt ");
    u32(16);
    u16(1); // PCM
    u16(std::uint16_t(channels));
    u32(std::uint32_t(rate));
    u32(std::uint32_t(rate * channels * 2));
    u16(std::uint16_t(channels * 2));
    u16(16);
    text("data");
    u32(data_bytes);
    for (std::int16_t s : samples)
        u16(std::uint16_t(s));
    return out;
}

} // namespace swf::audio
