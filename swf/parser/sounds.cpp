#include "swf/parser/sounds.h"

#include "swf/parser/tag_codes.h"

namespace swf {

std::uint32_t sound_rate(unsigned code)
{
    static constexpr std::uint32_t rates[4] = {5512, 11025, 22050, 44100};
    return rates[code & 3];
}

SoundInfo read_sound_info(Reader& r)
{
    SoundInfo info;
    r.ub(2);
    info.sync_stop = r.flag();
    info.sync_no_multiple = r.flag();
    bool has_envelope = r.flag();
    info.has_loops = r.flag();
    info.has_out_point = r.flag();
    info.has_in_point = r.flag();
    if (info.has_in_point)
        info.in_point = r.u32();
    if (info.has_out_point)
        info.out_point = r.u32();
    if (info.has_loops)
        info.loop_count = r.u16();
    if (has_envelope) {
        std::uint8_t points = r.u8();
        for (unsigned i = 0; i < points && r.ok(); ++i) {
            SoundEnvelopePoint p;
            p.position44 = r.u32();
            p.left = r.u16();
            p.right = r.u16();
            info.envelope.push_back(p);
        }
    }
    return info;
}

bool decode_define_sound(const Tag& tag, DefineSound& out)
{
    Reader r(tag.body);
    out.id = r.u16();
    out.format = static_cast<SoundFormat>(r.ub(4));
    out.rate = sound_rate(r.ub(2));
    out.sixteen_bit = r.flag();
    out.stereo = r.flag();
    out.sample_count = r.u32();
    out.data = r.rest();
    return tag.code == static_cast<std::uint16_t>(TagCode::DefineSound) && r.ok();
}

bool decode_start_sound(const Tag& tag, StartSound& out)
{
    Reader r(tag.body);
    out.id = r.u16();
    out.info = read_sound_info(r);
    return tag.code == static_cast<std::uint16_t>(TagCode::StartSound) && r.ok();
}

bool decode_sound_stream_head(const Tag& tag, SoundStreamHead& out)
{
    if (tag.code != static_cast<std::uint16_t>(TagCode::SoundStreamHead)
        && tag.code != static_cast<std::uint16_t>(TagCode::SoundStreamHead2))
        return false;
    Reader r(tag.body);
    r.ub(4);
    out.playback_rate = sound_rate(r.ub(2));
    out.playback_sixteen_bit = r.flag();
    out.playback_stereo = r.flag();
    out.format = static_cast<SoundFormat>(r.ub(4));
    out.rate = sound_rate(r.ub(2));
    out.sixteen_bit = r.flag();
    out.stereo = r.flag();
    out.samples_per_block = r.u16();
    if (out.format == SoundFormat::Mp3 && r.remaining() >= 2)
        out.latency_seek = r.s16();
    return r.ok();
}

bool decode_sound_stream_block(const Tag& tag, Bytes& data)
{
    data = tag.body;
    return tag.code == static_cast<std::uint16_t>(TagCode::SoundStreamBlock);
}

} // namespace swf
