#pragma once

#include <cstddef>

#include "swf/audio/pcm_sound.h"
#include "swf/parser/reader.h"

struct mpg123_handle_struct;

namespace swf::audio {

// MPEG audio frames to 16-bit samples through libmpg123, fed from memory. One decoder per
// sound or stream: frames fed later continue where the earlier ones ended.
class Mp3Decoder {
public:
    Mp3Decoder();
    ~Mp3Decoder();
    Mp3Decoder(const Mp3Decoder&) = delete;
    Mp3Decoder& operator=(const Mp3Decoder&) = delete;

    // Decodes `data` and appends to `out`, whose rate and channels are set by the first frame
    // decoded; adds at most `max_frames` frames. Damaged frames are skipped. False when the
    // library could not be set up or the stream changed its channel count midway.
    bool decode(Bytes data, PcmSound& out, std::size_t max_frames);

private:
    mpg123_handle_struct* m_handle = nullptr;
    long m_rate = 0;
    int m_channels = 0;
};

} // namespace swf::audio
