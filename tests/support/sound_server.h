#pragma once

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace test {

// A private PulseAudio daemon with a null sink (record it from "nullsink.monitor"), for tests of
// sound that really reaches a sound server. Point Qt at it through PULSE_SERVER with
// "unix:" + socket(), before anything in the process opens audio.
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

} // namespace test
