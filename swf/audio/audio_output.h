#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace swf::audio {

class Mixer;

// Plays sound made on demand through the system's default audio output. The sink lives on a
// thread of its own that pulls the sound, so a busy UI thread does not starve it. Without an
// output device nothing is pulled; the first such failure of each kind of output in the process
// prints its one line.
class AudioOutput {
public:
    // Fills `frames` frames of interleaved 16-bit stereo; called on the output's thread.
    using Render = std::function<void(std::int16_t* samples, std::size_t frames)>;
    struct Options {
        int sample_rate = 44100;
        double buffer_seconds = 0.12; // rides out a late pull; short enough that a stop is heard at once
        std::string thread_name = "Lumavo sound";
        std::string without_device = "Lumavo: no audio output device; movies play without sound";
    };

    AudioOutput(Render render, Options options);
    // A movie mixer's sound.
    explicit AudioOutput(Mixer& mixer);
    ~AudioOutput();
    AudioOutput(const AudioOutput&) = delete;
    AudioOutput& operator=(const AudioOutput&) = delete;

    // Bytes the sink has pulled so far (for tests against a real sound server).
    long long pulled() const;

private:
    class Thread;
    std::unique_ptr<Thread> m_thread;
};

} // namespace swf::audio
