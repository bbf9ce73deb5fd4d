// The sound decoders on their own: hand-worked ADPCM, round trips through the writer's
// encoder, MP3 through libmpg123, and damaged data of every format.
//
// audio_data/ holds MP3s of synthetic sine tones, made once with
//   lame -t --cbr -b 32 -m m --resample 22.05  (440 Hz, 1 s, 22.05 kHz mono)
//   lame -t --cbr -b 64 -m s --resample 44.1   (440 Hz left, 660 Hz right, 0.5 s, 44.1 kHz)
#include <gtest/gtest.h>

#include <QFile>

#include <random>

#include "audio_signal.h"
#include "swf/audio/adpcm.h"
#include "swf/audio/decoders.h"
#include "swf/audio/mixer.h"
#include "swf/writer/bit_writer.h"
#include "swf/writer/sound_encoding.h"

using namespace swf;
using namespace swf::audio;
using namespace audio_signal;

namespace {

std::vector<std::uint8_t> fixture(const char* name)
{
    QFile f(qEnvironmentVariable("LUMAVO_SOURCE_DIR") + "/tests/swf/audio_data/" + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    QByteArray b = f.readAll();
    return {b.begin(), b.end()};
}

DefineSound sound_of(SoundFormat format, std::uint32_t rate, bool stereo, std::uint32_t count,
                     const std::vector<std::uint8_t>& data)
{
    DefineSound s;
    s.format = format;
    s.rate = rate;
    s.stereo = stereo;
    s.sample_count = count;
    s.data = data;
    return s;
}

struct HandAdpcm {
    const char* name;
    int channels;
    std::vector<std::pair<std::uint32_t, unsigned>> fields; // value, bits
    std::vector<std::int16_t> expected;
};

} // namespace

// Step sizes, index moves and clamping worked out by hand from the format's tables.
TEST(AdpcmDecoder, DecodesHandWorkedPackets)
{
    const HandAdpcm cases[] = {
        // 4-bit: 0 + 11 (code 7, index → 8), - 30 (code 15 at step 16), + 4, - 3.
        {"four bits", 1, {{2, 2}, {0, 16}, {0, 6}, {7, 4}, {15, 4}, {0, 4}, {8, 4}}, {0, 11, -19, -15, -18}},
        // 2-bit from 100 at index 10 (step 19): +28, -11 (step 23), -31 (step 21).
        {"two bits", 1, {{0, 2}, {100, 16}, {10, 6}, {1, 2}, {2, 2}, {3, 2}}, {100, 128, 117, 86}},
        // 5-bit from index 63 (step 3024): +5859 saturates at 32767, index → 79 (step 13899);
        // -26927; the index would pass 88 and stays there (step 32767): -2047.
        {"five bits saturate", 1, {{3, 2}, {32760, 16}, {63, 6}, {15, 5}, {31, 5}, {16, 5}}, {32760, 32767, 5840, 3793}},
        // Stereo: headers then codes alternate left, right.
        {"stereo", 2, {{2, 2}, {0, 16}, {0, 6}, {1000, 16}, {0, 6}, {7, 4}, {15, 4}}, {0, 1000, 11, 989}},
        // A negative first sample is sign-extended from its 16 bits.
        {"negative start", 1, {{2, 2}, {0xfc18, 16}, {0, 6}, {0, 4}}, {-1000, -1000}},
    };
    for (const HandAdpcm& c : cases) {
        BitWriter w;
        for (auto [value, bits] : c.fields)
            w.ub(bits, value);
        w.align();
        std::vector<std::uint8_t> data = w.take();
        std::size_t frames = c.expected.size() / std::size_t(c.channels);
        EXPECT_EQ(decode_adpcm(data, c.channels, frames), c.expected) << c.name;
    }
}

// The writer's encoder and the decoder agree, and fewer bits cost accuracy, not length:
// 10000 frames cross two packet headers.
TEST(AdpcmDecoder, TonesSurviveARoundTripAtEveryCodeSize)
{
    struct Case {
        int bits;
        bool stereo;
        double max_error; // RMS error over RMS signal
    };
    const Case cases[] = {{2, false, 0.5}, {3, false, 0.2}, {4, false, 0.08}, {5, false, 0.04}, {4, true, 0.08}, {2, true, 0.5}};
    for (const Case& c : cases) {
        std::vector<double> freqs = c.stereo ? std::vector<double>{440, 660} : std::vector<double>{440};
        std::vector<std::int16_t> original = tone(freqs, 22050, 10000);
        std::vector<std::int16_t> decoded = decode_adpcm(encode_adpcm(original, c.stereo, c.bits), c.stereo ? 2 : 1, 10000);
        ASSERT_EQ(decoded.size(), original.size()) << c.bits;
        int channels = c.stereo ? 2 : 1;
        for (int ch = 0; ch < channels; ++ch) {
            std::vector<int> a = channel(original, channels, ch), b = channel(decoded, channels, ch), diff;
            for (std::size_t i = 0; i < a.size(); ++i)
                diff.push_back(a[i] - b[i]);
            EXPECT_LT(rms(diff) / rms(a), c.max_error) << c.bits << " bits, channel " << ch;
            EXPECT_NEAR(pitch(b, 22050), freqs[ch], 2) << c.bits << " bits, channel " << ch;
            // Each packet opens with the exact sample.
            EXPECT_EQ(b[4096], a[4096]);
            EXPECT_EQ(b[8192], a[8192]);
        }
    }
}

TEST(Mp3Decoder, EventSoundsSkipTheSeekFieldAndStopAtTheirSampleCount)
{
    struct Case {
        const char* file;
        std::uint32_t rate;
        bool stereo;
        std::uint32_t count;
        std::vector<double> freqs;
    };
    const Case cases[] = {{"tone440_22k_mono.mp3", 22050, false, 11025, {440}},
                          {"tone440_660_44k_stereo.mp3", 44100, true, 20000, {440, 660}}};
    for (const Case& c : cases) {
        std::vector<std::uint8_t> data = {0, 0}; // seek samples
        std::vector<std::uint8_t> mp3 = fixture(c.file);
        data.insert(data.end(), mp3.begin(), mp3.end());
        PcmSound pcm = decode_sound(sound_of(SoundFormat::Mp3, c.rate, c.stereo, c.count, data));
        EXPECT_EQ(pcm.rate, c.rate) << c.file;
        EXPECT_EQ(pcm.channels, c.stereo ? 2 : 1) << c.file;
        EXPECT_EQ(pcm.frames(), c.count) << c.file;
        for (int ch = 0; ch < pcm.channels; ++ch)
            EXPECT_NEAR(pitch(channel(pcm.samples, pcm.channels, ch), c.rate, 3000), c.freqs[ch], 3) << c.file << ch;
    }
}

// Stream blocks: ADPCM opens every block with its own code size and header; MP3 blocks carry
// their sample count and seek, and the seek is skipped only where the stream starts.
TEST(StreamDecoder, DecodesBlocksOfEachFormat)
{
    std::vector<std::int16_t> samples = tone({440}, 22050, 2205);
    SoundStreamHead adpcm;
    adpcm.format = SoundFormat::Adpcm;
    adpcm.rate = 22050;
    adpcm.samples_per_block = 2205;
    StreamDecoder a(adpcm);
    for (int block = 0; block < 3; ++block) {
        PcmSound pcm = a.decode_block(encode_adpcm(samples, false, 4), block == 0);
        ASSERT_EQ(pcm.frames(), 2205u);
        EXPECT_EQ(pcm.samples[0], samples[0]);
        EXPECT_NEAR(pitch(channel(pcm.samples, 1, 0), 22050), 440, 3);
    }

    std::vector<Mp3Frame> frames = mp3_frames(fixture("tone440_22k_mono.mp3"));
    ASSERT_GT(frames.size(), 10u);
    auto block = [&](std::size_t from, std::size_t count, std::int16_t seek) {
        BitWriter w;
        w.u16(std::uint16_t(count * 576));
        w.s16(seek);
        for (std::size_t i = from; i < from + count; ++i)
            w.bytes(frames[i].bytes);
        return w.take();
    };
    SoundStreamHead mp3;
    mp3.format = SoundFormat::Mp3;
    mp3.rate = 22050;
    mp3.samples_per_block = 2304;
    StreamDecoder m(mp3);
    std::vector<std::int16_t> all;
    for (std::size_t from = 0; from + 4 <= frames.size(); from += 4) {
        PcmSound pcm = m.decode_block(block(from, 4, 100), from == 0);
        all.insert(all.end(), pcm.samples.begin(), pcm.samples.end());
    }
    // Every frame decodes to 576 samples once the decoder is primed; only the start skips.
    std::size_t decodable = frames.size() / 4 * 4 * 576;
    EXPECT_LE(all.size(), decodable - 100);
    EXPECT_GE(all.size(), decodable - 100 - 2 * 576);
    EXPECT_NEAR(pitch(channel(all, 1, 0), 22050, 3000, all.size() - 3000), 440, 3);
}

// Damaged or unusual data decodes to silence or a shorter sound, never to more than the
// data holds.
TEST(SoundDecoders, DamagedDataGivesShortSounds)
{
    std::vector<std::uint8_t> mp3 = fixture("tone440_22k_mono.mp3");
    std::vector<std::uint8_t> half_mp3 = {0, 0};
    half_mp3.insert(half_mp3.end(), mp3.begin(), mp3.begin() + std::ptrdiff_t(mp3.size() / 2));
    std::vector<std::uint8_t> garbage(3000);
    std::mt19937 random(7);
    for (auto& b : garbage)
        b = std::uint8_t(random());
    struct Case {
        const char* name;
        SoundFormat format;
        std::uint32_t rate;
        bool stereo;
        std::uint32_t count;
        std::vector<std::uint8_t> data; // the DefineSound views it
        std::size_t min_frames, max_frames;
        bool silent;
    };
    std::vector<std::uint8_t> adpcm = encode_adpcm(tone({440}, 11025, 5000), false, 4);
    std::vector<std::uint8_t> cut_adpcm(adpcm.begin(), adpcm.begin() + 700);
    const SoundFormat pcm = SoundFormat::PcmLittleEndian, nelly = SoundFormat::Nellymoser;
    const Case cases[] = {
        {"PCM with an odd byte", pcm, 11025, false, 100, std::vector<std::uint8_t>(11, 0x10), 5, 5, false},
        {"PCM claiming four billion samples", pcm, 11025, false, 0xffffffff, std::vector<std::uint8_t>(10, 0x10), 5, 5, false},
        {"PCM with no data", pcm, 11025, false, 100, {}, 0, 0, true},
        {"ADPCM cut inside a packet", SoundFormat::Adpcm, 11025, false, 5000, cut_adpcm, 1000, 1400, false},
        {"ADPCM with one byte", SoundFormat::Adpcm, 11025, false, 5000, {0x80}, 0, 0, true},
        {"ADPCM claiming four billion samples", SoundFormat::Adpcm, 11025, true, 0xffffffff, adpcm, 0, 2600, false},
        {"MP3 without its seek field", SoundFormat::Mp3, 22050, false, 1000, {0}, 0, 0, true},
        {"MP3 of random bytes", SoundFormat::Mp3, 22050, false, 50000, garbage, 0, 50000, false},
        {"MP3 cut in half", SoundFormat::Mp3, 22050, false, 22050, half_mp3, 8000, 12000, false},
        {"Nellymoser: silence as long as declared", nelly, 22050, false, 512, std::vector<std::uint8_t>(128, 1), 512, 512, true},
        {"Nellymoser claiming more than its data", SoundFormat::Nellymoser8k, 5512, false, 0xffffffff,
         std::vector<std::uint8_t>(64, 1), 1, 1024, true},
        {"Speex", SoundFormat::Speex, 5512, false, 320, std::vector<std::uint8_t>(40, 1), 320, 320, true},
        {"an unknown format", SoundFormat(9), 22050, false, 1000, std::vector<std::uint8_t>(1000, 1), 0, 0, true},
    };
    for (const Case& c : cases) {
        PcmSound pcm_out = decode_sound(sound_of(c.format, c.rate, c.stereo, c.count, c.data));
        EXPECT_GE(pcm_out.frames(), c.min_frames) << c.name;
        EXPECT_LE(pcm_out.frames(), c.max_frames) << c.name;
        if (c.silent) {
            EXPECT_TRUE(std::all_of(pcm_out.samples.begin(), pcm_out.samples.end(), [](std::int16_t s) { return s == 0; }))
                << c.name;
        }
    }
}

// Random bytes through every stream format: bounded output, no crash, no hang.
TEST(SoundDecoders, RandomStreamBlocksStayBounded)
{
    std::mt19937 random(11);
    for (int format : {0, 1, 2, 3, 4, 5, 6, 11, 13}) {
        SoundStreamHead head;
        head.format = SoundFormat(format);
        head.rate = 22050;
        head.stereo = format % 2 == 0;
        head.samples_per_block = 1000;
        StreamDecoder decoder(head);
        for (int i = 0; i < 40; ++i) {
            std::vector<std::uint8_t> block(random() % 2000);
            for (auto& b : block)
                b = std::uint8_t(random());
            PcmSound pcm = decoder.decode_block(block, i % 7 == 0);
            EXPECT_LE(pcm.frames(), 44100u * 4) << format;
        }
    }
}

// Blocks arriving faster than the output plays them: the stream keeps the newest three, so
// what plays next is close behind the latest frame.
TEST(MixerStream, ProducerRunningAheadLosesTheOldestBlocks)
{
    Mixer mixer;
    for (int block = 0; block < 10; ++block) {
        PcmSound pcm;
        pcm.rate = 22050;
        pcm.samples = tone({200.0 + 100 * block}, 22050, 2205);
        mixer.stream_append(1, pcm, false);
    }
    std::vector<std::int16_t> out(4410 * 2 * 4);
    mixer.mix(out.data(), 4410 * 4);
    std::vector<int> left = channel(out, 2, 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(pitch(left, 44100, 4410 * std::size_t(i) + 100, 4410 * std::size_t(i + 1) - 100), 900.0 + 100 * i, 15) << i;
    EXPECT_EQ(rms(left, 4410 * 3), 0) << "then the stream has run dry";
}
