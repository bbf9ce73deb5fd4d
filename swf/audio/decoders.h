#pragma once

#include <memory>

#include "swf/audio/mp3_decoder.h"
#include "swf/audio/pcm_sound.h"
#include "swf/parser/sounds.h"

namespace swf::audio {

// Uncompressed samples, 8-bit unsigned or 16-bit little-endian (both PCM formats store them
// so), at most `max_frames` frames.
std::vector<std::int16_t> decode_pcm(Bytes data, bool sixteen_bit, int channels, std::size_t max_frames);

// The samples of a DefineSound, no more than it declares. Nellymoser and Speex have no decoder
// here: they give silence of the declared length. Damaged data gives a shorter sound.
PcmSound decode_sound(const DefineSound& sound);

// The samples of one clip's stream, block by block, in the format of its SoundStreamHead.
class StreamDecoder {
public:
    explicit StreamDecoder(const SoundStreamHead& head);

    const SoundStreamHead& head() const { return m_head; }
    // One SoundStreamBlock. `first` when the stream starts (or starts again) here: an MP3
    // block's seek samples are skipped then.
    PcmSound decode_block(Bytes block, bool first);

private:
    SoundStreamHead m_head;
    std::unique_ptr<Mp3Decoder> m_mp3;
};

} // namespace swf::audio
