#pragma once

#include <memory>

namespace swf::audio {

class Mixer;

// Plays a mixer through the system's default audio output. The sink lives on a thread of its
// own that pulls the mix, so a busy UI thread does not starve it. Without an output device the
// mix is never pulled; the first such failure in the process prints one line on stderr.
class AudioOutput {
public:
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
