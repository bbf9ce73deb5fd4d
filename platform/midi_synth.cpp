#include "platform/midi_synth.h"

#include <QtGlobal>

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <mutex>

namespace platform {

// The soundfont, loaded once per process into a synthesizer that exists only to own it; every
// MidiSynth adds the same font to its own synthesizer. The lock serialises all FluidSynth calls
// of the process, since the shared font's sample bookkeeping is not safe across threads.
struct SoundFontHost {
    std::mutex lock;
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* owner = nullptr;
    fluid_sfont_t* font = nullptr;

    ~SoundFontHost()
    {
        if (owner)
            delete_fluid_synth(owner);
        if (settings)
            delete_fluid_settings(settings);
    }
};

namespace {

constexpr const char* kSoundFonts[] = {
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
};

// Master gain of the synthesizer: the course's pieces peak near -9 dBFS at volume 100,
// leaving headroom for denser files.
constexpr double kSynthGain = 1.0;
// Above this level, samples are bent smoothly towards full scale instead of clipping.
constexpr float kSoftLimit = 0.8f;
// After the last pass, rendering goes on until no voice has sounded for this long (reverb).
constexpr double kTailSeconds = 2.0;
// Rendering proceeds in blocks of at most this many samples.
constexpr std::size_t kBlockFrames = 4096;

// FluidSynth reports problems on stderr by itself; the player reports its own instead.
void silenceFluidSynthLog()
{
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        fluid_set_log_function(level, nullptr, nullptr);
}

std::shared_ptr<SoundFontHost> loadSoundFont()
{
    silenceFluidSynthLog();
    auto host = std::make_shared<SoundFontHost>();
    for (const char* path : kSoundFonts) {
        if (!fluid_is_soundfont(path))
            continue;
        host->settings = new_fluid_settings();
        host->owner = new_fluid_synth(host->settings);
        const int id = host->owner ? fluid_synth_sfload(host->owner, path, 0) : FLUID_FAILED;
        if (id != FLUID_FAILED) {
            host->font = fluid_synth_get_sfont_by_id(host->owner, id);
            return host;
        }
        if (host->owner)
            delete_fluid_synth(host->owner);
        delete_fluid_settings(host->settings);
        host->owner = nullptr;
        host->settings = nullptr;
    }
    qWarning("Lumavo: no General MIDI soundfont in /usr/share/sounds/sf2; the music stays silent");
    return host;
}

std::shared_ptr<SoundFontHost> sharedSoundFont()
{
    static const std::shared_ptr<SoundFontHost> host = loadSoundFont();
    return host;
}

// Perceived loudness grows about as amplitude^0.6, so amplitude^(5/3) makes equal volume steps
// sound like equal steps: 10 is -33 dB, 50 is -10 dB, 0 is silence.
float volumeGain(int volume)
{
    return std::pow(float(volume) / 100.0f, 5.0f / 3.0f);
}

std::int16_t toSample(float value)
{
    const float magnitude = std::abs(value);
    if (magnitude > kSoftLimit) {
        const float headroom = 1.0f - kSoftLimit;
        value = std::copysign(kSoftLimit + headroom * std::tanh((magnitude - kSoftLimit) / headroom), value);
    }
    return std::int16_t(std::lrint(value * 32767.0f));
}

} // namespace

// A synthesizer lives from one start of a song to the next: a new one has no trace of the
// last (no voices, no reverb tail), and costs about a millisecond.
struct MidiSynth::Synth {
    fluid_synth_t* synth = nullptr;

