// Movies with sound, made with the writer, played and rendered offline (the machines that run
// the tests have no sound card): event sounds of every format, sound info, stream sound in
// step with the timeline, button sounds, stopping and dropping the movie, damaged data.
#include <gtest/gtest.h>

#include <QFile>

#include <functional>

#include "audio_signal.h"
#include "swf/audio/audio_output.h"
#include "swf/audio/movie_sound.h"
#include "swf/writer/bit_writer.h"
#include "swf/writer/movie_builder.h"
#include "swf/writer/sound_encoding.h"

using namespace swf;
using namespace swf::audio;
using namespace audio_signal;

namespace {

constexpr double kFps = 10;
constexpr std::size_t kFrameSamples = 4410; // output samples per frame at 10 fps

std::vector<std::uint8_t> fixture(const char* name)
{
    QFile f(qEnvironmentVariable("LUMAVO_SOURCE_DIR") + "/tests/swf/audio_data/" + name);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    QByteArray b = f.readAll();
    return {b.begin(), b.end()};
}

MovieBuilder movie()
{
    MovieOptions o;
    o.frame_rate = kFps;
    o.width = 100;
    o.height = 100;
    return MovieBuilder(o);
}

struct Output {
    std::vector<int> left, right;
};

// Plays `frames` ticks; `before_tick(player, n)` runs before tick n (host calls, input).
Output play(const MovieBuilder& m, int frames, const std::function<void(Player&, int)>& before_tick = {})
{
    auto player = Player::create();
    OfflineAudio audio(player);
    std::string error;
    EXPECT_TRUE(player->load(m.bytes(), &error)) << error;
    for (int n = 0; n < frames; ++n) {
        if (before_tick)
            before_tick(*player, n);
        player->tick();
        audio.render_frame();
    }
    return {channel(audio.samples(), 2, 0), channel(audio.samples(), 2, 1)};
}

// Empty frames, so that a test's timeline does not loop back while it plays.
void pad(MovieBuilder& m, int frames)
{
    for (int i = 0; i < frames; ++i)
        m.show_frame();
}

// 44.1 kHz output samples of `seconds`.
std::size_t at(double seconds)
{
    return std::size_t(std::lround(seconds * kOutputRate));
}

SoundData pcm_sound(const std::vector<std::int16_t>& samples, std::uint32_t rate, bool stereo)
{
    SoundData s;
    s.rate = rate;
    s.stereo = stereo;
    s.sample_count = std::uint32_t(samples.size() / (stereo ? 2 : 1));
    s.data = pcm_bytes(samples, true);
    return s;
}

} // namespace

