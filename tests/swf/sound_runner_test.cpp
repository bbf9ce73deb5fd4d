// lumavo-swf --wav: the movie's sound of the frames played, as a WAV file.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstring>

#include "audio_signal.h"
#include "swf/writer/movie_builder.h"
#include "swf/writer/sound_encoding.h"

using namespace swf;
using namespace audio_signal;

namespace {

int run(const QStringList& arguments, QString* err = nullptr)
{
    QProcess process;
    process.start(QStringLiteral(LUMAVO_SWF_RUNNER), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    if (err)
        *err = QString::fromUtf8(process.readAllStandardError());
    return process.exitCode();
}

std::uint32_t u32(const QByteArray& b, int at)
{
    std::uint32_t v;
    std::memcpy(&v, b.constData() + at, 4);
    return v;
}

} // namespace

// 15 frames at 10 a second last 1.5 s; the tone that frame 2 starts plays from 0.2 s for 0.3 s.
TEST(RunnerWav, WritesTheSoundOfTheFramesPlayed)
{
    QTemporaryDir dir;
    MovieOptions options;
    options.frame_rate = 10;
    MovieBuilder m(options);
    SoundData s;
    s.rate = 22050;
    s.sample_count = 6615;
    s.data = pcm_bytes(tone({440}, 22050, s.sample_count), true);
    std::uint16_t id = m.sound(s);
    m.show_frame().show_frame().start_sound(id, SoundInfo{}).show_frame();
    for (int i = 0; i < 20; ++i)
        m.show_frame();
    ASSERT_TRUE(m.save(dir.filePath("tone.swf").toStdString()));

    QString err;
    ASSERT_EQ(run({dir.filePath("tone.swf"), "--frames", "15", "--wav", dir.filePath("tone.wav")}, &err), 0)
        << err.toStdString();
    QFile f(dir.filePath("tone.wav"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QByteArray wav = f.readAll();
    ASSERT_GE(wav.size(), 44);
    EXPECT_EQ(wav.left(4), "RIFF");
    EXPECT_EQ(wav.mid(8, 8), "WAVEfmt ");
    EXPECT_EQ(u32(wav, 24), 44100u);
    EXPECT_EQ(wav.mid(36, 4), "data");
    const std::uint32_t bytes = u32(wav, 40);
    EXPECT_EQ(bytes, 15u * 4410 * 4); // stereo 16-bit
    ASSERT_EQ(wav.size(), qsizetype(44 + bytes));
    std::vector<std::int16_t> samples(bytes / 2);
    std::memcpy(samples.data(), wav.constData() + 44, bytes);
    std::vector<int> left = channel(samples, 2, 0);
    auto [begin, end] = audible(left);
    EXPECT_NEAR(double(begin), 0.2 * 44100, 12);
    EXPECT_NEAR(double(end), 0.5 * 44100, 12);
    EXPECT_NEAR(pitch(left, 44100, begin, end), 440, 4);
}

TEST(RunnerWav, UnwritableFileFailsWithAReason)
{
    QTemporaryDir dir;
    MovieBuilder m;
    m.show_frame();
    ASSERT_TRUE(m.save(dir.filePath("empty.swf").toStdString()));
    QString err;
    EXPECT_EQ(run({dir.filePath("empty.swf"), "--frames", "2", "--wav", dir.filePath("missing/out.wav")}, &err), 1);
    EXPECT_TRUE(err.contains("cannot write")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("missing/out.wav")));
}
