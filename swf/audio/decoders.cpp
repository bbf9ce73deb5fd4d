#include "swf/audio/decoders.h"

#include <algorithm>

#include "swf/audio/adpcm.h"

namespace swf::audio {
namespace {

// The most one stream block may hold: four seconds at 44.1 kHz.
constexpr std::size_t kMaxBlockFrames = 44100 * 4;

std::uint32_t codec_rate(SoundFormat format, std::uint32_t declared)
{
    switch (format) {
    case SoundFormat::Nellymoser16k:
    case SoundFormat::Speex: return 16000;
    case SoundFormat::Nellymoser8k: return 8000;
    default: return declared;
    }
}

bool silent_codec(SoundFormat format)
{
    return format == SoundFormat::Nellymoser16k || format == SoundFormat::Nellymoser8k
           || format == SoundFormat::Nellymoser || format == SoundFormat::Speex;
}

PcmSound silence(std::uint32_t rate, std::size_t frames)
{
    PcmSound out;
    out.rate = rate;
    out.samples.assign(frames, 0);
    return out;
}

} // namespace

std::vector<std::int16_t> decode_pcm(Bytes data, bool sixteen_bit, int channels, std::size_t max_frames)
{
    std::size_t width = sixteen_bit ? 2 : 1;
    std::size_t frames = std::min(max_frames, data.size() / (width * std::size_t(channels)));
    std::vector<std::int16_t> out(frames * std::size_t(channels));
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = sixteen_bit ? static_cast<std::int16_t>(data[2 * i] | (data[2 * i + 1] << 8))
                             : static_cast<std::int16_t>((data[i] - 128) * 256);
    return out;
}

PcmSound decode_sound(const DefineSound& sound)
{
    PcmSound out;
    out.rate = codec_rate(sound.format, sound.rate);
    out.channels = sound.stereo ? 2 : 1;
    std::size_t wanted = std::min<std::size_t>(sound.sample_count, kMaxSoundFrames);
    switch (sound.format) {
    case SoundFormat::PcmNativeEndian:
    case SoundFormat::PcmLittleEndian:
        out.samples = decode_pcm(sound.data, sound.sixteen_bit, out.channels, wanted);
        break;
    case SoundFormat::Adpcm:
        out.samples = decode_adpcm(sound.data, out.channels, wanted);
        break;
    case SoundFormat::Mp3: {
        // The data opens with the encoder's seek (latency) count, then the frames.
        if (sound.data.size() < 2)
            break;
        Mp3Decoder mp3;
        mp3.decode(sound.data.subspan(2), out, wanted);
        break;
    }
    default:
        if (silent_codec(sound.format))
            out = silence(out.rate, std::min(wanted, sound.data.size() * 16));
        break;
    }
    return out;
}

StreamDecoder::StreamDecoder(const SoundStreamHead& head) : m_head(head)
{
    if (head.format == SoundFormat::Mp3)
        m_mp3 = std::make_unique<Mp3Decoder>();
}

PcmSound StreamDecoder::decode_block(Bytes block, bool first)
{
    PcmSound out;
    out.rate = codec_rate(m_head.format, m_head.rate);
    out.channels = m_head.stereo ? 2 : 1;
    std::size_t wanted = m_head.samples_per_block ? m_head.samples_per_block : kMaxBlockFrames;
    switch (m_head.format) {
    case SoundFormat::PcmNativeEndian:
    case SoundFormat::PcmLittleEndian:
        out.samples = decode_pcm(block, m_head.sixteen_bit, out.channels, kMaxBlockFrames);
        break;
    case SoundFormat::Adpcm:
        out.samples = decode_adpcm(block, out.channels, wanted);
        break;
    case SoundFormat::Mp3: {
        // Samples in this block (u16), samples to skip when playback starts here (s16), frames.
        Reader r(block);
        r.u16();
        std::int16_t seek = r.s16();
        if (!r.ok())
            break;
        m_mp3->decode(r.rest(), out, kMaxBlockFrames);
        if (first && seek > 0) {
            std::size_t skip = std::min(out.samples.size(), std::size_t(seek) * std::size_t(out.channels));
            out.samples.erase(out.samples.begin(), out.samples.begin() + std::ptrdiff_t(skip));
        }
        break;
    }
    default:
        if (silent_codec(m_head.format) && !block.empty())
            out = silence(out.rate, std::min(wanted, block.size() * 16));
        break;
    }
    return out;
}

} // namespace swf::audio
