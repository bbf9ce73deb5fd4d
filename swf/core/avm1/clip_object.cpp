#include "swf/core/avm1/clip_object.h"

#include <array>

#include "swf/core/avm1/interpreter.h"

namespace swf::avm1 {

namespace {

constexpr std::array<const char*, kClipPropertyCount> kNames = {
    "_x", "_y", "_xscale", "_yscale", "_currentframe", "_totalframes", "_alpha", "_visible",
    "_width", "_height", "_rotation", "_target", "_framesloaded", "_name", "_droptarget", "_url",
    "_highquality", "_focusrect", "_soundbuftime", "_quality", "_xmouse", "_ymouse"};

}  // namespace

std::optional<ClipProperty> clip_property_by_name(std::string_view name)
{
    if (name.empty() || name[0] != '_') return std::nullopt;
    for (size_t i = 0; i < kNames.size(); ++i)
        if (equals_ignore_case(name, kNames[i])) return static_cast<ClipProperty>(i);
    return std::nullopt;
}

const char* clip_property_name(ClipProperty p) { return kNames[static_cast<size_t>(p)]; }

bool ClipObject::get_special(Interpreter& in, std::string_view name, Value& out)
{
    DisplayTree* tree = in.display();
    if (!tree || !tree->alive(clip)) return false;
    if (auto p = clip_property_by_name(name)) {
        out = tree->get_property(clip, *p);
        if (*p == ClipProperty::Target && out.is_string()) out = in.clip_target_path(clip, true);
        return true;
    }
    if (equals_ignore_case(name, "_parent")) {
        ClipId parent = tree->parent(clip);
        out = parent ? Value(in.clip_object(parent)) : Value();
        return true;
    }
    if (equals_ignore_case(name, "_root")) {
        ClipId c = clip;
        for (int i = 0; i < 1000 && tree->parent(c); ++i) c = tree->parent(c);
        out = in.clip_object(c);
        return true;
    }
    if (Property* own = props_.find(name, in.case_sensitive()); own && own->alive) return false;
    if (ClipId child = tree->child_by_name(clip, name, in.case_sensitive())) {
        out = in.clip_object(child);
        return true;
    }
    return false;
}

bool ClipObject::set_special(Interpreter& in, std::string_view name, const Value& v)
{
    DisplayTree* tree = in.display();
    if (!tree || !tree->alive(clip)) return false;
    auto p = clip_property_by_name(name);
    if (!p) return false;
    switch (*p) {
    case ClipProperty::Target:
    case ClipProperty::CurrentFrame:
    case ClipProperty::TotalFrames:
    case ClipProperty::FramesLoaded:
    case ClipProperty::DropTarget:
    case ClipProperty::Url:
    case ClipProperty::XMouse:
    case ClipProperty::YMouse:
        break;  // read-only
    default:
        tree->set_property(clip, *p, v);
        break;
    }
    return true;
}

void ClipObject::special_keys(Interpreter& in, std::vector<std::string>& out)
{
    // Named children are listed after the variables, the highest depth first.
    DisplayTree* tree = in.display();
    if (!tree || !tree->alive(clip)) return;
    for (const std::string& name : tree->child_names(clip)) out.push_back(name);
}

}  // namespace swf::avm1
