#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "swf/parser/reader.h"

namespace swf::audio {

// Decodes the format's ADPCM data: a 2-bit code size (2 to 5 bits), then packets of up to 4096
// samples per channel, each opening with every channel's first sample and step index. Gives at
// most `max_frames` frames, interleaved when stereo; damaged data ends the sound early.
std::vector<std::int16_t> decode_adpcm(Bytes data, int channels, std::size_t max_frames);

} // namespace swf::audio
