#pragma once

#include <cstdint>
#include <vector>

namespace swf::audio {

// A RIFF WAVE file of 16-bit PCM: `samples` interleaved for `channels`.
std::vector<std::uint8_t> wav_file(const std::vector<std::int16_t>& samples, int channels, int rate);

} // namespace swf::audio
