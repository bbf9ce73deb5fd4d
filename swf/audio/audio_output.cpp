#include "swf/audio/audio_output.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <set>

#include "swf/audio/mixer.h"

namespace swf::audio {
namespace {

constexpr qint64 kFrameBytes = 2 * sizeof(std::int16_t);

void report_no_output(const std::string& line)
{
    static std::mutex guard;
    static std::set<std::string> said;
    std::lock_guard lock(guard);
    if (said.insert(line).second)
        qWarning("%s", line.c_str());
}

// The sink's pull source: every read renders the next frames.
class RenderStream : public QIODevice {
public:
    RenderStream(const AudioOutput::Render& render, std::atomic<long long>& pulled) : m_render(render), m_pulled(pulled) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 4096 * kFrameBytes + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        std::size_t frames = std::size_t(max / kFrameBytes);
        m_render(reinterpret_cast<std::int16_t*>(data), frames);
        m_pulled += qint64(frames) * kFrameBytes;
        return qint64(frames) * kFrameBytes;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    const AudioOutput::Render& m_render;
    std::atomic<long long>& m_pulled;
};

} // namespace

class AudioOutput::Thread {
public:
    Thread(Render render, Options options) : m_render(std::move(render)), m_options(std::move(options))
    {
        QAudioDevice device = QMediaDevices::defaultAudioOutput();
        if (device.isNull()) {
            report_no_output(m_options.without_device);
            return;
        }
        m_context.moveToThread(&m_thread);
        m_thread.setObjectName(QString::fromStdString(m_options.thread_name));
        m_thread.start();
        QMetaObject::invokeMethod(&m_context, [this, device] { open(device); });
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
    void open(const QAudioDevice& device)
    {
        QAudioFormat format;
        format.setSampleRate(m_options.sample_rate);
        format.setChannelCount(2);
        format.setChannelConfig(QAudioFormat::ChannelConfigStereo);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            report_no_output(m_options.without_device);
            return;
        }
        m_stream = std::make_unique<RenderStream>(m_render, m_pulled);
        m_stream->open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(qint64(m_options.buffer_seconds * m_options.sample_rate) * kFrameBytes);
        // The sound server may also go away later: reported the same way.
        QObject::connect(m_sink.get(), &QAudioSink::stateChanged, &m_context, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError)
                report_no_output(m_options.without_device);
        });
        m_sink->start(m_stream.get());
        if (m_sink->error() != QAudio::NoError)
            report_no_output(m_options.without_device);
    }

    const Render m_render;
    const Options m_options;
    std::atomic<long long> m_pulled{0};
    QThread m_thread;
    QObject m_context; // lives in m_thread: the sink and its source are made and destroyed there
    std::unique_ptr<RenderStream> m_stream;
    std::unique_ptr<QAudioSink> m_sink;
};

AudioOutput::AudioOutput(Render render, Options options)
    : m_thread(std::make_unique<Thread>(std::move(render), std::move(options)))
{
}

AudioOutput::AudioOutput(Mixer& mixer)
    : AudioOutput([&mixer](std::int16_t* samples, std::size_t frames) { mixer.mix(samples, frames); },
                  Options{.sample_rate = kOutputRate, .thread_name = "Lumavo movie sound"})
{
}

AudioOutput::~AudioOutput() = default;

long long AudioOutput::pulled() const
{
    return m_thread->pulled();
}

} // namespace swf::audio