// Every format and rate: the tone comes out at its pitch, from the start of the frame that
// started it, for as long as the sound lasts.
TEST(EventSound, TonesPlayAtTheirPitchAndLength)
{
    struct Case {
        const char* name;
        SoundFormat format;
        std::uint32_t rate;
        bool sixteen_bit, stereo;
        double freq; // the right channel plays 1.5 times this
        int adpcm_bits = 0;
    };
    const Case cases[] = {
        {"PCM native order 16-bit 5.5 kHz", SoundFormat::PcmNativeEndian, 5512, true, false, 300},
        {"PCM native order 8-bit 11 kHz stereo", SoundFormat::PcmNativeEndian, 11025, false, true, 440},
        {"PCM little-endian 16-bit 22 kHz stereo", SoundFormat::PcmLittleEndian, 22050, true, true, 440},
        {"PCM little-endian 8-bit 44 kHz", SoundFormat::PcmLittleEndian, 44100, false, false, 440},
        {"PCM native order 16-bit 44 kHz", SoundFormat::PcmNativeEndian, 44100, true, false, 1000},
        {"ADPCM 4-bit 22 kHz", SoundFormat::Adpcm, 22050, true, false, 440, 4},
        {"ADPCM 3-bit 11 kHz stereo", SoundFormat::Adpcm, 11025, true, true, 440, 3},
        {"ADPCM 5-bit 5.5 kHz", SoundFormat::Adpcm, 5512, true, false, 300, 5},
    };
    const double seconds = 0.6;
    for (const Case& c : cases) {
        std::vector<double> freqs = {c.freq};
        if (c.stereo)
            freqs.push_back(c.freq * 1.5);
        double rate = c.rate == 5512 ? 5512.5 : c.rate;
        std::vector<std::int16_t> samples = tone(freqs, rate, std::size_t(seconds * rate));
        SoundData s;
        s.format = c.format;
        s.rate = c.rate;
        s.sixteen_bit = c.sixteen_bit;
        s.stereo = c.stereo;
        s.sample_count = std::uint32_t(samples.size() / freqs.size());
        s.data = c.adpcm_bits ? encode_adpcm(samples, c.stereo, c.adpcm_bits) : pcm_bytes(samples, c.sixteen_bit);
        MovieBuilder m = movie();
        m.show_frame();
        m.start_sound(m.sound(s), SoundInfo{}).show_frame();
        pad(m, 20);
        Output out = play(m, 12);
        for (int ch = 0; ch < 2; ++ch) {
            const std::vector<int>& o = ch == 0 ? out.left : out.right;
            auto [begin, end] = audible(o);
            EXPECT_LE(begin - at(0.1), 45u) << c.name; // with frame 1 (ADPCM takes a few samples to adapt)
            EXPECT_NEAR(double(end), double(at(0.1 + seconds)), 12) << c.name;
            double expected = freqs[c.stereo ? ch : 0];
            EXPECT_NEAR(pitch(o, kOutputRate, at(0.15), at(0.6)), expected, expected * 0.01) << c.name << " channel " << ch;
        }
    }
}

// MP3 event sounds: cut to their declared sample count; stereo keeps its channels apart.
TEST(EventSound, Mp3PlaysItsDeclaredLength)
{
    struct Case {
        const char* file;
        std::uint32_t rate;
        bool stereo;
        std::uint32_t count;
        double left, right;
    };
    const Case cases[] = {{"tone440_22k_mono.mp3", 22050, false, 16537, 440, 440},
                          {"tone440_660_44k_stereo.mp3", 44100, true, 17640, 440, 660}};
    for (const Case& c : cases) {
        SoundData s;
        s.format = SoundFormat::Mp3;
        s.rate = c.rate;
        s.stereo = c.stereo;
        s.sample_count = c.count;
        s.data = {0, 0};
        std::vector<std::uint8_t> mp3 = fixture(c.file);
        s.data.insert(s.data.end(), mp3.begin(), mp3.end());
        MovieBuilder m = movie();
        m.start_sound(m.sound(s), SoundInfo{}).show_frame();
        pad(m, 20);
        Output out = play(m, 10);
        double seconds = double(c.count) / c.rate;
        EXPECT_NEAR(double(audible(out.left).second), double(at(seconds)), 20) << c.file;
        EXPECT_NEAR(pitch(out.left, kOutputRate, at(0.1), at(seconds - 0.05)), c.left, 4) << c.file;
        EXPECT_NEAR(pitch(out.right, kOutputRate, at(0.1), at(seconds - 0.05)), c.right, 4) << c.file;
    }
}

