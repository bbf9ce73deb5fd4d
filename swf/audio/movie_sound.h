#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "swf/audio/decoders.h"
#include "swf/audio/mixer.h"
#include "swf/core/player.h"

namespace swf::audio {

// Plays one player's sound through a mixer: it takes the sound events the player recorded,
// decodes the sounds they name (each once) and drives the mixer's voices and streams. A clip's
// stream stops when the clip stops or goes; a new movie in level 0 silences the old one.
class MovieSound {
public:
    explicit MovieSound(Mixer& mixer) : m_mixer(mixer) {}
    ~MovieSound() { attach(nullptr); }
    MovieSound(const MovieSound&) = delete;
    MovieSound& operator=(const MovieSound&) = delete;

    // Listens to `player` from now on: attach before loading, or the first frame's sounds are
    // missed. The previous movie's sound stops at once; null stops listening.
    void attach(const std::shared_ptr<Player>& player);
    // After each tick and input event: applies what the movie asked for since the last call.
    void update();

private:
    struct Stream {
        const TimelineDef* timeline = nullptr;
        std::shared_ptr<const Library> movie; // keeps the timeline alive
        std::unique_ptr<StreamDecoder> decoder;
    };
    struct Cached {
        std::weak_ptr<const Library> movie;
        std::shared_ptr<const PcmSound> pcm;
    };

    void silence();
    std::shared_ptr<const PcmSound> decoded(const SoundEvent& event);
    void stream_block(const SoundEvent& event);

    Mixer& m_mixer;
    std::weak_ptr<Player> m_player;
    const Library* m_library = nullptr;
    std::map<const SoundCharacter*, Cached> m_sounds;
    std::map<std::uint64_t, Stream> m_streams;
};

// A movie's sound rendered without a device, frame by frame: for tests and the runner.
class OfflineAudio {
public:
    // Attach before the player loads its movie.
    explicit OfflineAudio(const std::shared_ptr<Player>& player);

    // The share of the mix of the frame the player has just played: frame n ends at
    // n / frame rate seconds, rounded to the sample.
    void render_frame();
    const std::vector<std::int16_t>& samples() const { return m_samples; } // stereo, 44.1 kHz

private:
    std::weak_ptr<Player> m_player;
    Mixer m_mixer;
    MovieSound m_sound{m_mixer};
    std::uint64_t m_frames = 0;
    std::vector<std::int16_t> m_samples;
};

} // namespace swf::audio
