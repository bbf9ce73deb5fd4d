#include "platform/media_player.h"
#include "platform/midi_file.h"
#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <optional>
#include <random>
#include <span>

namespace {

using Bytes = std::vector<std::uint8_t>;
using platform::MediaPlayer;

constexpr int kRate = MediaPlayer::sampleRate();
constexpr std::uint32_t kTicksPerSecond = 960; // 480 ticks a quarter at the default 120 beats a minute
constexpr int kEndless = 99'999'999;

// --- Small standard MIDI files, built byte by byte -------------------------------------------

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes be(std::uint32_t value, int bytes)
{
    Bytes out;
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out.push_back(std::uint8_t(value >> shift));
    return out;
}

Bytes chunk(const char* id, const Bytes& body, std::optional<std::uint32_t> length = {})
{
    return Bytes(id, id + 4) + be(length.value_or(std::uint32_t(body.size())), 4) + body;
}

Bytes header(std::uint16_t tracks = 1, std::uint16_t division = 480, std::uint16_t format = 0)
{
    return chunk("MThd", be(format, 2) + be(tracks, 2) + be(division, 2));
}

// An event `delta` ticks after the previous one.
Bytes at(std::uint32_t delta, const Bytes& message)
{
    Bytes groups{std::uint8_t(delta & 0x7F)};
    while (delta >>= 7)
        groups.insert(groups.begin(), std::uint8_t(0x80 | (delta & 0x7F)));
    return groups + message;
}

const Bytes kEndOfTrack{0xFF, 0x2F, 0x00};

Bytes tempo(std::uint32_t usPerQuarter)
{
    return Bytes{0xFF, 0x51, 0x03} + be(usPerQuarter, 3);
}

// An organ note (it holds its level while the key is down) sounding for `noteSeconds` in a
// piece `lengthSeconds` long.
Bytes organNote(double noteSeconds, double lengthSeconds, std::uint8_t key = 60)
{
    const auto on = std::uint32_t(noteSeconds * kTicksPerSecond);
    const auto rest = std::uint32_t((lengthSeconds - noteSeconds) * kTicksPerSecond);
    return header() + chunk("MTrk", at(0, {0xC0, 19}) + at(0, {0x90, key, 100}) + at(on, {0x80, key, 0}) + at(rest, kEndOfTrack));
}

Bytes randomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    Bytes out(count);
    for (auto& byte : out)
        byte = std::uint8_t(generator());
    return out;
}

// --- Measuring the output ----------------------------------------------------------------------

double rms(const std::vector<std::int16_t>& samples, double fromSeconds = 0, double toSeconds = 1e9)
{
    const auto begin = std::min(samples.size(), std::size_t(fromSeconds * kRate) * 2);
    const auto end = std::min(samples.size(), std::size_t(toSeconds * kRate) * 2);
    if (end <= begin)
        return 0;
    double sum = 0;
    for (auto i = begin; i < end; ++i)
        sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(end - begin));
}

bool silent(std::span<const std::int16_t> samples)
{
    return std::all_of(samples.begin(), samples.end(), [](std::int16_t s) { return s == 0; });
}

// Clearly audible: the organ note at volume 50 measures some thousands.
constexpr double kSounding = 300;

class Fixtures {
public:
    QString write(const QString& name, const Bytes& bytes) const
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
        return path;
    }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

std::unique_ptr<MediaPlayer> playing(const QString& path, int volume = 50, int playCount = 1)
{
    auto player = std::make_unique<MediaPlayer>(false);
    player->settings.setVolume(volume);
    player->settings.setPlayCount(playCount);
    player->setURL(path);
    player->controls.play();
    return player;
}

// --- The course's own pieces -------------------------------------------------------------------

struct PieceCase {
    const char* name;
    double minSeconds;
    double maxSeconds;
};

void PrintTo(const PieceCase& c, std::ostream* out)
{
    *out << c.name;
}

class CoursePiece : public ::testing::TestWithParam<PieceCase> {};

TEST_P(CoursePiece, IsAStandardMidiFileOfItsLengthThatSounds)
{
    const QString path = QDir(test::builtProgramFolder()).filePath(QStringLiteral("Midi/") + GetParam().name);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QByteArray bytes = file.readAll();
    const auto song = platform::parseMidiFile({reinterpret_cast<const std::uint8_t*>(bytes.data()), std::size_t(bytes.size())});
    ASSERT_TRUE(song);
    EXPECT_GE(song->lengthUs / 1e6, GetParam().minSeconds);
    EXPECT_LE(song->lengthUs / 1e6, GetParam().maxSeconds);

    const auto player = playing(path, 100);
    EXPECT_GT(rms(player->render(2.0)), kSounding);
}