// In and out points pick a part of the sound (the first half is 440 Hz, the second 880 Hz),
// which plays as many times as it loops.
TEST(EventSound, LoopsAndInAndOutPointsShapeThePlayedPart)
{
    struct Case {
        const char* name;
        SoundInfo info;
        double seconds; // audible
        double first_pitch;
    };
    auto info = [](std::optional<std::uint32_t> in, std::optional<std::uint32_t> out, std::uint16_t loops) {
        SoundInfo i;
        i.has_in_point = in.has_value();
        i.in_point = in.value_or(0);
        i.has_out_point = out.has_value();
        i.out_point = out.value_or(0);
        i.has_loops = loops != 1;
        i.loop_count = loops;
        return i;
    };
    const Case cases[] = {
        {"whole sound", info({}, {}, 1), 0.2, 440},
        {"three loops", info({}, {}, 3), 0.6, 440},
        {"loop count 0 plays once", info({}, {}, 0), 0.2, 440},
        {"in point at the middle", info(4410, {}, 1), 0.1, 880},
        {"out point at the middle", info({}, 4410, 1), 0.1, 440},
        {"second half twice", info(4410, 8820, 2), 0.2, 880},
        {"first quarter three times", info({}, 2205, 3), 0.15, 440},
    };
    // 22.05 kHz: the points count 44.1 kHz samples whatever the sound's rate.
    std::vector<std::int16_t> samples = tone({440}, 22050, 2205);
    std::vector<std::int16_t> high = tone({880}, 22050, 2205);
    samples.insert(samples.end(), high.begin(), high.end());
    for (const Case& c : cases) {
        MovieBuilder m = movie();
        m.start_sound(m.sound(pcm_sound(samples, 22050, false)), c.info).show_frame();
        pad(m, 20);
        Output out = play(m, 10);
        EXPECT_NEAR(double(audible(out.left).second), double(at(c.seconds)), 12) << c.name;
        EXPECT_NEAR(pitch(out.left, kOutputRate, 0, at(0.09)), c.first_pitch, 10) << c.name;
    }
    Output none = play([&] {
        MovieBuilder m = movie();
        m.start_sound(m.sound(pcm_sound(samples, 22050, false)), info(8820, 4410, 1)).show_frame();
        return m;
    }(), 3);
    EXPECT_EQ(audible(none.left).second, 0u) << "an in point after the out point plays nothing";
}

// An envelope moves the sound from the left to the right over one second, through the loops.
TEST(EventSound, EnvelopeSetsEachChannelsLevel)
{
    SoundInfo info;
    info.has_loops = true;
    info.loop_count = 2;
    info.envelope = {{0, 32768, 0}, {44100, 0, 32768}};
    MovieBuilder m = movie();
    m.start_sound(m.sound(pcm_sound(tone({440}, 22050, 11025), 22050, false)), info).show_frame();
    pad(m, 20);
    Output out = play(m, 10);
    double full = 12000 / std::sqrt(2.0);
    struct Probe {
        double from, to, left, right; // RMS as a share of the full level
    };
    for (Probe p : {Probe{0, 0.05, 0.97, 0.03}, Probe{0.475, 0.525, 0.5, 0.5}, Probe{0.95, 1.0, 0.03, 0.97}}) {
        EXPECT_NEAR(rms(out.left, at(p.from), at(p.to)) / full, p.left, 0.04) << p.from;
        EXPECT_NEAR(rms(out.right, at(p.from), at(p.to)) / full, p.right, 0.04) << p.from;
    }
}

// A second StartSound of a playing sound: plays again (mixed), is ignored (no multiple), or
// stops every instance (stop).
TEST(EventSound, StopAndNoMultiple)
{
    struct Case {
        const char* name;
        bool stop, no_multiple;
        double end;      // seconds
        double doubled;  // RMS between the starts and the end of the first, in full levels
    };
    const Case cases[] = {
        {"plays twice", false, false, 0.7, 2},
        {"no multiple", false, true, 0.5, 1},
        {"stop", true, false, 0.2, 0},
    };
    for (const Case& c : cases) {
        MovieBuilder m = movie();
        std::uint16_t id = m.sound(pcm_sound(tone({440}, 44100, 22050), 44100, false));
        m.start_sound(id, SoundInfo{}).show_frame();
        m.show_frame();
        SoundInfo second;
        second.sync_stop = c.stop;
        second.sync_no_multiple = c.no_multiple;
        m.start_sound(id, second).show_frame();
        pad(m, 20);
        Output out = play(m, 10);
        EXPECT_NEAR(double(audible(out.left).second), double(at(c.end)), 12) << c.name;
        // Both instances start at a zero crossing of the same tone, 0.2 s (88 periods) apart.
        EXPECT_NEAR(rms(out.left, at(0.25), at(0.45)) / (12000 / std::sqrt(2.0)), c.doubled, 0.05) << c.name;
    }
}

