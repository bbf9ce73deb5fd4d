#pragma once

#include "platform/midi_file.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

typedef struct _fluid_hashtable_t fluid_settings_t;

namespace platform {

enum class PlayState { Stopped, Playing, Paused };

struct SoundFontHost;

// Plays one MidiSong on a software synthesizer with the system's General MIDI soundfont and
// renders the result as interleaved stereo 16-bit samples. The song's events are scheduled
// here rather than by FluidSynth's file player, so a repeat follows the previous pass without a
// gap and a damaged file never reaches the synthesizer. Every call may come from any thread:
// control calls and render() are serialised by one lock shared by all instances, which also
// guards the soundfont they share.
class MidiSynth {
public:
    explicit MidiSynth(int sampleRate);
    ~MidiSynth();
    MidiSynth(const MidiSynth&) = delete;
    MidiSynth& operator=(const MidiSynth&) = delete;

    // Names the song that play() starts; nullptr for nothing playable. While a song plays the
    // new one replaces it and starts from its beginning; a paused one is stopped.
    void setSong(std::shared_ptr<const MidiSong> song);

    // Starts the song from its beginning, or resumes it when paused.
    void play();
    // Both halt at once: the next rendered sample is silent. A paused song keeps its place.
    void stop();
    void pause();
    PlayState state() const;
    // Seconds into the current pass through the song.
    double position() const;

    void setVolume(int volume); // 0..100, applied from the next rendered sample
    int volume() const;
    void setPlayCount(int count); // passes through the song in all, at least 1
    int playCount() const;

    void render(std::int16_t* interleaved, std::size_t frames);

private:
    enum class Mode { Stopped, Playing, Paused, Ending };

    void restart();
    void dispatch(const MidiEvent& event);
    void synthesize(std::int16_t* out, std::size_t frames);

    const int m_sampleRate;
    std::shared_ptr<SoundFontHost> m_host;
    fluid_settings_t* m_settings = nullptr;
    struct Synth;
    std::unique_ptr<Synth> m_synth; // made by play(); null until then or without a soundfont

    std::shared_ptr<const MidiSong> m_song;
    std::vector<std::uint64_t> m_eventFrames; // m_song's event times in samples
    std::uint64_t m_lengthFrames = 0;

    Mode m_mode = Mode::Stopped;
    std::uint64_t m_position = 0; // sample within the current pass
    std::size_t m_nextEvent = 0;
    int m_passesDone = 0;
    std::uint64_t m_quietFrames = 0; // while Ending: samples rendered with no voice sounding
    int m_volume = 50;
    int m_playCount = 1;
    std::vector<float> m_left, m_right;
};

} // namespace platform