INSTANTIATE_TEST_SUITE_P(Music, CoursePiece,
                         ::testing::Values(PieceCase{"IndexEnrar.mid", 40, 90}, PieceCase{"Main.mid", 40, 90},
                                           PieceCase{"Pinyin.mid", 40, 90}, PieceCase{"Escritura.mid", 40, 90},
                                           PieceCase{"Frases.mid", 40, 90}, PieceCase{"Vocaburarios.mid", 40, 90},
                                           PieceCase{"Anexos.mid", 40, 90}, PieceCase{"Fin.mid", 15, 40}));

TEST(CourseMusic, TheMidiFolderHoldsExactlyTheEightPieces)
{
    const QStringList names = QDir(test::builtProgramFolder() + QStringLiteral("/Midi")).entryList(QDir::Files, QDir::Name);
    EXPECT_EQ(names, QStringList({"Anexos.mid", "Escritura.mid", "Fin.mid", "Frases.mid", "IndexEnrar.mid", "Main.mid",
                                  "Pinyin.mid", "Vocaburarios.mid"}));
}

// --- Controls and settings ---------------------------------------------------------------------

TEST(MediaPlayer, PauseHaltsAtOnceAndPlayGoesOnFromThere)
{
    Fixtures fixtures;
    const QString note = fixtures.write("note.mid", organNote(5, 5));
    const auto paused = playing(note);
    const auto straight = playing(note);

    const auto before = paused->render(0.8);
    paused->controls.pause();
    EXPECT_EQ(paused->state(), MediaPlayer::State::Paused);
    EXPECT_TRUE(silent(paused->render(0.3)));
    paused->controls.play();
    const auto after = paused->render(0.5);

    // Apart from the silent gap, the paused output is the uninterrupted output sample for sample.
    const auto reference = straight->render(1.3);
    EXPECT_GT(rms(before), kSounding);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), reference.begin()));
    EXPECT_TRUE(std::equal(after.begin(), after.end(), reference.begin() + std::ptrdiff_t(before.size())));
}

TEST(MediaPlayer, StopHaltsAtOnceAndPlayStartsAfreshFromTheBeginning)
{
    Fixtures fixtures;
    const QString note = fixtures.write("note.mid", organNote(1, 4));
    const auto player = playing(note);

    EXPECT_GT(rms(player->render(0.8)), kSounding);
    player->controls.stop();
    EXPECT_EQ(player->state(), MediaPlayer::State::Stopped);
    EXPECT_TRUE(silent(player->render(0.3)));
    player->controls.play();
    // Nothing of the first start is left over (no release, no reverb): as if just made.
    EXPECT_EQ(player->render(1.0), playing(note)->render(1.0));
}

TEST(MediaPlayer, VolumeSetsTheLoudnessAndZeroIsSilent)
{
    Fixtures fixtures;
    const QString note = fixtures.write("note.mid", organNote(2, 2));
    const double loud = rms(playing(note, 100)->render(1.0));
    const double soft = rms(playing(note, 10)->render(1.0));

    EXPECT_GT(soft, 0);
    EXPECT_GT(loud, 10 * soft); // at least 20 dB apart
    EXPECT_TRUE(silent(playing(note, 0)->render(1.0)));
}

TEST(MediaPlayer, VolumeChangesTheVeryNextSamplesWhilePlaying)
{
    Fixtures fixtures;
    const auto player = playing(fixtures.write("note.mid", organNote(2, 2)), 100);
    const double loud = rms(player->render(0.5), 0.4);
    player->settings.setVolume(10);
    const double soft = rms(player->render(0.1));

    EXPECT_GT(soft, 0);
    EXPECT_GT(loud, 10 * soft);
}