namespace {

constexpr std::size_t kBlockSamples = 2205; // 22.05 kHz mono at 10 frames a second

// Stream data for frames [first, last) of a 22.05 kHz mono stream: a tone of `freq(frame)`.
struct StreamPlan {
    SoundFormat format = SoundFormat::PcmLittleEndian;
    int first = 0, last = 0;
    std::function<double(int)> freq = [](int) { return 440.0; };
};

std::vector<std::vector<std::uint8_t>> stream_blocks(const StreamPlan& plan)
{
    std::vector<std::vector<std::uint8_t>> blocks;
    if (plan.format == SoundFormat::Mp3) {
        // The MP3 tone's frames (576 samples each), dealt out so that block k ends where the
        // stream reaches the end of frame k.
        std::vector<Mp3Frame> frames = mp3_frames(fixture("tone440_22k_mono.mp3"));
        std::size_t next = 0;
        for (int f = plan.first; f < plan.last; ++f) {
            std::size_t end = std::size_t(f - plan.first + 1) * kBlockSamples, count = 0;
            BitWriter w;
            std::vector<std::uint8_t> body;
            while (next < frames.size() && next * 576 < end) {
                body.insert(body.end(), frames[next].bytes.begin(), frames[next].bytes.end());
                ++next, ++count;
            }
            w.u16(std::uint16_t(count * 576));
            w.s16(0);
            w.bytes(body);
            blocks.push_back(w.take());
        }
        return blocks;
    }
    double phase = 0;
    for (int f = plan.first; f < plan.last; ++f) {
        std::vector<std::int16_t> samples;
        for (std::size_t i = 0; i < kBlockSamples; ++i) {
            samples.push_back(std::int16_t(std::lround(12000 * std::sin(phase))));
            phase += 2 * M_PI * plan.freq(f) / 22050;
        }
        blocks.push_back(plan.format == SoundFormat::Adpcm ? encode_adpcm(samples, false, 4) : pcm_bytes(samples, true));
    }
    return blocks;
}

SoundStreamHead stream_head_of(SoundFormat format)
{
    SoundStreamHead head;
    head.playback_rate = head.rate = 22050;
    head.format = format;
    head.samples_per_block = kBlockSamples;
    return head;
}

// `frames` frames on `timeline`, the plan's blocks on theirs.
template <typename T>
void add_stream(T& timeline, const StreamPlan& plan, int frames)
{
    std::vector<std::vector<std::uint8_t>> blocks = stream_blocks(plan);
    timeline.stream_head(stream_head_of(plan.format));
    for (int f = 0; f < frames; ++f) {
        if (f >= plan.first && f < plan.last)
            timeline.stream_block(blocks[std::size_t(f - plan.first)]);
        timeline.show_frame();
    }
}

} // namespace

// The stream's audio for frame k starts at k / frame rate seconds, in every format.
TEST(StreamSound, EachFramesAudioStartsWithTheFrame)
{
    struct Case {
        SoundFormat format;
        const char* name;
        std::size_t tolerance; // samples (MP3 frames straddle the blocks)
    };
    for (Case c : {Case{SoundFormat::PcmLittleEndian, "PCM", 45}, Case{SoundFormat::Adpcm, "ADPCM", 45},
                   Case{SoundFormat::Mp3, "MP3", 2500}}) {
        MovieBuilder m = movie();
        StreamPlan plan;
        plan.format = c.format;
        plan.first = 3;
        plan.last = 8;
        add_stream(m, plan, 20);
        Output out = play(m, 12);
        auto [begin, end] = audible(out.left);
        EXPECT_GE(begin, at(0.3)) << c.name;
        EXPECT_LE(begin, at(0.3) + c.tolerance) << c.name;
        EXPECT_NEAR(double(end), double(at(0.8)), double(c.tolerance)) << c.name;
        EXPECT_NEAR(pitch(out.left, kOutputRate, at(0.45), at(0.7)), 440, 4) << c.name;
    }
}

