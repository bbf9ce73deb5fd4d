// Decoding speed of ADPCM and MP3 event sounds against real time, with a baseline that
// converts the same number of uncompressed PCM samples. The x_realtime counter is seconds of
// sound decoded per second of CPU.
#include <benchmark/benchmark.h>

#include <cmath>
#include <fstream>
#include <iterator>

#include "swf/audio/decoders.h"
#include "swf/writer/sound_encoding.h"

namespace {

constexpr std::uint32_t kRate = 44100;
constexpr std::uint32_t kSeconds = 10;

std::vector<std::int16_t> stereo_tone()
{
    std::vector<std::int16_t> s;
    for (std::uint32_t i = 0; i < kRate * kSeconds; ++i) {
        s.push_back(std::int16_t(12000 * std::sin(2 * M_PI * 440 * i / kRate)));
        s.push_back(std::int16_t(12000 * std::sin(2 * M_PI * 660 * i / kRate)));
    }
    return s;
}

swf::DefineSound sound_of(swf::SoundFormat format, const std::vector<std::uint8_t>& data, std::uint32_t frames)
{
    swf::DefineSound s;
    s.format = format;
    s.rate = kRate;
    s.stereo = true;
    s.sample_count = frames;
    s.data = data;
    return s;
}

void decode(benchmark::State& state, const swf::DefineSound& sound)
{
    std::size_t frames = 0;
    for (auto _ : state) {
        swf::audio::PcmSound pcm = swf::audio::decode_sound(sound);
        frames = pcm.frames();
        benchmark::DoNotOptimize(pcm.samples.data());
    }
    state.counters["x_realtime"] = benchmark::Counter(double(frames) / kRate, benchmark::Counter::kIsIterationInvariantRate);
    state.counters["sound_s"] = double(frames) / kRate;
}

void BM_PcmBaseline(benchmark::State& state)
{
    static const std::vector<std::uint8_t> data = swf::pcm_bytes(stereo_tone(), true);
    decode(state, sound_of(swf::SoundFormat::PcmLittleEndian, data, kRate * kSeconds));
}

void BM_Adpcm4Bit(benchmark::State& state)
{
    static const std::vector<std::uint8_t> data = swf::encode_adpcm(stereo_tone(), true, 4);
    decode(state, sound_of(swf::SoundFormat::Adpcm, data, kRate * kSeconds));
}

// The 0.5 s stereo test tone, its frames repeated to ten seconds.
void BM_Mp3(benchmark::State& state)
{
    static const std::vector<std::uint8_t> data = [] {
        std::ifstream in(LUMAVO_AUDIO_DATA "/tone440_660_44k_stereo.mp3", std::ios::binary);
        std::vector<std::uint8_t> mp3{std::istreambuf_iterator<char>(in), {}};
        std::vector<std::uint8_t> out = {0, 0};
        for (std::uint32_t i = 0; i < kSeconds * 2; ++i)
            out.insert(out.end(), mp3.begin(), mp3.end());
        return out;
    }();
    if (data.size() < 1000)
        state.SkipWithError("MP3 test tone not found");
    decode(state, sound_of(swf::SoundFormat::Mp3, data, kRate * kSeconds));
}

} // namespace

BENCHMARK(BM_PcmBaseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Adpcm4Bit)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mp3)->Unit(benchmark::kMillisecond);