TEST(MediaPlayer, ReplacingTheUrlWhilePlayingSwitchesThePiece)
{
    Fixtures fixtures;
    const QString note = fixtures.write("note.mid", organNote(3, 3));
    // A valid piece with nothing in it: after the switch the old note is gone at once.
    const QString quiet = fixtures.write("quiet.mid", header() + chunk("MTrk", at(3 * kTicksPerSecond, kEndOfTrack)));

    const auto player = playing(note);
    EXPECT_GT(rms(player->render(0.5)), kSounding);
    player->setURL(quiet);
    EXPECT_EQ(player->state(), MediaPlayer::State::Playing);
    EXPECT_TRUE(silent(player->render(0.5)));

    player->setURL(note);
    EXPECT_EQ(player->render(0.5), playing(note)->render(0.5));
}

// --- Repeats -----------------------------------------------------------------------------------

struct RepeatCase {
    int playCount;
    int passes; // heard
};

void PrintTo(const RepeatCase& c, std::ostream* out)
{
    *out << "playCount " << c.playCount;
}

class Repeats : public ::testing::TestWithParam<RepeatCase> {};

TEST_P(Repeats, PlaysThePieceThatManyTimesThenFallsSilent)
{
    Fixtures fixtures;
    // A 0.3 s note in a piece of one second.
    const auto player = playing(fixtures.write("short.mid", organNote(0.3, 1.0)), 50, GetParam().playCount);
    const int passes = GetParam().passes;
    const auto samples = player->render(passes + 4.0);

    for (int pass = 0; pass < passes; ++pass) {
        EXPECT_GT(rms(samples, pass + 0.05, pass + 0.3), kSounding) << "pass " << pass + 1;
        // Between the notes only the release is left, far below the note itself.
        EXPECT_LT(rms(samples, pass + 0.8, pass + 1.0), rms(samples, pass + 0.05, pass + 0.3) / 10) << "pass " << pass + 1;
    }
    EXPECT_LT(rms(samples, passes + 0.05, passes + 0.3), kSounding / 10) << "no further pass";
    // Once the release has died away the output is exactly silent and the player stopped.
    EXPECT_TRUE(silent(std::span(samples).last(kRate)));
    EXPECT_EQ(player->state(), MediaPlayer::State::Stopped);
}

INSTANTIATE_TEST_SUITE_P(PlayCount, Repeats,
                         ::testing::Values(RepeatCase{1, 1}, RepeatCase{2, 2}, RepeatCase{3, 3}, RepeatCase{0, 1}));

TEST(MediaPlayer, EachRepeatStartsOnePieceLengthAfterThePrevious)
{
    Fixtures fixtures;
    // A note from 0.25 to 0.5 s in a piece of one second: it must recur every second, with no
    // gap between passes. FluidSynth starts notes on 64-sample blocks, hence the tolerance.
    const Bytes track = at(0, {0xC0, 19}) + at(240, {0x90, 60, 100}) + at(240, {0x80, 60, 0}) + at(480, kEndOfTrack);
    const auto player = playing(fixtures.write("beat.mid", header() + chunk("MTrk", track)), 50, kEndless);
    const auto samples = player->render(4.0);

    std::vector<double> onsets; // in samples from the start of each pass
    for (int pass = 0; pass < 4; ++pass) {
        const auto begin = samples.begin() + 2 * pass * kRate;
        const auto onset = std::find_if(begin, begin + 2 * kRate, [](std::int16_t s) { return std::abs(s) > 1000; });
        ASSERT_NE(onset, begin + 2 * kRate) << "pass " << pass + 1;
        onsets.push_back(double(onset - begin) / 2);
    }
    EXPECT_NEAR(onsets[0], 0.25 * kRate, 0.1 * kRate); // the organ takes a moment to speak
    for (int pass = 1; pass < 4; ++pass)
        EXPECT_NEAR(onsets[pass], onsets[0], 64) << "pass " << pass + 1;
}

// --- Files that cannot be played ---------------------------------------------------------------

struct BadFileCase {
    const char* name;
    std::function<QString(const Fixtures&)> make;
};

void PrintTo(const BadFileCase& c, std::ostream* out)
{
    *out << c.name;
}

const Bytes kTrack = at(0, {0xC0, 19}) + at(0, {0x90, 60, 100}) + at(960, {0x80, 60, 0}) + at(0, kEndOfTrack);

QString written(const Fixtures& f, const Bytes& bytes)
{
    return f.write("bad.mid", bytes);
}

