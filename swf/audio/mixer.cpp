#include "swf/audio/mixer.h"

#include <algorithm>

namespace swf::audio {
namespace {

constexpr std::uint64_t kOne = std::uint64_t(1) << 32;

// Twice the rate, so that 5512.5 Hz is whole.
std::uint64_t double_rate(std::uint32_t rate)
{
    return rate == 5512 ? 11025 : std::uint64_t(rate) * 2;
}

std::size_t source_frames(std::uint32_t position44, std::uint32_t rate)
{
    return static_cast<std::size_t>(std::uint64_t(position44) * double_rate(rate) / (2 * kOutputRate));
}

std::int32_t interpolate(std::int32_t a, std::int32_t b, std::uint64_t fraction)
{
    return a + static_cast<std::int32_t>((std::int64_t(b - a) * std::int64_t(fraction)) >> 32);
}

template <typename Gain>
void accumulate(std::int32_t* at, std::int32_t left, std::int32_t right, const Gain& g)
{
    if (g.identity) {
        at[0] += left;
        at[1] += right;
    } else {
        at[0] += static_cast<std::int32_t>(g.l_from_l * left + g.l_from_r * right);
        at[1] += static_cast<std::int32_t>(g.r_from_l * left + g.r_from_r * right);
    }
}

} // namespace

std::uint64_t resample_step(std::uint32_t rate)
{
    return (double_rate(rate) << 32) / (2 * kOutputRate);
}

void Mixer::start(std::shared_ptr<const PcmSound> sound, const SoundInfo& info, std::uint64_t owner)
{
    if (!sound || sound->channels < 1 || sound->channels > 2 || sound->rate == 0)
        return;
    std::lock_guard lock(m_mutex);
    auto same = [&](const Voice& v) { return v.sound == sound; };
    if (info.sync_stop) {
        std::erase_if(m_voices, same);
        return;
    }
    if (info.sync_no_multiple && std::any_of(m_voices.begin(), m_voices.end(), same))
        return;
    Voice v;
    v.owner = owner;
    v.end = sound->frames();
    if (info.has_out_point)
        v.end = std::min(v.end, source_frames(info.out_point, sound->rate));
    if (info.has_in_point)
        v.begin = std::min(v.end, source_frames(info.in_point, sound->rate));
    if (v.begin >= v.end)
        return;
    v.position = std::uint64_t(v.begin) << 32;
    v.step = resample_step(sound->rate);
    v.loops_left = std::max<unsigned>(1, info.has_loops ? info.loop_count : 1);
    v.envelope = info.envelope;
    std::stable_sort(v.envelope.begin(), v.envelope.end(),
                     [](const SoundEnvelopePoint& a, const SoundEnvelopePoint& b) { return a.position44 < b.position44; });
    v.time44 = info.has_in_point ? info.in_point : 0;
    v.sound = std::move(sound);
    if (m_voices.size() >= kMaxVoices)
        m_voices.erase(m_voices.begin());
    m_voices.push_back(std::move(v));
}

void Mixer::stop(const PcmSound* sound)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_voices, [&](const Voice& v) { return v.sound.get() == sound; });
}

bool Mixer::playing(const PcmSound* sound) const
{
    std::lock_guard lock(m_mutex);
    return std::any_of(m_voices.begin(), m_voices.end(), [&](const Voice& v) { return v.sound.get() == sound; });
}

void Mixer::stream_append(std::uint64_t id, const PcmSound& pcm, bool restart)
{
    if (pcm.channels < 1 || pcm.channels > 2 || pcm.rate == 0)
        return;
    std::lock_guard lock(m_mutex);
    Stream& s = m_streams[id];
    if (restart || s.rate != pcm.rate || s.channels != pcm.channels) {
        s = Stream{};
        s.rate = pcm.rate;
        s.channels = pcm.channels;
        s.step = resample_step(pcm.rate);
    }
    s.samples.insert(s.samples.end(), pcm.samples.begin(), pcm.samples.end());
    std::size_t limit = std::max(3 * pcm.frames(), std::size_t(pcm.rate / 5)) * std::size_t(pcm.channels);
    if (s.samples.size() - s.read > limit) {
        s.read = s.samples.size() - limit;
        s.fraction = 0;
    }
}

void Mixer::stream_stop(std::uint64_t id)
{
    std::lock_guard lock(m_mutex);
    m_streams.erase(id);
}

std::vector<std::uint64_t> Mixer::streams() const
{
    std::lock_guard lock(m_mutex);
    std::vector<std::uint64_t> ids;
    for (const auto& [id, s] : m_streams)
        ids.push_back(id);
    return ids;
}

void Mixer::set_transform(std::uint64_t owner, const std::array<double, 4>& matrix)
{
    std::lock_guard lock(m_mutex);
    m_transforms[owner] = matrix;
}

