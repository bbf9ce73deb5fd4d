#include "swf/audio/movie_sound.h"

#include <cmath>

#include "swf/core/movie_clip.h"

namespace swf::audio {

void MovieSound::silence()
{
    m_mixer.reset();
    m_streams.clear();
}

void MovieSound::attach(const std::shared_ptr<Player>& player)
{
    if (auto old = m_player.lock())
        old->sound_events().enable(false);
    silence();
    m_sounds.clear();
    m_library = nullptr;
    m_player = player;
    if (player)
        player->sound_events().enable(true);
}

std::shared_ptr<const PcmSound> MovieSound::decoded(const SoundEvent& e)
{
    Cached& c = m_sounds[e.sound];
    if (!c.pcm || c.movie.lock() != e.movie) {
        c.movie = e.movie;
        c.pcm = std::make_shared<const PcmSound>(decode_sound(e.sound->def));
    }
    return c.pcm;
}

void MovieSound::stream_block(const SoundEvent& e)
{
    Stream& s = m_streams[e.clip];
    bool restart = !s.decoder || s.timeline != e.timeline || e.jumped;
    if (restart) {
        std::optional<SoundStreamHead> head = stream_head(*e.timeline, e.frame);
        if (!head) {
            m_streams.erase(e.clip);
            return;
        }
        s.timeline = e.timeline;
        s.movie = e.movie;
        s.decoder = std::make_unique<StreamDecoder>(*head);
    }
    m_mixer.stream_append(e.clip, s.decoder->decode_block(e.block, restart), restart);
}

void MovieSound::update()
{
    std::shared_ptr<Player> player = m_player.lock();
    if (!player || player->closed()) {
        silence();
        return;
    }
    if (player->library() != m_library) {
        // Level 0 holds another movie: what the old one played stops with it.
        silence();
        m_sounds.clear();
        m_library = player->library();
    }
    for (const SoundEvent& e : player->sound_events().take()) {
        switch (e.kind) {
        case SoundEvent::Kind::Start:
            if (e.info.sync_stop) {
                auto it = m_sounds.find(e.sound);
                if (it != m_sounds.end())
                    m_mixer.stop(it->second.pcm.get());
            } else {
                m_mixer.start(decoded(e), e.info, e.clip);
            }
            break;
        case SoundEvent::Kind::StreamBlock: stream_block(e); break;
        case SoundEvent::Kind::StopAll:
            m_mixer.stop_all();
            m_streams.clear();
            break;
        case SoundEvent::Kind::Transform: m_mixer.set_transform(e.clip, e.matrix); break;
        }
    }
    // A stream plays while its clip does.
    for (auto it = m_streams.begin(); it != m_streams.end();) {
        DisplayObject* o = player->find(it->first);
        const MovieClip* clip = o ? o->as_clip() : nullptr;
        if (clip && clip->playing()) {
            ++it;
        } else {
            m_mixer.stream_stop(it->first);
            it = m_streams.erase(it);
        }
    }
}

OfflineAudio::OfflineAudio(const std::shared_ptr<Player>& player) : m_player(player)
{
    m_sound.attach(player);
}

void OfflineAudio::render_frame()
{
    m_sound.update();
    std::shared_ptr<Player> player = m_player.lock();
    double rate = player ? player->frame_rate() : 12;
    auto end_of = [&](std::uint64_t frame) { return std::uint64_t(std::llround(double(frame) * kOutputRate / rate)); };
    std::size_t frames = end_of(m_frames + 1) - end_of(m_frames);
    ++m_frames;
    std::size_t at = m_samples.size();
    m_samples.resize(at + frames * 2);
    m_mixer.mix(m_samples.data() + at, frames);
}

} // namespace swf::audio
