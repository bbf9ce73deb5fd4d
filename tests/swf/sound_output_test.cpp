// The movie view's sound through a real sound server: a private PulseAudio daemon with a null
// sink, recorded from the sink's monitor. Its own executable, because Qt connects to the sound
// server once per process.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <cmath>
#include <cstring>

#include "audio_signal.h"
#include "swf/view/movie_view.h"
#include "swf/writer/movie_builder.h"
#include "swf/writer/sound_encoding.h"
#include "tests/support/sound_server.h"

using namespace swf;

using test::SoundServer;

TEST(MovieViewSound, KeepsFeedingTheSoundServerWhileTheUserInterfaceThreadIsBusy)
{
    if (QStandardPaths::findExecutable("pulseaudio").isEmpty() || QStandardPaths::findExecutable("parec").isEmpty())
        GTEST_SKIP() << "needs pulseaudio and parec";
    SoundServer server;
    ASSERT_TRUE(server.ready());
    qputenv("PULSE_SERVER", QFile::encodeName("unix:" + server.socket()));

    QProcess recorder;
    recorder.start("parec", {"--device=nullsink.monitor", "--raw", "--format=s16le", "--rate=44100", "--channels=2",
                             "--latency-msec=50", server.path("recording.raw")});
    ASSERT_TRUE(recorder.waitForStarted());
    {
        MovieBuilder m;
        SoundData tone;
        tone.rate = 22050;
        tone.sample_count = 22050 * 4;
        tone.data = pcm_bytes(audio_signal::tone({440}, 22050, tone.sample_count), true);
        m.start_sound(m.sound(tone), SoundInfo{}).show_frame().show_frame();
        MovieView view;
        ASSERT_TRUE(view.load(m.bytes()));
        view.tick();
        // This thread does not return to its event loop while the sound plays.
        QThread::msleep(2500);
    }
    recorder.terminate();
    recorder.waitForFinished(3000);

    // The sink pulls at its own pace, so how much arrives varies; that sound arrived at all
    // while this thread slept shows the feed runs on a thread of its own.
    QFile file(server.path("recording.raw"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray pcm = file.readAll();
    ASSERT_GE(pcm.size(), 2);
    std::vector<std::int16_t> samples(std::size_t(pcm.size()) / 2);
    std::memcpy(samples.data(), pcm.constData(), samples.size() * 2);
    EXPECT_GT(audio_signal::rms(audio_signal::channel(samples, 2, 0)), 100.0);
}
