#include "platform/media_player.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace platform {
namespace {

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

} // namespace

MediaPlayer::MediaPlayer(bool withAudioOutput, QObject* parent)
    : QObject(parent)
    , m_offline(!withAudioOutput)
{
    if (m_offline)
        return;
    // Audio queued in the sink: enough to ride out a busy moment, short enough that stop and
    // volume changes are heard at once.
    m_output = std::make_unique<swf::audio::AudioOutput>(
        [this](std::int16_t* samples, std::size_t frames) { m_synth.render(samples, frames); },
        swf::audio::AudioOutput::Options{.sample_rate = sampleRate(),
                                         .buffer_seconds = 0.15,
                                         .thread_name = "Lumavo music",
                                         .without_device = "Lumavo: no audio output device; the music stays silent"});
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
