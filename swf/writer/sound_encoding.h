#pragma once

#include <cstdint>
#include <vector>

namespace swf {

// Samples as the uncompressed formats store them: 16-bit little-endian, or 8-bit unsigned.
std::vector<std::uint8_t> pcm_bytes(const std::vector<std::int16_t>& samples, bool sixteen_bit);

// The format's ADPCM of `samples` (interleaved when stereo) with 2 to 5-bit codes: the code
// size, then packets of 4096 samples per channel, each opening with the exact sample.
std::vector<std::uint8_t> encode_adpcm(const std::vector<std::int16_t>& samples, bool stereo, int bits);

// One MPEG audio frame of an MP3 file.
struct Mp3Frame {
    std::vector<std::uint8_t> bytes;
    std::uint32_t samples = 0; // per channel
    std::uint32_t rate = 0;
};

// Splits MPEG layer III data into its frames (ID3 tags and damaged bytes are skipped).
std::vector<Mp3Frame> mp3_frames(const std::vector<std::uint8_t>& data);

} // namespace swf