// A goto, forwards or back, drops what the stream still held and plays the new frame's block.
TEST(StreamSound, GotoRestartsFromTheNewFramesBlock)
{
    MovieBuilder m = movie();
    StreamPlan plan;
    plan.last = 20;
    plan.freq = [](int frame) { return 200.0 + 100 * frame; };
    add_stream(m, plan, 20);
    Output out = play(m, 8, [](Player& p, int tick) {
        if (tick == 3)
            p.goto_frame(9);
        if (tick == 6)
            p.goto_frame(1);
    });
    // Frame shown by each tick: 0 1 2 | 9 10 11 | 1 2
    const int shown[] = {0, 1, 2, 9, 10, 11, 1, 2};
    for (int tick = 0; tick < 8; ++tick) {
        std::size_t from = std::size_t(tick) * kFrameSamples;
        EXPECT_NEAR(pitch(out.left, kOutputRate, from + 100, from + kFrameSamples - 100), 200.0 + 100 * shown[tick], 15)
            << "tick " << tick;
    }
}

// A stream plays while its clip plays: stopping the clip or removing it silences it at once.
TEST(StreamSound, StopsWithItsClip)
{
    StreamPlan plan;
    plan.last = 20;
    MovieBuilder stopped = movie();
    add_stream(stopped, plan, 20);
    Output a = play(stopped, 10, [](Player& p, int tick) {
        if (tick == 4)
            p.stop();
    });
    EXPECT_NEAR(double(audible(a.left).second), double(at(0.4)), 12) << "stopped";

    MovieBuilder removed = movie();
    SpriteBuilder sprite;
    add_stream(sprite, plan, 20);
    removed.place(removed.sprite(sprite), 1).show_frame();
    pad(removed, 3);
    removed.remove(1).show_frame();
    pad(removed, 20);
    Output b = play(removed, 10);
    EXPECT_NEAR(double(audible(b.left).first), 0, 12) << "a sprite's stream plays with it";
    EXPECT_NEAR(double(audible(b.left).second), double(at(0.4)), 12) << "removed";
}

// A timeline that loops plays its stream again from the first block, without a gap.
TEST(StreamSound, LoopingTimelineStartsItsStreamAgain)
{
    MovieBuilder m = movie();
    StreamPlan plan;
    plan.last = 4;
    plan.freq = [](int frame) { return frame == 0 ? 300.0 : 600.0; };
    add_stream(m, plan, 4);
    Output out = play(m, 9);
    for (int tick = 0; tick < 9; ++tick) {
        std::size_t from = std::size_t(tick) * kFrameSamples;
        EXPECT_NEAR(pitch(out.left, kOutputRate, from + 100, from + kFrameSamples - 100), tick % 4 == 0 ? 300 : 600, 15)
            << "tick " << tick;
    }
}

// Each of a button's four transitions plays its own sound, in the frame of the input.
TEST(ButtonSound, TransitionsPlayTheirSounds)
{
    MovieBuilder m = movie();
    ShapeBuilder shape;
    shape.fill({255, 0, 0}).rect(0, 0, 50, 50);
    ButtonBuilder b;
    b.state(ButtonRecord::Up | ButtonRecord::Over | ButtonRecord::Down | ButtonRecord::HitTest, m.shape(shape));
    std::uint16_t button = m.button(b);
    // OverUpToIdle, IdleToOverUp, OverUpToOverDown, OverDownToOverUp
    const double freqs[4] = {300, 500, 700, 900};
    DefineButtonSound sounds;
    for (int i = 0; i < 4; ++i)
        sounds.sound[i] = m.sound(pcm_sound(tone({freqs[i]}, 44100, 2205), 44100, false));
    m.button_sound(button, sounds);
    m.place(button, 1).show_frame();
    const Point inside{500, 500}, outside{1500, 1500};
    Output out = play(m, 9, [&](Player& p, int tick) {
        if (tick == 1)
            p.mouse_move(inside);
        if (tick == 3)
            p.mouse_down(inside);
        if (tick == 5)
            p.mouse_up(inside);
        if (tick == 7)
            p.mouse_move(outside);
    });
    const double heard[9] = {0, 500, 0, 700, 0, 900, 0, 300, 0};
    for (int tick = 0; tick < 9; ++tick) {
        std::size_t from = std::size_t(tick) * kFrameSamples;
        if (heard[tick] == 0)
            EXPECT_EQ(rms(out.left, from, from + kFrameSamples), 0) << "tick " << tick;
        else
            EXPECT_NEAR(pitch(out.left, kOutputRate, from, from + 2205), heard[tick], 10) << "tick " << tick;
    }
}

