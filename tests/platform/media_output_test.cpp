// The player's audio output, heard through a real sound server: a private PulseAudio daemon
// with a null sink, recorded from the sink's monitor. Its own executable, because Qt connects
// to the sound server once per process.
#include "platform/media_player.h"
#include "tests/support/sound_server.h"
#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using platform::MediaPlayer;
using test::SoundServer;

double rms(const QByteArray& pcm)
{
    double sum = 0;
    const qsizetype count = pcm.size() / 2;
    for (qsizetype i = 0; i < count; ++i) {
        std::int16_t sample;
        std::memcpy(&sample, pcm.constData() + 2 * i, 2);
        sum += double(sample) * sample;
    }
    return count > 0 ? std::sqrt(sum / double(count)) : 0;
}

TEST(AudioOutput, KeepsFeedingTheSoundServerWhileTheUserInterfaceThreadIsBusy)
{
    if (QStandardPaths::findExecutable("pulseaudio").isEmpty() || QStandardPaths::findExecutable("parec").isEmpty())
        GTEST_SKIP() << "needs pulseaudio and parec";
    SoundServer server;
    ASSERT_TRUE(server.ready()) << server.log().toStdString();
    qputenv("PULSE_SERVER", QFile::encodeName("unix:" + server.socket()));

    QProcess recorder;
    recorder.start("parec", {"--device=nullsink.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                             "--latency-msec=50", server.path("recording.raw")});
    ASSERT_TRUE(recorder.waitForStarted());
    {
        MediaPlayer player;
        player.settings.setVolume(100);
        player.setURL(QDir(test::builtProgramFolder()).filePath(QStringLiteral("Midi/Main.mid")));
        player.controls.play();
        // This thread does not return to its event loop while the music plays.
        QThread::msleep(2500);
    }
    recorder.terminate();
    recorder.waitForFinished(3000);

    // The sink pulls at its own pace, so how much arrives varies; that music arrived at all
    // while this thread slept shows the feed runs on a thread of its own.
    QFile file(server.path("recording.raw"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pcm = file.readAll();
    ASSERT_GT(pcm.size(), 0);
    EXPECT_GT(rms(pcm), 100.0);
}

} // namespace
