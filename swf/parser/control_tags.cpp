#include "swf/parser/control_tags.h"

#include "swf/parser/tag_codes.h"

namespace swf {
namespace {

bool is(const Tag& tag, TagCode code) { return tag.code == static_cast<std::uint16_t>(code); }

bool read_clip_actions(Reader& r, std::uint8_t version, PlaceObject& out)
{
    bool wide = version >= 6;
    r.u16(); // reserved
    out.all_clip_events = wide ? r.u32() : r.u16();
    while (r.ok()) {
        std::uint32_t events = wide ? r.u32() : r.u16();
        if (events == 0)
            break;
        ClipAction action;
        action.events = events;
        std::uint32_t size = r.u32();
        Reader body = r.sub(size);
        if (wide && (events & ClipKeyPress))
            action.key_code = body.u8();
        action.actions = body.rest();
        out.clip_actions.push_back(action);
    }
    return r.ok();
}

} // namespace

bool decode_place_object(const Tag& tag, std::uint8_t version, PlaceObject& out)
{
    Reader r(tag.body);
    if (is(tag, TagCode::PlaceObject)) {
        out.character = r.u16();
        out.depth = r.u16();
        out.matrix = read_matrix(r);
        if (!r.at_end())
            out.color_transform = read_cxform(r, false);
        return r.ok();
    }
    if (!is(tag, TagCode::PlaceObject2))
        return false;
    std::uint8_t flags = r.u8();
    out.depth = r.u16();
    out.move = flags & 0x01;
    if (flags & 0x02)
        out.character = r.u16();
    if (flags & 0x04)
        out.matrix = read_matrix(r);
    if (flags & 0x08)
        out.color_transform = read_cxform(r, true);
    if (flags & 0x10)
        out.ratio = r.u16();
    if (flags & 0x20)
        out.name = r.string();
    if (flags & 0x40)
        out.clip_depth = r.u16();
    if ((flags & 0x80) && !read_clip_actions(r, version, out))
        return false;
    return r.ok();
}

bool decode_remove_object(const Tag& tag, RemoveObject& out)
{
    Reader r(tag.body);
    if (is(tag, TagCode::RemoveObject))
        out.character = r.u16();
    else if (!is(tag, TagCode::RemoveObject2))
        return false;
    out.depth = r.u16();
    return r.ok();
}

bool decode_background_color(const Tag& tag, Rgba& out)
{
    Reader r(tag.body);
    out = read_rgb(r);
    return is(tag, TagCode::SetBackgroundColor) && r.ok();
}

bool decode_frame_label(const Tag& tag, std::string_view& name, bool* named_anchor)
{
    Reader r(tag.body);
    name = r.string();
    if (named_anchor)
        *named_anchor = !r.at_end() && r.u8() == 1;
    return is(tag, TagCode::FrameLabel) && r.ok();
}

bool decode_do_action(const Tag& tag, Bytes& actions)
{
    actions = tag.body;
    return is(tag, TagCode::DoAction);
}

bool decode_do_init_action(const Tag& tag, DoInitAction& out)
{
    Reader r(tag.body);
    out.sprite_id = r.u16();
    out.actions = r.rest();
    return is(tag, TagCode::DoInitAction) && r.ok();
}

static void read_assets(Reader& r, std::vector<ExportedAsset>& out)
{
    std::uint16_t count = r.u16();
    for (unsigned i = 0; i < count && r.ok(); ++i) {
        ExportedAsset a;
        a.id = r.u16();
        a.name = r.string();
        if (r.ok())
            out.push_back(a);
    }
}

bool decode_export_assets(const Tag& tag, std::vector<ExportedAsset>& out)
{
    Reader r(tag.body);
    read_assets(r, out);
    return is(tag, TagCode::ExportAssets) && r.ok();
}

bool decode_import_assets(const Tag& tag, ImportAssets& out)
{
    Reader r(tag.body);
    out.url = r.string();
    read_assets(r, out.assets);
    return is(tag, TagCode::ImportAssets) && r.ok();
}

bool decode_password(const Tag& tag, std::string_view& password)
{
    Reader r(tag.body);
    password = {};
    if (is(tag, TagCode::EnableDebugger2)) {
        r.u16();
        password = r.string();
    } else if (is(tag, TagCode::Protect) || is(tag, TagCode::EnableDebugger)) {
        // Protect may be empty; both may carry a reserved 16-bit field before the string.
        if (r.remaining() >= 2 && tag.body[0] == 0 && tag.body[1] == 0 && tag.body.size() > 2)
            r.u16();
        if (!r.at_end())
            password = r.string();
    } else {
        return false;
    }
    return r.ok();
}

bool decode_script_limits(const Tag& tag, ScriptLimits& out)
{
    Reader r(tag.body);
    out.max_recursion_depth = r.u16();
    out.timeout_seconds = r.u16();
    return is(tag, TagCode::ScriptLimits) && r.ok();
}

bool decode_set_tab_index(const Tag& tag, SetTabIndex& out)
{
    Reader r(tag.body);
    out.depth = r.u16();
    out.tab_index = r.u16();
    return is(tag, TagCode::SetTabIndex) && r.ok();
}

bool decode_define_video_stream(const Tag& tag, DefineVideoStream& out)
{
    Reader r(tag.body);
    out.id = r.u16();
    out.frame_count = r.u16();
    out.width = r.u16();
    out.height = r.u16();
    r.ub(4);
    out.deblocking = static_cast<std::uint8_t>(r.ub(3));
    out.smoothing = r.flag();
    out.codec = r.u8();
    return is(tag, TagCode::DefineVideoStream) && r.ok();
}

bool decode_video_frame(const Tag& tag, VideoFrame& out)
{
    Reader r(tag.body);
    out.stream_id = r.u16();
    out.frame = r.u16();
    out.data = r.rest();
    return is(tag, TagCode::VideoFrame) && r.ok();
}

bool decode_define_sprite(const Tag& tag, DefineSprite& out, std::vector<std::string>* warnings)
{
    Reader r(tag.body);
    out.id = r.u16();
    out.frame_count = r.u16();
    if (!is(tag, TagCode::DefineSprite) || !r.ok())
        return false;
    out.tags = read_tags(r.rest(), warnings);
    return true;
}

} // namespace swf
