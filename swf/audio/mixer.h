#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "swf/audio/pcm_sound.h"
#include "swf/parser/sounds.h"

namespace swf::audio {

constexpr int kOutputRate = 44100; // the mix: 16-bit stereo at this rate

// Mixes any number of event sounds and streams into 16-bit stereo at 44.1 kHz, resampling
// each from its own rate (linear interpolation). Safe to drive from one thread while another
// calls mix().
class Mixer {
public:
    // A bound for hostile movies: starting one more drops the oldest.
    static constexpr std::size_t kMaxVoices = 256;

    // Plays an event sound as `info` says: from its in point to its out point (44.1 kHz sample
    // positions), `loop_count` times, through its envelope, whose positions count 44.1 kHz
    // samples from the sound's start and run on through the loops. A no-multiple sound that is
    // playing already is not started again; a stop sound stops every instance instead.
    // `owner` is the clip that started it, for transforms (0: none).
    void start(std::shared_ptr<const PcmSound> sound, const SoundInfo& info, std::uint64_t owner = 0);
    void stop(const PcmSound* sound);
    bool playing(const PcmSound* sound) const;

    // Appends samples to a stream (a clip's stream sound); `restart` drops what it still had.
    // A stream keeps at most three blocks' worth (at least a fifth of a second): when the
    // frames come faster than the output plays them, the oldest samples go, so the sound stays
    // with the pictures.
    void stream_append(std::uint64_t stream, const PcmSound& samples, bool restart);
    void stream_stop(std::uint64_t stream);
    std::vector<std::uint64_t> streams() const;

    // How the sounds of `owner` (a stream's id is its owner) reach the speakers, as
    // Sound.setTransform gives it in percent: ll (left input to left speaker), lr (right input
    // to left), rr, rl (left input to right). Owner 0's applies to every sound, after the owner's.
    void set_transform(std::uint64_t owner, const std::array<double, 4>& matrix);

    void stop_all();
    // Stops everything and forgets the transforms: another movie starts.
    void reset();
    std::size_t voice_count() const; // event sounds playing

    // Writes the next `frames` frames of the mix (interleaved stereo) to `out`.
    void mix(std::int16_t* out, std::size_t frames);

private:
    // The owner's transform, then the global one, as one matrix of fractions.
    struct Gain {
        bool identity = true;
        double l_from_l = 1, l_from_r = 0, r_from_l = 0, r_from_r = 1;
    };
    struct Voice {
        std::shared_ptr<const PcmSound> sound;
        std::uint64_t owner = 0;
        std::uint64_t position = 0; // source frames, 32.32 fixed point
        std::uint64_t step = 0;
        std::size_t begin = 0, end = 0; // the played part, source frames
        unsigned loops_left = 1;
        std::vector<SoundEnvelopePoint> envelope;
        std::size_t envelope_at = 0;    // the envelope segment reached
        std::uint64_t time44 = 0;       // envelope clock
    };
    struct Stream {
        std::uint32_t rate = 0;
        int channels = 0;
        std::vector<std::int16_t> samples;
        std::size_t read = 0;     // first unplayed sample
        std::uint64_t fraction = 0; // between it and the next, 0.32 fixed point
        std::uint64_t step = 0;
    };

    Gain gain(std::uint64_t owner) const;
    bool mix_voice(Voice& voice, const Gain& gain, std::int32_t* acc, std::size_t frames);
    void mix_stream(Stream& stream, const Gain& gain, std::int32_t* acc, std::size_t frames);

    mutable std::mutex m_mutex;
    std::vector<Voice> m_voices;
    std::map<std::uint64_t, Stream> m_streams;
    std::map<std::uint64_t, std::array<double, 4>> m_transforms;
    std::vector<std::int32_t> m_acc;
};

// Source frames per output frame for a sound rate, 32.32 fixed point (5512 is 5512.5 Hz).
std::uint64_t resample_step(std::uint32_t rate);

} // namespace swf::audio