// Dropping the movie silences it at once: closing the player, attaching the sound output to
// another player, or a movie loaded into level 0 over it.
TEST(MovieSoundTest, DroppingTheMovieSilencesIt)
{
    auto long_tone = [](double freq, std::optional<ActionAssembler> actions = {}) {
        MovieBuilder m = movie();
        m.start_sound(m.sound(pcm_sound(tone({freq}, 22050, 22050), 22050, false)), SoundInfo{});
        if (actions)
            m.actions(*actions);
        m.show_frame();
        pad(m, 20);
        return m;
    };
    Output closed = play(long_tone(440), 6, [](Player& p, int tick) {
        if (tick == 3)
            p.close();
    });
    EXPECT_NEAR(double(audible(closed.left).second), double(at(0.3)), 12) << "closed";

    Mixer mixer;
    MovieSound sound(mixer);
    std::vector<std::int16_t> mix(kFrameSamples * 2);
    auto first = Player::create(), second = Player::create();
    sound.attach(first);
    ASSERT_TRUE(first->load(long_tone(440).bytes()));
    first->tick();
    sound.update();
    mixer.mix(mix.data(), kFrameSamples);
    EXPECT_GT(rms(channel(mix, 2, 0)), 1000);
    sound.attach(second);
    ASSERT_TRUE(second->load(long_tone(880).bytes()));
    mixer.mix(mix.data(), kFrameSamples);
    EXPECT_EQ(rms(channel(mix, 2, 0)), 0) << "attached to another player";
    second->tick();
    sound.update();
    mixer.mix(mix.data(), kFrameSamples);
    EXPECT_NEAR(pitch(channel(mix, 2, 0), kOutputRate), 880, 10) << "the new player's own sound";

    // loadMovieNum into level 0: the new movie's sound only, from the tick it arrives.
    ActionAssembler load;
    load.get_url("next.swf", "_level0");
    MovieBuilder loader = long_tone(440, load);
    std::vector<std::uint8_t> next = long_tone(880).bytes();
    PlayerHost host;
    host.fetch = [&](const std::string&) { return std::optional(next); };
    auto replaced = Player::create(host);
    OfflineAudio audio(replaced);
    ASSERT_TRUE(replaced->load(loader.bytes()));
    for (int tick = 0; tick < 4; ++tick) {
        replaced->tick();
        audio.render_frame();
    }
    std::vector<int> left = channel(audio.samples(), 2, 0);
    EXPECT_NEAR(pitch(left, kOutputRate, 0, kFrameSamples), 440, 10);
    EXPECT_NEAR(pitch(left, kOutputRate, 2 * kFrameSamples, 4 * kFrameSamples), 880, 10);
    EXPECT_NEAR(rms(left, 2 * kFrameSamples, 4 * kFrameSamples), 12000 / std::sqrt(2.0), 300) << "no 440 Hz left";
}

// Nothing listens to a player without sound output: it keeps no events however long it plays.
TEST(MovieSoundTest, PlayerWithoutSoundOutputKeepsNoEvents)
{
    MovieBuilder m = movie();
    StreamPlan plan;
    plan.last = 5;
    add_stream(m, plan, 5);
    auto player = Player::create();
    ASSERT_TRUE(player->load(m.bytes()));
    for (int i = 0; i < 20; ++i)
        player->tick();
    EXPECT_TRUE(player->sound_events().take().empty());
}