const BadFileCase kBadFiles[] = {
    {"missing", [](const Fixtures& f) { return f.path("missing.mid"); }},
    {"empty", [](const Fixtures& f) { return written(f, {}); }},
    {"folder", [](const Fixtures& f) { QDir().mkpath(f.path("folder.mid")); return f.path("folder.mid"); }},
    {"fifo",
     [](const Fixtures& f) {
         ::mkfifo(QFile::encodeName(f.path("pipe.mid")).constData(), 0600);
         return f.path("pipe.mid");
     }},
    {"wrong magic", [](const Fixtures& f) { return written(f, Bytes{'R', 'I', 'F', 'F'} + Bytes(10) + chunk("MTrk", kTrack)); }},
    {"header only", [](const Fixtures& f) { return written(f, header()); }},
    {"short header", [](const Fixtures& f) { return written(f, chunk("MThd", be(0, 2) + be(1, 2)) + chunk("MTrk", kTrack)); }},
    {"absurd header length",
     [](const Fixtures& f) { return written(f, chunk("MThd", be(0, 2) + be(1, 2) + be(480, 2), 0xFFFFFFF0) + chunk("MTrk", kTrack)); }},
    {"absurd track length", [](const Fixtures& f) { return written(f, header() + chunk("MTrk", kTrack, 0x7FFFFFFF)); }},
    {"truncated track",
     [](const Fixtures& f) {
         const Bytes whole = header() + chunk("MTrk", kTrack);
         return written(f, Bytes(whole.begin(), whole.end() - 5));
     }},
    {"fewer tracks than announced", [](const Fixtures& f) { return written(f, header(2, 480, 1) + chunk("MTrk", kTrack)); }},
    {"random bytes after the header", [](const Fixtures& f) { return written(f, header() + randomBytes(4096, 1)); }},
    {"random bytes in the track", [](const Fixtures& f) { return written(f, header() + chunk("MTrk", randomBytes(4096, 2))); }},
    {"data byte without a status", [](const Fixtures& f) { return written(f, header() + chunk("MTrk", at(0, {0x3C, 0x64}) + kTrack)); }},
    {"delta time over four bytes",
     [](const Fixtures& f) { return written(f, header() + chunk("MTrk", Bytes{0x81, 0x81, 0x81, 0x81, 0x01} + kTrack)); }},
    {"meta event past the chunk", [](const Fixtures& f) { return written(f, header() + chunk("MTrk", at(0, {0xFF, 0x01, 0x40, 'a'}))); }},
    {"system message in a track", [](const Fixtures& f) { return written(f, header() + chunk("MTrk", at(0, {0xF8}) + kTrack)); }},
    {"division zero", [](const Fixtures& f) { return written(f, header(1, 0) + chunk("MTrk", kTrack)); }},
    {"tempo zero", [](const Fixtures& f) { return written(f, header() + chunk("MTrk", at(0, tempo(0)) + kTrack)); }},
    {"longer than a day",
     [](const Fixtures& f) { return written(f, header() + chunk("MTrk", at(0, tempo(0xFFFFFF)) + at(0x0FFFFFFF, kEndOfTrack))); }},
    {"no length at all", [](const Fixtures& f) { return written(f, header() + chunk("MTrk", at(0, kEndOfTrack))); }},
};

// Captures what is written to the process's stderr while it lives.
class StderrCapture {
public:
    StderrCapture()
    {
        std::fflush(stderr);
        m_saved = ::dup(2);
        m_file = std::tmpfile();
        ::dup2(::fileno(m_file), 2);
    }
    ~StderrCapture()
    {
        std::fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        std::fclose(m_file);
    }
    std::string text()
    {
        std::fflush(stderr);
        std::string out;
        std::rewind(m_file);
        for (int c; (c = std::fgetc(m_file)) != EOF;)
            out += char(c);
        return out;
    }

private:
    int m_saved = -1;
    std::FILE* m_file = nullptr;
};

class UnplayableFile : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(UnplayableFile, PlaysAsSilenceWithoutAWordAndThePlayerGoesOn)
{
    Fixtures fixtures;
    const QString bad = GetParam().make(fixtures);
    MediaPlayer player(false);
    player.settings.setVolume(100);
    player.settings.setPlayCount(kEndless); // an endless loop over a bad file must not hang

    StderrCapture stderrText;
    player.setURL(bad);
    player.controls.play();
    EXPECT_TRUE(silent(player.render(1.0)));
    EXPECT_EQ(player.state(), MediaPlayer::State::Stopped);
    EXPECT_EQ(stderrText.text(), "");

