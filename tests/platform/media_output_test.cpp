// The player's audio output, heard through a real sound server: a private PulseAudio daemon
// with a null sink, recorded from the sink's monitor. Its own executable, because Qt connects
// to the sound server once per process.
#include "platform/media_player.h"
#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using platform::MediaPlayer;

class SoundServer {
public:
    SoundServer()
    {
        QFile::setPermissions(m_dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_dir.path());
        env.insert("XDG_RUNTIME_DIR", m_dir.path());
        m_daemon.setProcessEnvironment(env);
        m_daemon.setProcessChannelMode(QProcess::ForwardedOutputChannel); // its own chatter goes to a file below
        m_daemon.setStandardErrorFile(m_dir.filePath("daemon.log"));
        m_daemon.start("pulseaudio", {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                                      "--load=module-native-protocol-unix auth-anonymous=1 socket=" + socket(),
                                      "--load=module-null-sink sink_name=nullsink"});
        m_daemon.waitForStarted();
        for (int i = 0; i < 100 && !QFile::exists(socket()); ++i)
            QThread::msleep(20);
    }
    ~SoundServer()
    {
        m_daemon.terminate();
        if (!m_daemon.waitForFinished(3000))
            m_daemon.kill();
        m_daemon.waitForFinished();
    }
    bool ready() const { return m_daemon.state() == QProcess::Running && QFile::exists(socket()); }
    QString log() const
    {
        QFile file(path("daemon.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
    }
    QString socket() const { return m_dir.filePath("native"); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
};

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
