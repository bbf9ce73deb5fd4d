#pragma once

#include "platform/midi_synth.h"
#include "swf/audio/audio_output.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// The media player component that plays the background music: standard MIDI files through a
// software synthesizer with the system's General MIDI soundfont. The operations keep the names
// the course shell uses for them: URL, controls.play/stop/pause, settings.volume/playCount.
//
// Nothing here fails for the caller: a file that cannot be played (missing, not a MIDI file,
// damaged) plays as silence, and without an audio device the player stays silent and says so
// once per process on stderr.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using State = PlayState;

    // With `withAudioOutput` the samples go to the system's default audio output, fed from a
    // thread of the player's own so a busy user interface does not starve it. Without it
    // nothing is sent anywhere and render() pulls the samples instead (tests, offline use).
    explicit MediaPlayer(bool withAudioOutput = true, QObject* parent = nullptr);
    ~MediaPlayer() override;

    // Names the file that controls.play() starts. The file is read here; a new URL while a piece
    // plays replaces it at once, from the new piece's beginning, and a paused piece is dropped
    // (the next play() starts the new one from its beginning).
    void setURL(const QString& path);
    QString URL() const { return m_url; }

    class Controls {
    public:
        void play();  // from the beginning, or on from where pause() halted
        void stop();  // halts at once
        void pause(); // halts at once, keeping the place
    private:
        friend class MediaPlayer;
        explicit Controls(MediaPlayer& owner) : m_owner(owner) {}
        MediaPlayer& m_owner;
    };
    class Settings {
    public:
        void setVolume(int volume); // 0 (silent) .. 100, takes effect at once; 50 at first
        int volume() const;
        void setPlayCount(int count); // passes through the piece in all, at least 1; 1 at first
        int playCount() const;
    private:
        friend class MediaPlayer;
        explicit Settings(MediaPlayer& owner) : m_owner(owner) {}
        MediaPlayer& m_owner;
    };
    Controls controls{*this};
    Settings settings{*this};

    // Stopped also once the last pass has ended.
    State state() const;
    // Seconds from the piece's beginning in the current pass (0 before the first play).
    double position() const;

    // Offline path, for a player made without audio output: renders the next `seconds` of
    // output as interleaved stereo 16-bit samples at sampleRate(), exactly what the audio output
    // would have been fed. Returns nothing for a player with audio output.
    std::vector<std::int16_t> render(double seconds);
    static constexpr int sampleRate() { return 44100; }

private:
    const bool m_offline;
    MidiSynth m_synth{sampleRate()};
    std::unique_ptr<swf::audio::AudioOutput> m_output; // null offline
    QString m_url;
};

} // namespace platform
