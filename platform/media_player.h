#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <vector>

namespace platform {

class MidiSynth;

// The media player component that plays the background music: standard MIDI files through a
// software synthesizer with a General MIDI soundfont. The operations keep the names the
// course shell uses for them: URL, controls.play/stop/pause, settings.volume/playCount.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    // Audio goes to the system's output; with `withAudioOutput` false nothing is sent anywhere
    // and render() pulls the samples instead (tests, machines without a sound card).
    explicit MediaPlayer(bool withAudioOutput = true, QObject* parent = nullptr);
    ~MediaPlayer() override;

    void setURL(const QString& path);
    QString URL() const { return m_url; }

    class Controls {
    public:
        void play();
        void stop();
        void pause();
    private:
        friend class MediaPlayer;
        explicit Controls(MediaPlayer& owner) : m_owner(owner) {}
        MediaPlayer& m_owner;
    };
    class Settings {
    public:
        void setVolume(int volume); // 0..100, takes effect at once
        int volume() const;
        void setPlayCount(int count);
        int playCount() const;
    private:
        friend class MediaPlayer;
        explicit Settings(MediaPlayer& owner) : m_owner(owner) {}
        MediaPlayer& m_owner;
    };
    Controls controls{*this};
    Settings settings{*this};

    enum class State { Stopped, Playing, Paused };
    State state() const;

    // Offline path: renders the next `seconds` of output as interleaved stereo 16-bit samples at
    // sampleRate(), exactly what the audio output would have been fed.
    std::vector<short> render(double seconds);
    static constexpr int sampleRate() { return 44100; }

private:
    std::unique_ptr<MidiSynth> m_synth;
    QString m_url;
};

} // namespace platform
