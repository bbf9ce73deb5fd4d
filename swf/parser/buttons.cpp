#include "swf/parser/buttons.h"

#include "swf/parser/tag_codes.h"

namespace swf {

static bool read_button_records(Reader& r, bool with_cxform, std::vector<ButtonRecord>& out)
{
    while (r.ok()) {
        std::uint8_t flags = r.u8();
        if (flags == 0)
            return r.ok();
        ButtonRecord rec;
        rec.states = flags & 0x0F;
        rec.character = r.u16();
        rec.depth = r.u16();
        rec.matrix = read_matrix(r);
        if (with_cxform) {
            rec.color_transform = read_cxform(r, true);
            // Filters and blend modes (flags 0x10, 0x20) belong to version 8 content.
            if (flags & 0x10) {
                r.fail();
                return false;
            }
            if (flags & 0x20)
                r.u8();
        }
        if (r.ok())
            out.push_back(rec);
    }
    return false;
}

bool decode_define_button(const Tag& tag, DefineButton& out)
{
    Reader r(tag.body);
    out.id = r.u16();
    if (tag.code == static_cast<std::uint16_t>(TagCode::DefineButton)) {
        out.version = 1;
        if (!read_button_records(r, false, out.records))
            return false;
        out.actions.push_back({OverDownToOverUp, 0, r.rest()});
        return r.ok();
    }
    if (tag.code != static_cast<std::uint16_t>(TagCode::DefineButton2))
        return false;
    out.version = 2;
    out.track_as_menu = r.u8() & 0x01;
    std::size_t offset_position = r.position();
    std::uint16_t action_offset = r.u16();
    if (!read_button_records(r, true, out.records))
        return false;
    if (action_offset == 0)
        return true;
    std::size_t next = offset_position + action_offset;
    if (next > tag.body.size())
        return false;
    while (next < tag.body.size()) {
        Reader cond(tag.body.subspan(next));
        std::uint16_t size = cond.u16();
        std::uint16_t flags = cond.u16();
        ButtonAction action;
        action.conditions = flags & 0x01FF;
        action.key_code = static_cast<std::uint8_t>(flags >> 9);
        if (size == 0) {
            action.actions = cond.rest();
        } else {
            if (size < 4 || size > tag.body.size() - next)
                return false;
            action.actions = cond.bytes(size - 4u);
        }
        if (!cond.ok())
            return false;
        out.actions.push_back(action);
        if (size == 0)
            break;
        next += size;
    }
    return true;
}

bool decode_define_button_cxform(const Tag& tag, DefineButtonCxform& out)
{
    Reader r(tag.body);
    out.id = r.u16();
    out.color_transform = read_cxform(r, false);
    return tag.code == static_cast<std::uint16_t>(TagCode::DefineButtonCxform) && r.ok();
}

bool decode_define_button_sound(const Tag& tag, DefineButtonSound& out)
{
    Reader r(tag.body);
    out.id = r.u16();
    for (int i = 0; i < 4 && r.ok(); ++i) {
        out.sound[i] = r.u16();
        if (out.sound[i] != 0)
            out.info[i] = read_sound_info(r);
    }
    return tag.code == static_cast<std::uint16_t>(TagCode::DefineButtonSound) && r.ok();
}

} // namespace swf
