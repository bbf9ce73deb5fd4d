#pragma once

#include <cstdint>
#include <vector>

#include "swf/parser/movie.h"

namespace swf {

enum class SoundFormat : std::uint8_t {
    PcmNativeEndian = 0, Adpcm = 1, Mp3 = 2, PcmLittleEndian = 3, Nellymoser16k = 4, Nellymoser8k = 5,
    Nellymoser = 6, Speex = 11,
};

struct SoundEnvelopePoint {
    std::uint32_t position44 = 0; // in 44.1 kHz samples
    std::uint16_t left = 0, right = 0; // 0..32768
};

struct SoundInfo {
    bool sync_stop = false, sync_no_multiple = false;
    bool has_in_point = false, has_out_point = false, has_loops = false;
    std::uint32_t in_point = 0, out_point = 0;
    std::uint16_t loop_count = 1;
    std::vector<SoundEnvelopePoint> envelope;
};

struct DefineSound {
    std::uint16_t id = 0;
    SoundFormat format = SoundFormat::PcmLittleEndian;
    std::uint32_t rate = 5512; // 5512, 11025, 22050 or 44100 Hz
    bool sixteen_bit = true;
    bool stereo = false;
    std::uint32_t sample_count = 0; // per channel
    Bytes data;
};

struct StartSound {
    std::uint16_t id = 0;
    SoundInfo info;
};

struct SoundStreamHead {
    std::uint32_t playback_rate = 5512;
    bool playback_sixteen_bit = true, playback_stereo = false;
    SoundFormat format = SoundFormat::PcmLittleEndian;
    std::uint32_t rate = 5512;
    bool sixteen_bit = true, stereo = false;
    std::uint16_t samples_per_block = 0;
    std::int16_t latency_seek = 0; // MP3 only
};

std::uint32_t sound_rate(unsigned code); // the 2-bit rate code in Hz
SoundInfo read_sound_info(Reader& r);
bool decode_define_sound(const Tag& tag, DefineSound& out);
bool decode_start_sound(const Tag& tag, StartSound& out);
bool decode_sound_stream_head(const Tag& tag, SoundStreamHead& out); // both versions
bool decode_sound_stream_block(const Tag& tag, Bytes& data);

} // namespace swf