    player.setURL(fixtures.write("good.mid", organNote(1, 1)));
    player.controls.play();
    EXPECT_GT(rms(player.render(0.5)), kSounding);
}

INSTANTIATE_TEST_SUITE_P(Files, UnplayableFile, ::testing::ValuesIn(kBadFiles), [](const auto& info) {
    std::string name = info.param.name;
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
});

// --- Without an audio device ------------------------------------------------------------------

QStringList g_messages;

void collectMessage(QtMsgType, const QMessageLogContext&, const QString& message)
{
    g_messages << message;
}

TEST(MediaPlayer, WithoutAnAudioDeviceStaysSilentAndSaysSoOnce)
{
    // No sound server answers here, whatever the machine has (this process makes no other
    // audio output, so the one report is still to come).
    qputenv("PULSE_SERVER", "unix:/nonexistent/lumavo-test");
    g_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(collectMessage);
    {
        const QString piece = QDir(test::builtProgramFolder()).filePath(QStringLiteral("Midi/Main.mid"));
        MediaPlayer first;
        first.setURL(piece);
        first.controls.play();
        MediaPlayer second;
        second.setURL(piece);
        second.controls.play();
        second.controls.stop();
        EXPECT_TRUE(first.render(0.5).empty()); // the offline path belongs to offline players
    }
    qInstallMessageHandler(previous);
    EXPECT_EQ(g_messages.filter(QStringLiteral("no audio output")).size(), 1) << g_messages.join('\n').toStdString();
}

// --- Reading time from a file ------------------------------------------------------------------

struct TimingCase {
    const char* name;
    Bytes file;
    std::vector<std::uint64_t> noteOnUs;
    std::uint64_t lengthUs;
};

void PrintTo(const TimingCase& c, std::ostream* out)
{
    *out << c.name;
}

class Timing : public ::testing::TestWithParam<TimingCase> {};

TEST_P(Timing, EventsAndLengthFallAtTheirTimes)
{
    const auto song = platform::parseMidiFile(GetParam().file);
    ASSERT_TRUE(song);
    std::vector<std::uint64_t> noteOns;
    for (const auto& event : song->events) {
        if ((event.status & 0xF0) == 0x90)
            noteOns.push_back(event.timeUs);
    }
    EXPECT_EQ(noteOns, GetParam().noteOnUs);
    EXPECT_EQ(song->lengthUs, GetParam().lengthUs);
}

const Bytes kNoteOn{0x90, 60, 100};

INSTANTIATE_TEST_SUITE_P(
    Files, Timing,
    ::testing::Values(
        TimingCase{"default tempo", header() + chunk("MTrk", at(480, kNoteOn) + at(480, kEndOfTrack)), {500'000}, 1'000'000},
        TimingCase{"tempo change midway",
                   header() + chunk("MTrk", at(0, tempo(1'000'000)) + at(480, kNoteOn) + at(0, tempo(250'000)) + at(480, kNoteOn)
                                                + at(0, kEndOfTrack)),
                   {1'000'000, 1'250'000},
                   1'250'000},
        TimingCase{"tempo in the first track rules the second",
                   header(2, 480, 1) + chunk("MTrk", at(0, tempo(1'000'000)) + at(0, kEndOfTrack))
                       + chunk("MTrk", at(480, kNoteOn) + at(480, kEndOfTrack)),
                   {1'000'000},
                   2'000'000},
        TimingCase{"running status and an unknown chunk",
                   header() + chunk("XFIH", Bytes(7, 0x90)) + chunk("MTrk", at(0, kNoteOn) + at(96, {62, 100}) + at(0, kEndOfTrack)),
                   {0, 100'000},
                   100'000},
        // 25 frames of 40 ticks: a tick is a millisecond, whatever the tempo says.
        TimingCase{"SMPTE time", header(1, std::uint16_t(0xE728)) + chunk("MTrk", at(0, tempo(1'000'000)) + at(250, kNoteOn) + at(750, kEndOfTrack)),
                   {250'000},
                   1'000'000},
        TimingCase{"track without an end event", header() + chunk("MTrk", at(960, kNoteOn)), {1'000'000}, 1'000'000}),
    [](const auto& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), ' ', '_');
        return name;
    });

} // namespace