// Damaged sound tags around a good one: the good sound plays, the rest is skipped.
TEST(MovieSoundTest, DamagedSoundTagsAreSkipped)
{
    MovieBuilder m = movie();
    std::uint16_t good = m.sound(pcm_sound(tone({440}, 22050, 11025), 22050, false));
    SoundData garbage;
    garbage.format = SoundFormat::Mp3;
    garbage.sample_count = 0xffffffff;
    garbage.data = std::vector<std::uint8_t>(500, 0xff);
    std::uint16_t bad_mp3 = m.sound(garbage);
    ShapeBuilder shape;
    shape.fill({1, 2, 3}).rect(0, 0, 5, 5);
    std::uint16_t not_a_sound = m.shape(shape);
    SpriteBuilder blocks_without_head;
    blocks_without_head.stream_block({1, 2, 3, 4}).show_frame();
    SpriteBuilder odd_head;
    SoundStreamHead head = stream_head_of(SoundFormat(15));
    odd_head.stream_head(head).stream_block(std::vector<std::uint8_t>(300, 0x55)).show_frame();
    m.tag(TagCode::DefineSound, {9, 0, 0x3f}); // cut inside its header
    m.start_sound(bad_mp3, SoundInfo{})
        .start_sound(not_a_sound, SoundInfo{})
        .start_sound(999, SoundInfo{})
        .tag(TagCode::StartSound, {std::uint8_t(good), 0, 0x08}) // claims an envelope it lacks
        .tag(TagCode::SoundStreamBlock, {})
        .place(m.sprite(blocks_without_head), 1)
        .place(m.sprite(odd_head), 2)
        .start_sound(good, SoundInfo{})
        .show_frame();
    pad(m, 20);
    Output out = play(m, 8);
    EXPECT_NEAR(double(audible(out.left).second), double(at(0.5)), 12);
    EXPECT_NEAR(pitch(out.left, kOutputRate, 0, at(0.45)), 440, 4);
}

// Without a sound server the output stays silent and says so once per process, however many
// outputs open.
TEST(AudioOutputTest, WithoutADeviceSaysSoOnce)
{
    qputenv("PULSE_SERVER", "unix:/nonexistent/lumavo-test-socket");
    static QStringList said;
    QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
        if (text.contains(QLatin1String("no audio output device")))
            said << text;
    });
    Mixer mixer;
    for (int i = 0; i < 3; ++i) {
        AudioOutput output(mixer);
        EXPECT_EQ(output.pulled(), 0);
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(said.size(), 1) << said.join(QLatin1Char('\n')).toStdString();
}

// StopSounds in a frame's actions stops every sound playing, from that frame on.
TEST(EventSound, StopSoundsActionSilencesEverySound)
{
    MovieBuilder m = movie();
    std::uint16_t low = m.sound(pcm_sound(tone({440}, 22050, 22050), 22050, false));
    std::uint16_t high = m.sound(pcm_sound(tone({660}, 22050, 22050), 22050, false));
    m.start_sound(low, SoundInfo{}).start_sound(high, SoundInfo{}).show_frame();
    pad(m, 2);
    ActionAssembler stop;
    stop.stop_sounds();
    m.actions(stop).show_frame();
    pad(m, 20);
    Output out = play(m, 8);
    EXPECT_NEAR(double(audible(out.left).second), double(at(0.3)), 12);
}

namespace {

// Calls s.method(args...) on the Sound object in variable "s".
void call(ActionAssembler& a, const char* method, std::vector<ActionAssembler::Value> args = {})
{
    for (auto it = args.rbegin(); it != args.rend(); ++it)
        a.push(*it);
    a.push(int(args.size())).push("s").get_variable().push(method).op(ActionCode::CallMethod).pop();
}

} // namespace

