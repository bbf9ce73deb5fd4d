#include "platform/media_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QMediaDevices>
#include <QThread>

#include <atomic>
#include <cmath>
#include <cstring>

namespace platform {
namespace {

constexpr qint64 kFrameBytes = 2 * sizeof(std::int16_t);
// Audio queued in the sink: enough to ride out a busy moment, short enough that stop and
// volume changes are heard at once.
constexpr double kOutputBufferSeconds = 0.15;

void reportNoAudioOutput()
{
    static std::atomic_bool reported{false};
    if (!reported.exchange(true))
        qWarning("Lumavo: no audio output device; the music stays silent");
}

// Reads the whole file and checks its structure; nothing for anything that cannot be played.
// Only regular files are opened: a FIFO or device would block or never end.
std::shared_ptr<const MidiSong> readSong(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > qint64(kMaxMidiFileSize))
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QByteArray bytes = file.read(qint64(kMaxMidiFileSize) + 1);
    auto song = parseMidiFile({reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())});
    return song ? std::make_shared<const MidiSong>(std::move(*song)) : nullptr;
}

// The audio sink's pull source: every read renders the next samples.
class SynthStream : public QIODevice {
public:
    explicit SynthStream(MidiSynth& synth) : m_synth(synth) {}
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override { return 4096 * kFrameBytes + QIODevice::bytesAvailable(); }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const std::size_t frames = std::size_t(maxSize / kFrameBytes);
        m_samples.resize(2 * frames);
        m_synth.render(m_samples.data(), frames);
        std::memcpy(data, m_samples.data(), frames * kFrameBytes);
        return qint64(frames) * kFrameBytes;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    MidiSynth& m_synth;
    std::vector<std::int16_t> m_samples;
};

} // namespace

// A thread of its own that owns the audio sink and feeds it from the synthesizer.
class MediaPlayer::Output {
public:
    Output(MidiSynth& synth, const QAudioDevice& device)
    {
        m_context.moveToThread(&m_thread);
        m_thread.setObjectName(QStringLiteral("Lumavo music"));
        m_thread.start();
        QMetaObject::invokeMethod(&m_context, [this, &synth, device] { open(synth, device); });
    }

    ~Output()
    {
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

private:
    void open(MidiSynth& synth, const QAudioDevice& device)
    {
        QAudioFormat format;
        format.setSampleRate(sampleRate());
        format.setChannelCount(2);
        format.setChannelConfig(QAudioFormat::ChannelConfigStereo);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!device.isFormatSupported(format)) {
            reportNoAudioOutput();
            return;
        }
        m_stream = std::make_unique<SynthStream>(synth);
        m_stream->open(QIODevice::ReadOnly);
        m_sink = std::make_unique<QAudioSink>(device, format);
        m_sink->setBufferSize(qint64(kOutputBufferSeconds * sampleRate()) * kFrameBytes);
        // The sound server can also go away later; that is reported the same way.
        QObject::connect(m_sink.get(), &QAudioSink::stateChanged, &m_context, [this](QAudio::State state) {
            if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError)
                reportNoAudioOutput();
        });
        m_sink->start(m_stream.get());
        if (m_sink->error() != QAudio::NoError)
            reportNoAudioOutput();
    }

    QThread m_thread;
    QObject m_context; // lives in m_thread; the sink and stream are made and destroyed there
    std::unique_ptr<SynthStream> m_stream;
    std::unique_ptr<QAudioSink> m_sink;
};

MediaPlayer::MediaPlayer(bool withAudioOutput, QObject* parent)
    : QObject(parent)
    , m_offline(!withAudioOutput)
{
    if (m_offline)
        return;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull())
        reportNoAudioOutput();
    else
        m_output = std::make_unique<Output>(m_synth, device);
}

MediaPlayer::~MediaPlayer() = default;

void MediaPlayer::setURL(const QString& path)
{
    m_url = path;
    m_synth.setSong(readSong(path));
}

void MediaPlayer::Controls::play()
{
    m_owner.m_synth.play();
}

void MediaPlayer::Controls::stop()
{
    m_owner.m_synth.stop();
}

void MediaPlayer::Controls::pause()
{
    m_owner.m_synth.pause();
}

void MediaPlayer::Settings::setVolume(int volume)
{
    m_owner.m_synth.setVolume(volume);
}

int MediaPlayer::Settings::volume() const
{
    return m_owner.m_synth.volume();
}

void MediaPlayer::Settings::setPlayCount(int count)
{
    m_owner.m_synth.setPlayCount(count);
}

int MediaPlayer::Settings::playCount() const
{
    return m_owner.m_synth.playCount();
}

MediaPlayer::State MediaPlayer::state() const
{
    return m_synth.state();
}

double MediaPlayer::position() const
{
    return m_synth.position();
}

std::vector<std::int16_t> MediaPlayer::render(double seconds)
{
    if (!m_offline || !(seconds > 0))
        return {};
    const auto frames = std::size_t(std::llround(seconds * sampleRate()));
    std::vector<std::int16_t> samples(2 * frames);
    m_synth.render(samples.data(), frames);
    return samples;
}

} // namespace platform