    Synth(fluid_settings_t* settings, fluid_sfont_t* font)
        : synth(new_fluid_synth(settings))
        , m_font(font)
    {
        if (synth && fluid_synth_add_sfont(synth, font) == FLUID_FAILED) {
            delete_fluid_synth(synth);
            synth = nullptr;
        }
    }
    ~Synth()
    {
        if (!synth)
            return;
        // The font belongs to the host: take it back before the synthesizer would delete it.
        fluid_synth_remove_sfont(synth, m_font);
        delete_fluid_synth(synth);
    }
    Synth(const Synth&) = delete;
    Synth& operator=(const Synth&) = delete;

private:
    fluid_sfont_t* m_font;
};

MidiSynth::MidiSynth(int sampleRate)
    : m_sampleRate(sampleRate)
    , m_host(sharedSoundFont())
{
    std::lock_guard guard(m_host->lock);
    m_settings = new_fluid_settings();
    fluid_settings_setnum(m_settings, "synth.sample-rate", sampleRate);
    fluid_settings_setnum(m_settings, "synth.gain", kSynthGain);
    fluid_settings_setint(m_settings, "synth.threadsafe-api", 0); // the host's lock serialises calls
}

MidiSynth::~MidiSynth()
{
    std::lock_guard guard(m_host->lock);
    m_synth.reset();
    delete_fluid_settings(m_settings);
}

void MidiSynth::setSong(std::shared_ptr<const MidiSong> song)
{
    std::vector<std::uint64_t> frames;
    std::uint64_t length = 0;
    if (song) {
        const auto toFrames = [this](std::uint64_t us) {
            return std::uint64_t(std::llround(double(us) * m_sampleRate / 1e6));
        };
        frames.reserve(song->events.size());
        for (const MidiEvent& event : song->events)
            frames.push_back(toFrames(event.timeUs));
        length = toFrames(song->lengthUs);
    }

    std::lock_guard guard(m_host->lock);
    m_song = std::move(song);
    m_eventFrames = std::move(frames);
    m_lengthFrames = length;
    if (m_mode == Mode::Playing)
        restart();
    else if (m_mode == Mode::Paused)
        m_mode = Mode::Stopped;
}

void MidiSynth::play()
{
    std::lock_guard guard(m_host->lock);
    if (m_mode == Mode::Paused)
        m_mode = Mode::Playing;
    else
        restart();
}

void MidiSynth::stop()
{
    std::lock_guard guard(m_host->lock);
    m_mode = Mode::Stopped;
}

void MidiSynth::pause()
{
    std::lock_guard guard(m_host->lock);
    if (m_mode == Mode::Playing)
        m_mode = Mode::Paused;
    else if (m_mode == Mode::Ending)
        m_mode = Mode::Stopped;
}

PlayState MidiSynth::state() const
{
    std::lock_guard guard(m_host->lock);
    switch (m_mode) {
    case Mode::Playing: return PlayState::Playing;
    case Mode::Paused: return PlayState::Paused;
    case Mode::Stopped:
    case Mode::Ending: break;
    }
    return PlayState::Stopped;
}

double MidiSynth::position() const
{
    std::lock_guard guard(m_host->lock);
    return double(m_position) / m_sampleRate;
}

void MidiSynth::setVolume(int volume)
{
    std::lock_guard guard(m_host->lock);
    m_volume = std::clamp(volume, 0, 100);
}

int MidiSynth::volume() const
{
    std::lock_guard guard(m_host->lock);
    return m_volume;
}

void MidiSynth::setPlayCount(int count)
{
    std::lock_guard guard(m_host->lock);
    m_playCount = std::max(count, 1);
}

int MidiSynth::playCount() const
{
    std::lock_guard guard(m_host->lock);
    return m_playCount;
}

// Called with the lock held: starts the song from its beginning on a new synthesizer.
void MidiSynth::restart()
{
    m_synth.reset();
    if (m_host->font && m_song) {
        m_synth = std::make_unique<Synth>(m_settings, m_host->font);
        if (!m_synth->synth)
            m_synth.reset();
    }
    if (!m_synth) {
        m_mode = Mode::Stopped;
        return;
    }
    m_position = 0;
    m_nextEvent = 0;
    m_passesDone = 0;
    m_mode = Mode::Playing;
}

void MidiSynth::dispatch(const MidiEvent& event)
{
    fluid_synth_t* synth = m_synth->synth;
    const int channel = event.status & 0x0F;
    switch (event.status & 0xF0) {
    case 0x80: fluid_synth_noteoff(synth, channel, event.data1); break;
    case 0x90:
        if (event.data2 == 0)
            fluid_synth_noteoff(synth, channel, event.data1);
        else
            fluid_synth_noteon(synth, channel, event.data1, event.data2);
        break;
    case 0xA0: fluid_synth_key_pressure(synth, channel, event.data1, event.data2); break;
    case 0xB0: fluid_synth_cc(synth, channel, event.data1, event.data2); break;
    case 0xC0: fluid_synth_program_change(synth, channel, event.data1); break;
    case 0xD0: fluid_synth_channel_pressure(synth, channel, event.data1); break;
    case 0xE0: fluid_synth_pitch_bend(synth, channel, event.data1 | event.data2 << 7); break;
    case 0xF0: {
        const auto& bytes = m_song->sysex[event.sysex];
        fluid_synth_sysex(synth, reinterpret_cast<const char*>(bytes.data()), int(bytes.size()), nullptr, nullptr,
                          nullptr, 0);
        break;
    }
    }
}

void MidiSynth::synthesize(std::int16_t* out, std::size_t frames)
{
    m_left.resize(std::min(frames, kBlockFrames));
    m_right.resize(m_left.size());
    const float gain = volumeGain(m_volume);
    while (frames > 0) {
        const std::size_t n = std::min(frames, kBlockFrames);
        fluid_synth_write_float(m_synth->synth, int(n), m_left.data(), 0, 1, m_right.data(), 0, 1);
        for (std::size_t i = 0; i < n; ++i) {
            out[2 * i] = toSample(m_left[i] * gain);
            out[2 * i + 1] = toSample(m_right[i] * gain);
        }
        out += 2 * n;
        frames -= n;
    }
}

void MidiSynth::render(std::int16_t* interleaved, std::size_t frames)
{
    std::lock_guard guard(m_host->lock);
    std::size_t done = 0;
    while (done < frames) {
        if (m_mode == Mode::Stopped || m_mode == Mode::Paused)
            break;
        std::size_t chunk = frames - done;
        if (m_mode == Mode::Playing) {
            while (m_nextEvent < m_eventFrames.size() && m_eventFrames[m_nextEvent] <= m_position)
                dispatch(m_song->events[m_nextEvent++]);
            if (m_position >= m_lengthFrames) {
                // End of a pass. A song of no length never repeats, or it would never advance.
                if (++m_passesDone < m_playCount && m_lengthFrames > 0) {
                    m_position = 0;
                    m_nextEvent = 0;
                    continue;
                }
                m_mode = Mode::Ending;
                m_quietFrames = 0;
            } else {
                chunk = std::min<std::uint64_t>(chunk, m_lengthFrames - m_position);
                if (m_nextEvent < m_eventFrames.size())
                    chunk = std::min<std::uint64_t>(chunk, m_eventFrames[m_nextEvent] - m_position);
            }
        }
        synthesize(interleaved + 2 * done, chunk);
        done += chunk;
        if (m_mode == Mode::Playing) {
            m_position += chunk;
        } else if (fluid_synth_get_active_voice_count(m_synth->synth) == 0) {
            m_quietFrames += chunk;
            if (m_quietFrames >= std::uint64_t(kTailSeconds * m_sampleRate))
                m_mode = Mode::Stopped;
        } else {
            m_quietFrames = 0;
        }
    }
    std::fill(interleaved + 2 * done, interleaved + 2 * frames, std::int16_t(0));
}

} // namespace platform