// Sound objects: attachSound picks an exported sound; start, stop, volume, pan and transform
// act on it, and a Sound made for a clip controls that clip's own timeline sounds.
TEST(SoundObject, ScriptsPlayAndShapeAttachedSounds)
{
    struct Case {
        const char* name;
        std::function<void(ActionAssembler&)> frame0, frame1;
        bool timeline_sound; // the frame also has a StartSound of the tone
        double end;          // seconds
        double left, right;  // RMS in the first 0.1 s as a share of the full level
    };
    auto attach = [](ActionAssembler& a, bool for_this_clip) {
        a.push("s");
        if (for_this_clip)
            a.push("this").get_variable().push(1);
        else
            a.push(0);
        a.push("Sound").op(ActionCode::NewObject).set_variable();
        call(a, "attachSound", {"Tone"});
    };
    auto none = [](ActionAssembler&) {};
    const Case cases[] = {
        {"start", [&](ActionAssembler& a) { attach(a, false), call(a, "start"); }, none, false, 0.3, 1, 1},
        {"start twice over", [&](ActionAssembler& a) { attach(a, false), call(a, "start", {0, 2}); }, none, false, 0.6, 1, 1},
        {"start from 0.1 s", [&](ActionAssembler& a) { attach(a, false), call(a, "start", {0.1}); }, none, false, 0.2, 1, 1},
        {"half volume",
         [&](ActionAssembler& a) { attach(a, false), call(a, "setVolume", {50}), call(a, "start"); }, none, false, 0.3, 0.5, 0.5},
        {"pan to the left",
         [&](ActionAssembler& a) { attach(a, false), call(a, "setPan", {-100}), call(a, "start"); }, none, false, 0.3, 1, 0},
        {"transform: left input to the right speaker only",
         [&](ActionAssembler& a) {
             attach(a, false);
             a.push({"ll", 0, "lr", 0, "rr", 0, "rl", 100, 4}).op(ActionCode::InitObject);
             a.push(1).push("s").get_variable().push("setTransform").op(ActionCode::CallMethod).pop();
             call(a, "start");
         },
         none, false, 0.3, 0, 1},
        {"stop by name", [&](ActionAssembler& a) { attach(a, false), call(a, "start"); },
         [&](ActionAssembler& a) { call(a, "stop", {"Tone"}); }, false, 0.1, 1, 1},
        {"stop everything", [&](ActionAssembler& a) { attach(a, false), call(a, "start"); },
         [&](ActionAssembler& a) { call(a, "stop"); }, true, 0.1, 2, 2},
        {"a clip's Sound mutes its timeline sound",
         [&](ActionAssembler& a) { attach(a, true), call(a, "setVolume", {0}); }, none, true, 0, 0, 0},
        {"the movie's Sound sets every sound",
         [&](ActionAssembler& a) { attach(a, false), call(a, "setVolume", {30}); }, none, true, 0.3, 0.3, 0.3},
    };
    for (const Case& c : cases) {
        MovieBuilder m = movie();
        std::uint16_t id = m.sound(pcm_sound(tone({440}, 22050, 6615), 22050, false));
        BitWriter exports;
        exports.u16(1);
        exports.u16(id);
        exports.string("tone");
        m.tag(TagCode::ExportAssets, exports.take());
        ActionAssembler first, second;
        c.frame0(first);
        c.frame1(second);
        if (c.timeline_sound)
            m.start_sound(id, SoundInfo{});
        m.actions(first).show_frame();
        m.actions(second).show_frame();
        pad(m, 20);
        Output out = play(m, 8);
        std::size_t end = std::max(audible(out.left, 100).second, audible(out.right, 100).second);
        EXPECT_NEAR(double(end), double(at(c.end)), 12) << c.name;
        double full = 12000 / std::sqrt(2.0);
        EXPECT_NEAR(rms(out.left, 0, at(0.1)) / full, c.left, 0.03) << c.name;
        EXPECT_NEAR(rms(out.right, 0, at(0.1)) / full, c.right, 0.03) << c.name;
    }
}
