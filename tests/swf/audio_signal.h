// Measures on rendered sound for the audio tests: pitch by zero crossings, where a sound is
// audible, loudness.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace audio_signal {

// One channel of interleaved samples.
inline std::vector<int> channel(const std::vector<std::int16_t>& samples, int channels, int which)
{
    std::vector<int> out;
    for (std::size_t i = std::size_t(which); i < samples.size(); i += std::size_t(channels))
        out.push_back(samples[i]);
    return out;
}

// Frequency in Hz from the upward zero crossings of [from, to).
inline double pitch(const std::vector<int>& s, double rate, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    to = std::min(to, s.size());
    std::size_t first = 0, last = 0, count = 0;
    for (std::size_t i = from + 1; i < to; ++i)
        if (s[i - 1] < 0 && s[i] >= 0) {
            if (count++ == 0)
                first = i;
            last = i;
        }
    return count < 2 ? 0 : double(count - 1) * rate / double(last - first);
}

// The first and one past the last sample louder than `threshold`; {0, 0} when none is.
inline std::pair<std::size_t, std::size_t> audible(const std::vector<int>& s, int threshold = 300)
{
    std::size_t begin = s.size(), end = 0;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (std::abs(s[i]) > threshold) {
            begin = std::min(begin, i);
            end = i + 1;
        }
    return begin < end ? std::pair{begin, end} : std::pair<std::size_t, std::size_t>{0, 0};
}

inline double rms(const std::vector<int>& s, std::size_t from = 0, std::size_t to = SIZE_MAX)
{
    to = std::min(to, s.size());
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double(s[i]) * s[i];
    return to > from ? std::sqrt(sum / double(to - from)) : 0;
}

// A sine tone of 16-bit samples, interleaved: channel c at freqs[c].
inline std::vector<std::int16_t> tone(std::vector<double> freqs, double rate, std::size_t frames, double amplitude = 12000)
{
    std::vector<std::int16_t> out;
    for (std::size_t i = 0; i < frames; ++i)
        for (double f : freqs)
            out.push_back(std::int16_t(std::lround(amplitude * std::sin(2 * M_PI * f * double(i) / rate))));
    return out;
}

} // namespace audio_signal
