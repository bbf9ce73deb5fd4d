#include "swf/audio/audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

#include <atomic>
#include <cstdint>

#include "swf/audio/mixer.h"

namespace swf::audio {
namespace {

constexpr qint64 kFrameBytes = 2 * sizeof(std::int16_t);
// Sound queued in the sink: rides out a late pull, short enough that a stop is heard at once.
constexpr double kBufferSeconds = 0.12;

void report_no_output()
{
    static std::atomic_bool reported{false};
    if (!reported.exchange(true))
        qWarning("Lumavo: no audio output device; movies play without sound");
}

// The sink's pull source: every read mixes the next frames.
class MixStream : public QIODevice {
public:
    MixStream(Mixer& mixer, std::atomic<long long>& pulled) : m_mixer(mixer), m_pulled(pulled) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 4096 * kFrameBytes + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        std::size_t frames = std::size_t(max / kFrameBytes);
        m_mixer.mix(reinterpret_cast<std::int16_t*>(data), frames);
        m_pulled += qint64(frames) * kFrameBytes;
        return qint64(frames) * kFrameBytes;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    Mixer& m_mixer;
    std::atomic<long long>& m_pulled;
};

} // namespace

class AudioOutput::Thread {
public:
    explicit Thread(Mixer& mixer)
    {
        QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            report_no_output();
            return;
        }
        m_context.moveToThread(&m_thread);
        m_thread.setObjectName(QStringLiteral("Lumavo movie sound"));
        m_thread.start();
        QMetaObject::invokeMethod(&m_context, [this, &mixer, device] { open(mixer, device); });
    }

    ~Thread()
    {
        if (!m_thread.isRunning())
            return;
        QThread* home = QThread::currentThread();
        QMetaObject::invokeMethod(
            &m_context,
            [this, home] {
                if (m_sink) {
                    QObject::disconnect(m_sink.get(), nullptr, &m_context, nullptr);
                    m_sink->stop();
                }
                m_sink.reset();
                m_stream.reset();
                m_context.moveToThread(home);
            },
            Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }

    long long pulled() const { return m_pulled.load(); }

private:
    void open(Mixer& mixer, const QAudioDevice& device)
    {
        QAudioFormat format;
        format.setSampleRate(kOutputRate);
        format.setChannelCount(2);
        format.setChannelConfig(QAudioFormat::ChannelConfigStereo);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            report_no_output();
            return;
        }
        m_stream = std::make_unique<MixStream>(mixer, m_pulled);
        m_stream->open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(qint64(kBufferSeconds * kOutputRate) * kFrameBytes);
        // The sound server may also go away later: reported the same way.
        QObject::connect(m_sink.get(), &QAudioSink::stateChanged, &m_context, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError)
                report_no_output();
        });
        m_sink->start(m_stream.get());
        if (m_sink->error() != QAudio::NoError)
            report_no_output();
    }

    std::atomic<long long> m_pulled{0};
    QThread m_thread;
    QObject m_context; // lives in m_thread: the sink and its source are made and destroyed there
    std::unique_ptr<MixStream> m_stream;
    std::unique_ptr<QAudioSink> m_sink;
};

AudioOutput::AudioOutput(Mixer& mixer) : m_thread(std::make_unique<Thread>(mixer)) {}

AudioOutput::~AudioOutput() = default;

long long AudioOutput::pulled() const
{
    return m_thread->pulled();
}

} // namespace swf::audio