void Mixer::stop_all()
{
    std::lock_guard lock(m_mutex);
    m_voices.clear();
    m_streams.clear();
}

void Mixer::reset()
{
    std::lock_guard lock(m_mutex);
    m_voices.clear();
    m_streams.clear();
    m_transforms.clear();
}

Mixer::Gain Mixer::gain(std::uint64_t owner) const
{
    Gain g;
    auto then = [&](std::uint64_t key) {
        auto it = m_transforms.find(key);
        if (it == m_transforms.end())
            return;
        const auto& [ll, lr, rr, rl] = it->second;
        Gain next;
        next.identity = false;
        next.l_from_l = (ll * g.l_from_l + lr * g.r_from_l) / 100;
        next.l_from_r = (ll * g.l_from_r + lr * g.r_from_r) / 100;
        next.r_from_l = (rl * g.l_from_l + rr * g.r_from_l) / 100;
        next.r_from_r = (rl * g.l_from_r + rr * g.r_from_r) / 100;
        g = next;
    };
    if (owner != 0)
        then(owner);
    then(0);
    return g;
}

std::size_t Mixer::voice_count() const
{
    std::lock_guard lock(m_mutex);
    return m_voices.size();
}

bool Mixer::mix_voice(Voice& v, const Gain& gain, std::int32_t* acc, std::size_t frames)
{
    const PcmSound& sound = *v.sound;
    const std::int16_t* data = sound.samples.data();
    const int channels = sound.channels;
    const std::size_t points = v.envelope.size();
    for (std::size_t i = 0; i < frames; ++i) {
        std::size_t index = static_cast<std::size_t>(v.position >> 32);
        if (index >= v.end) {
            if (v.loops_left <= 1)
                return false;
            --v.loops_left;
            v.position -= std::uint64_t(v.end - v.begin) << 32;
            index = static_cast<std::size_t>(v.position >> 32);
        }
        std::uint64_t fraction = v.position & (kOne - 1);
        std::size_t next = index + 1 < v.end ? index + 1 : index;
        std::int32_t left = interpolate(data[index * channels], data[next * channels], fraction);
        std::int32_t right = channels == 2 ? interpolate(data[index * 2 + 1], data[next * 2 + 1], fraction) : left;
        if (points > 0) {
            while (v.envelope_at + 1 < points && v.envelope[v.envelope_at + 1].position44 <= v.time44)
                ++v.envelope_at;
            const SoundEnvelopePoint& a = v.envelope[v.envelope_at];
            std::int64_t gain_left = a.left, gain_right = a.right;
            if (v.envelope_at + 1 < points && v.time44 > a.position44) {
                const SoundEnvelopePoint& b = v.envelope[v.envelope_at + 1];
                std::int64_t span = b.position44 - a.position44, into = std::int64_t(v.time44 - a.position44);
                gain_left += (std::int64_t(b.left) - a.left) * into / span;
                gain_right += (std::int64_t(b.right) - a.right) * into / span;
            }
            left = static_cast<std::int32_t>(left * gain_left >> 15);
            right = static_cast<std::int32_t>(right * gain_right >> 15);
        }
        accumulate(acc + 2 * i, left, right, gain);
        v.position += v.step;
        ++v.time44;
    }
    return true;
}

void Mixer::mix_stream(Stream& s, const Gain& gain, std::int32_t* acc, std::size_t frames)
{
    const std::size_t channels = std::size_t(s.channels);
    for (std::size_t i = 0; i < frames; ++i) {
        if (s.read + channels > s.samples.size())
            break;
        std::size_t available = (s.samples.size() - s.read) / channels;
        const std::int16_t* at = s.samples.data() + s.read;
        const std::int16_t* next = available > 1 ? at + channels : at;
        std::int32_t left = interpolate(at[0], next[0], s.fraction);
        std::int32_t right = channels == 2 ? interpolate(at[1], next[1], s.fraction) : left;
        accumulate(acc + 2 * i, left, right, gain);
        s.fraction += s.step;
        s.read += static_cast<std::size_t>(s.fraction >> 32) * channels;
        s.fraction &= kOne - 1;
    }
    s.read = std::min(s.read, s.samples.size());
    if (s.read > s.samples.size() / 2) {
        s.samples.erase(s.samples.begin(), s.samples.begin() + std::ptrdiff_t(s.read));
        s.read = 0;
    }
}

void Mixer::mix(std::int16_t* out, std::size_t frames)
{
    std::lock_guard lock(m_mutex);
    m_acc.assign(frames * 2, 0);
    std::erase_if(m_voices, [&](Voice& v) { return !mix_voice(v, gain(v.owner), m_acc.data(), frames); });
    for (auto& [id, s] : m_streams)
        mix_stream(s, gain(id), m_acc.data(), frames);
    for (std::size_t i = 0; i < frames * 2; ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(m_acc[i], -32768, 32767));
}

} // namespace swf::audio
