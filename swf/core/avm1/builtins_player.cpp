// The player's objects: Stage, Key, Mouse, System, Selection, Color, Sound, TextSnapshot,
// AsBroadcaster, and the TextField properties.
#include <algorithm>
#include <cmath>

#include "swf/core/avm1/clip_object.h"
#include "swf/core/avm1/frame.h"
#include "swf/core/avm1/text.h"

namespace swf::avm1 {

namespace {

// ---- AsBroadcaster ----

ArrayObject* listeners_of(Interpreter& in, Object* obj)
{
    return dynamic_cast<ArrayObject*>(in.get(obj, "_listeners").object());
}

Value broadcaster_add(Interpreter& in, const CallArgs& a)
{
    ArrayObject* list = listeners_of(in, a.this_obj);
    if (!list) return false;
    for (size_t i = 0; i < list->length(); ++i)
        if (list->at(i).strict_equals(a[0])) return true;
    list->push(a[0]);
    return true;
}

Value broadcaster_remove(Interpreter& in, const CallArgs& a)
{
    ArrayObject* list = listeners_of(in, a.this_obj);
    if (!list) return false;
    auto& elements = list->elements();
    for (size_t i = 0; i < elements.size(); ++i) {
        if (elements[i] && elements[i]->strict_equals(a[0])) {
            elements.erase(elements.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

Value broadcaster_broadcast(Interpreter& in, const CallArgs& a)
{
    ArrayObject* list = listeners_of(in, a.this_obj);
    if (!list || a.size() == 0) return Value();
    std::string method = in.to_string(a[0]);
    std::vector<Value> copy;
    for (size_t i = 0; i < list->length(); ++i) copy.push_back(list->at(i));
    for (const Value& l : copy) {
        Object* obj = l.object();
        if (!obj) continue;
        Value fn = in.get(obj, method);
        if (fn.object() && fn.object()->object_class() == ObjectClass::Function) in.call(fn, obj, a.args.subspan(1));
    }
    return true;
}

void make_broadcaster(Interpreter& in, Object* obj)
{
    obj->define("_listeners", in.new_array());
    add_method(in, obj, "addListener", broadcaster_add);
    add_method(in, obj, "removeListener", broadcaster_remove);
    add_method(in, obj, "broadcastMessage", broadcaster_broadcast);
}

Value broadcaster_initialize(Interpreter& in, const CallArgs& a)
{
    if (Object* obj = a[0].object()) make_broadcaster(in, obj);
    return Value();
}

// ---- Stage ----

Value stage_width(Interpreter& in, const CallArgs&)
{
    if (!in.display()) return Value();
    Rect r = in.display()->stage_rect();
    return r.right - r.left;
}

Value stage_height(Interpreter& in, const CallArgs&)
{
    if (!in.display()) return Value();
    Rect r = in.display()->stage_rect();
    return r.bottom - r.top;
}

void add_getter(Interpreter& in, Object* target, std::string_view name, NativeFn getter, Value bound = Value(),
                uint32_t flags = prop::DontEnum | prop::DontDelete)
{
    FunctionObject* fn = in.new_native(getter, std::string(name));
    fn->bound = std::move(bound);
    Property& p = target->properties().add(name);
    p.getter = fn;
    p.flags = flags;
}

// ---- Key ----

// Key codes of the virtual keys, by the codes the player reports (button key codes).
int virtual_key(int code)
{
    switch (code) {
    case 1: return 37;  // left
    case 2: return 39;  // right
    case 3: return 36;  // home
    case 4: return 35;  // end
    case 5: return 45;  // insert
    case 6: return 46;  // delete
    case 8: return 8;   // backspace
    case 13: return 13; // enter
    case 14: return 38; // up
    case 15: return 40; // down
    case 16: return 33; // page up
    case 17: return 34; // page down
    case 18: return 9;  // tab
    case 19: return 27; // escape
    default: return code >= 'a' && code <= 'z' ? code - 32 : code;
    }
}

int ascii_of(int code)
{
    switch (code) {
    case 8: return 8;
    case 13: return 13;
    case 18: return 9;
    case 19: return 27;
    default: return code >= 32 && code < 256 ? code : 0;
    }
}

Value key_is_down(Interpreter& in, const CallArgs& a)
{
    if (!in.display()) return false;
    int wanted = to_integer_clamped(in.to_number(a[0]));
    for (int code = 1; code < 256; ++code)
        if (in.display()->key_down(code) && virtual_key(code) == wanted) return true;
    return false;
}

Value key_get_code(Interpreter& in, const CallArgs&)
{
    return in.display() ? virtual_key(in.display()->last_key()) : 0;
}

Value key_get_ascii(Interpreter& in, const CallArgs&)
{
    return in.display() ? ascii_of(in.display()->last_key()) : 0;
}

Value key_is_toggled(Interpreter&, const CallArgs&) { return false; }

// ---- Mouse ----

Value mouse_show(Interpreter&, const CallArgs&) { return 0; }

// ---- Selection ----

Value selection_get_focus(Interpreter& in, const CallArgs&)
{
    ClipId focus = in.display() ? in.display()->focus() : 0;
    if (!focus || !in.display()->alive(focus)) return Value(Null{});
    return in.clip_target_path(focus, false);
}

Value selection_set_focus(Interpreter& in, const CallArgs& a)
{
    if (!in.display()) return false;
    if (a[0].is_nullish()) return in.display()->set_focus(0);
    Object* target = a[0].is_object() ? a[0].object() : in.resolve_target(in.to_string(a[0]));
    ClipId clip = in.clip_of(target);
    return clip ? in.display()->set_focus(clip) : false;
}

Value selection_index(Interpreter&, const CallArgs&) { return -1; }

// ---- Color ----

ClipId color_target(Interpreter& in, const CallArgs& a)
{
    Value target = in.get(a.this_obj, "target");
    Object* obj = target.is_object() ? target.object() : in.resolve_target(in.to_string(target));
    ClipId clip = in.clip_of(obj);
    return clip && in.display() && in.display()->alive(clip) ? clip : 0;
}

Value color_ctor(Interpreter& in, const CallArgs& a)
{
    if (a.this_obj) a.this_obj->define("target", a[0], prop::DontEnum | prop::DontDelete | prop::ReadOnly);
    return Value();
}

Value color_set_rgb(Interpreter& in, const CallArgs& a)
{
    ClipId clip = color_target(in, a);
    if (!clip) return Value();
    uint32_t rgb = to_uint32(in.to_number(a[0]));
    std::array<double, 8> t = in.display()->color_transform(clip);
    t[0] = t[2] = t[4] = 0;
    t[1] = (rgb >> 16) & 0xFF;
    t[3] = (rgb >> 8) & 0xFF;
    t[5] = rgb & 0xFF;
    in.display()->set_color_transform(clip, t);
    return Value();
}

Value color_get_rgb(Interpreter& in, const CallArgs& a)
{
    ClipId clip = color_target(in, a);
    if (!clip) return Value();
    std::array<double, 8> t = in.display()->color_transform(clip);
    auto channel = [](double v) { return static_cast<uint32_t>(static_cast<int32_t>(v)) & 0xFF; };
    return static_cast<double>((channel(t[1]) << 16) | (channel(t[3]) << 8) | channel(t[5]));
}

constexpr const char* kTransformKeys[8] = {"ra", "rb", "ga", "gb", "ba", "bb", "aa", "ab"};

Value color_get_transform(Interpreter& in, const CallArgs& a)
{
    ClipId clip = color_target(in, a);
    if (!clip) return Value();
    std::array<double, 8> t = in.display()->color_transform(clip);
    Object* out = in.new_object();
    for (int i = 0; i < 8; ++i) in.set(out, kTransformKeys[i], t[static_cast<size_t>(i)]);
    return out;
}

Value color_set_transform(Interpreter& in, const CallArgs& a)
{
    ClipId clip = color_target(in, a);
    Object* values = a[0].object();
    if (!clip || !values) return Value();
    std::array<double, 8> t = in.display()->color_transform(clip);
    for (int i = 0; i < 8; ++i)
        if (in.has_property(values, kTransformKeys[i])) t[static_cast<size_t>(i)] = in.to_number(in.get(values, kTransformKeys[i]));
    in.display()->set_color_transform(clip, t);
    return Value();
}

// ---- Sound: the values a movie sets are kept and read back, and passed to the host ----

Value sound_ctor(Interpreter& in, const CallArgs& a)
{
    if (!a.this_obj) return Value();
    a.this_obj->define("__target", a[0], prop::DontEnum);
    a.this_obj->define("__volume", 100, prop::DontEnum);
    a.this_obj->define("__pan", 0, prop::DontEnum);
    a.this_obj->define("__transform", Value(), prop::DontEnum);
    return Value();
}

Value sound_field(const CallArgs& a, const std::string& key)
{
    Property* p = a.this_obj ? a.this_obj->properties().find(key, false) : nullptr;
    return p ? p->value : Value();
}

// The clip the Sound was made for; 0 for the whole movie (or a clip that is gone).
ClipId sound_owner(Interpreter& in, const CallArgs& a)
{
    Value target = sound_field(a, "__target");
    if (target.is_undefined() || target.is_null()) return 0;
    Object* obj = target.is_object() ? target.object() : in.resolve_target(in.to_string(target));
    ClipId clip = in.clip_of(obj);
    return clip && in.display() && in.display()->alive(clip) ? clip : 0;
}

// Volume and pan, or the transform set last, as setTransform's ll, lr, rr, rl in percent.
void sound_send_transform(Interpreter& in, const CallArgs& a)
{
    double volume = in.to_number(sound_field(a, "__volume")) / 100;
    std::array<double, 4> m = {100, 0, 100, 0};
    Object* t = sound_field(a, "__transform").object();
    if (t) {
        const char* keys[4] = {"ll", "lr", "rr", "rl"};
        for (int i = 0; i < 4; ++i)
            if (in.has_property(t, keys[i])) m[i] = in.to_number(in.get(t, keys[i]));
    } else {
        double pan = in.to_number(sound_field(a, "__pan"));
        m[0] = pan > 0 ? 100 - pan : 100;
        m[2] = pan < 0 ? 100 + pan : 100;
    }
    for (double& v : m) v = std::isnan(v) ? 0 : v * volume;
    in.host().sound_transform(sound_owner(in, a), m);
}

Value sound_get(Interpreter& in, const CallArgs& a)
{
    return sound_field(a, a.callee->bound.is_string() ? a.callee->bound.string() : std::string());
}

Value sound_set(Interpreter& in, const CallArgs& a)
{
    std::string key = a.callee->bound.is_string() ? a.callee->bound.string() : std::string();
    if (!a.this_obj) return Value();
    double v = in.to_number(a[0]);
    if (std::isnan(v)) return Value();
    a.this_obj->define(key, std::trunc(v), prop::DontEnum);
    // Volume and pan replace a transform set before.
    a.this_obj->define("__transform", Value(), prop::DontEnum);
    sound_send_transform(in, a);
    return Value();
}

Value sound_get_transform(Interpreter& in, const CallArgs& a)
{
    Object* out = in.new_object();
    Property* p = a.this_obj ? a.this_obj->properties().find("__transform", false) : nullptr;
    Object* kept = p ? p->value.object() : nullptr;
    const char* keys[4] = {"ll", "lr", "rr", "rl"};
    double defaults[4] = {100, 0, 100, 0};
    for (int i = 0; i < 4; ++i)
        in.set(out, keys[i], kept && in.has_property(kept, keys[i]) ? in.get(kept, keys[i]) : Value(defaults[i]));
    return out;
}

Value sound_set_transform(Interpreter& in, const CallArgs& a)
{
    if (!a.this_obj || !a[0].is_object()) return Value();
    a.this_obj->define("__transform", a[0], prop::DontEnum);
    sound_send_transform(in, a);
    return Value();
}

Value sound_attach(Interpreter& in, const CallArgs& a)
{
    if (a.this_obj) a.this_obj->define("__attached", in.to_string(a[0]), prop::DontEnum);
    return Value();
}

Value sound_start(Interpreter& in, const CallArgs& a)
{
    Value name = sound_field(a, "__attached");
    if (!name.is_string()) return Value();
    double offset = a.size() > 0 ? in.to_number(a[0]) : 0;
    double loops = a.size() > 1 ? in.to_number(a[1]) : 1;
    in.host().sound_start(sound_owner(in, a), name.string(), std::isnan(offset) ? 0 : offset,
                          std::isnan(loops) ? 1 : int(std::clamp(loops, 1.0, 65535.0)));
    return Value();
}

Value sound_stop(Interpreter& in, const CallArgs& a)
{
    in.host().sound_stop(sound_owner(in, a), a.size() > 0 ? in.to_string(a[0]) : std::string());
    return Value();
}

Value sound_nothing(Interpreter&, const CallArgs&) { return Value(); }
Value sound_zero(Interpreter&, const CallArgs&) { return 0; }

// ---- TextSnapshot (a clip's static text; this player has no text selection) ----

// The static text of the clip a snapshot was taken of, as characters.
std::vector<uint32_t> snapshot_chars(Interpreter& in, const CallArgs& a)
{
    ClipId clip = in.clip_of(in.get(a.this_obj, "__clip").object());
    if (!clip || !in.display() || !in.display()->alive(clip)) return {};
    return decode_chars(in.display()->static_text(clip), 6);
}

Value snapshot_ctor(Interpreter&, const CallArgs&) { return Value(); }

Value snapshot_count(Interpreter& in, const CallArgs& a) { return static_cast<double>(snapshot_chars(in, a).size()); }

Value snapshot_text(Interpreter& in, const CallArgs& a)
{
    std::vector<uint32_t> chars = snapshot_chars(in, a);
    double n = static_cast<double>(chars.size());
    double from = std::clamp(in.to_number(a[0]), 0.0, n);
    double to = a.size() > 1 ? std::clamp(in.to_number(a[1]), from, n) : n;
    if (std::isnan(from)) from = 0;
    if (std::isnan(to)) to = n;
    return encode_chars(chars, static_cast<size_t>(from), static_cast<size_t>(to), 6);
}

Value snapshot_find(Interpreter& in, const CallArgs& a)
{
    std::vector<uint32_t> chars = snapshot_chars(in, a);
    std::vector<uint32_t> needle = decode_chars(in.to_string(a[1]), 6);
    bool case_sensitive = to_boolean(a[2], in.version());
    double start = in.to_number(a[0]);
    size_t from = std::isnan(start) || start < 0 ? 0 : static_cast<size_t>(std::min(start, 1e9));
    auto fold = [&](uint32_t c) { return case_sensitive || c >= 128 ? c : static_cast<uint32_t>(std::tolower(static_cast<int>(c))); };
    in.charge(chars.size());
    for (size_t i = from; i + needle.size() <= chars.size(); ++i) {
        bool match = true;
        for (size_t k = 0; k < needle.size() && match; ++k) match = fold(chars[i + k]) == fold(needle[k]);
        if (match) return static_cast<double>(i);
    }
    return -1;
}

// This player has no text selection: nothing is selected, and selecting does nothing.
Value snapshot_nothing(Interpreter&, const CallArgs&) { return Value(); }
Value snapshot_none_selected(Interpreter&, const CallArgs&) { return false; }
Value snapshot_selected_text(Interpreter&, const CallArgs&) { return std::string(); }
Value snapshot_no_position(Interpreter&, const CallArgs&) { return -1; }

Value snapshot_runs(Interpreter& in, const CallArgs& a)
{
    std::vector<uint32_t> chars = snapshot_chars(in, a);
    double n = static_cast<double>(chars.size());
    double from = std::clamp(in.to_number(a[0]), 0.0, n);
    double to = std::clamp(in.to_number(a[1]), from, n);
    ArrayObject* runs = in.new_array();
    for (double i = std::isnan(from) ? 0 : from; i < (std::isnan(to) ? n : to); ++i) {
        Object* run = in.new_object();
        in.set(run, "indexInRun", i);
        in.set(run, "selected", false);
        runs->push(run);
    }
    return runs;
}

// ---- TextField properties ----

Value field_get(Interpreter& in, const CallArgs& a)
{
    ClipId clip = in.clip_of(a.this_obj);
    if (!clip || !in.display()) return Value();
    return in.display()->text_property(clip, static_cast<TextProperty>(in.to_number(a.callee->bound)));
}

Value field_set(Interpreter& in, const CallArgs& a)
{
    ClipId clip = in.clip_of(a.this_obj);
    if (clip && in.display())
        in.display()->set_text_property(clip, static_cast<TextProperty>(in.to_number(a.callee->bound)), a[0]);
    return Value();
}

struct FieldProperty {
    const char* name;
    TextProperty property;
    bool writable;
};

constexpr FieldProperty kFieldProperties[] = {
    {"text", TextProperty::Text, true},
    {"htmlText", TextProperty::HtmlText, true},
    {"html", TextProperty::Html, true},
    {"variable", TextProperty::Variable, true},
    {"scroll", TextProperty::Scroll, true},
    {"maxscroll", TextProperty::MaxScroll, false},
    {"bottomScroll", TextProperty::BottomScroll, false},
    {"hscroll", TextProperty::HScroll, true},
    {"maxhscroll", TextProperty::MaxHScroll, false},
    {"textWidth", TextProperty::TextWidth, false},
    {"textHeight", TextProperty::TextHeight, false},
    {"length", TextProperty::Length, false},
    {"multiline", TextProperty::Multiline, true},
    {"wordWrap", TextProperty::WordWrap, true},
    {"password", TextProperty::Password, true},
    {"selectable", TextProperty::Selectable, true},
    {"border", TextProperty::Border, true},
    {"background", TextProperty::Background, true},
    {"borderColor", TextProperty::BorderColor, true},
    {"backgroundColor", TextProperty::BackgroundColor, true},
    {"textColor", TextProperty::TextColor, true},
    {"autoSize", TextProperty::AutoSize, true},
    {"type", TextProperty::Type, true},
    {"maxChars", TextProperty::MaxChars, true},
    {"embedFonts", TextProperty::EmbedFonts, true},
};

// ---- System ----

Value security_allow_domain(Interpreter&, const CallArgs&) { return Value(); }

}  // namespace

void install_player_builtins(Interpreter& in)
{
    Object* g = in.global();

    Object* broadcaster = in.new_object();
    g->define("AsBroadcaster", broadcaster);
    add_method(in, broadcaster, "initialize", broadcaster_initialize);

    Object* stage = in.new_object();
    g->define("Stage", stage);
    make_broadcaster(in, stage);
    add_getter(in, stage, "width", stage_width);
    add_getter(in, stage, "height", stage_height);
    stage->define("scaleMode", "showAll", prop::DontEnum);
    stage->define("align", "", prop::DontEnum);
    stage->define("showMenu", true, prop::DontEnum);

    Object* key = in.new_object();
    g->define("Key", key);
    make_broadcaster(in, key);
    add_method(in, key, "isDown", key_is_down);
    add_method(in, key, "getCode", key_get_code);
    add_method(in, key, "getAscii", key_get_ascii);
    add_method(in, key, "isToggled", key_is_toggled);
    const std::pair<const char*, int> keys[] = {
        {"BACKSPACE", 8}, {"CAPSLOCK", 20}, {"CONTROL", 17}, {"DELETEKEY", 46}, {"DOWN", 40}, {"END", 35},
        {"ENTER", 13}, {"ESCAPE", 27}, {"HOME", 36}, {"INSERT", 45}, {"LEFT", 37}, {"PGDN", 34}, {"PGUP", 33},
        {"RIGHT", 39}, {"SHIFT", 16}, {"SPACE", 32}, {"TAB", 9}, {"UP", 38}};
    for (const auto& [name, code] : keys) key->define(name, code, prop::DontEnum | prop::DontDelete | prop::ReadOnly);

    Object* mouse = in.new_object();
    g->define("Mouse", mouse);
    make_broadcaster(in, mouse);
    add_method(in, mouse, "show", mouse_show);
    add_method(in, mouse, "hide", mouse_show);

    Object* selection = in.new_object();
    g->define("Selection", selection);
    make_broadcaster(in, selection);
    add_method(in, selection, "getFocus", selection_get_focus);
    add_method(in, selection, "setFocus", selection_set_focus);
    add_method(in, selection, "getBeginIndex", selection_index);
    add_method(in, selection, "getEndIndex", selection_index);
    add_method(in, selection, "getCaretIndex", selection_index);

    Object* system = in.new_object();
    g->define("System", system);
    system->define("useCodepage", false, 0);
    Object* capabilities = in.new_object();
    system->define("capabilities", capabilities);
    const std::pair<const char*, Value> caps[] = {
        {"version", kPlayerVersion}, {"os", "Windows XP"}, {"manufacturer", "Macromedia Windows"},
        {"playerType", "StandAlone"}, {"language", "es"}, {"screenResolutionX", 1024}, {"screenResolutionY", 768},
        {"screenDPI", 96}, {"screenColor", "color"}, {"pixelAspectRatio", 1}, {"hasAudio", true},
        {"hasMP3", true}, {"hasVideoEncoder", false}, {"hasAudioEncoder", false}, {"isDebugger", false},
        {"hasAccessibility", false}, {"hasPrinting", false}, {"hasStreamingAudio", true},
        {"hasStreamingVideo", false}, {"hasEmbeddedVideo", true}, {"localFileReadDisable", false}};
    for (const auto& [name, value] : caps) capabilities->define(name, value, 0);
    Object* security = in.new_object();
    system->define("security", security);
    add_method(in, security, "allowDomain", security_allow_domain);

    Object* color_proto = in.new_object();
    add_class(in, "Color", color_ctor, color_proto);
    add_method(in, color_proto, "setRGB", color_set_rgb);
    add_method(in, color_proto, "getRGB", color_get_rgb);
    add_method(in, color_proto, "setTransform", color_set_transform);
    add_method(in, color_proto, "getTransform", color_get_transform);

    Object* sound_proto = in.new_object();
    add_class(in, "Sound", sound_ctor, sound_proto);
    FunctionObject* f = add_method(in, sound_proto, "getPan", sound_get);
    f->bound = "__pan";
    add_method(in, sound_proto, "getTransform", sound_get_transform);
    f = add_method(in, sound_proto, "getVolume", sound_get);
    f->bound = "__volume";
    f = add_method(in, sound_proto, "setPan", sound_set);
    f->bound = "__pan";
    add_method(in, sound_proto, "setTransform", sound_set_transform);
    f = add_method(in, sound_proto, "setVolume", sound_set);
    f->bound = "__volume";
    add_method(in, sound_proto, "stop", sound_stop);
    add_method(in, sound_proto, "attachSound", sound_attach);
    add_method(in, sound_proto, "start", sound_start);
    const uint32_t v6 = prop::DontEnum | prop::OnlySwf6Up;
    add_method(in, sound_proto, "getDuration", sound_zero, v6);
    add_method(in, sound_proto, "getPosition", sound_zero, v6);
    add_method(in, sound_proto, "loadSound", sound_nothing, v6);
    add_method(in, sound_proto, "getBytesLoaded", sound_zero, v6);
    add_method(in, sound_proto, "getBytesTotal", sound_zero, v6);

    // Enumerable, as in Flash Player; listed newest first.
    Object* snapshot_proto = in.new_object();
    add_class(in, "TextSnapshot", snapshot_ctor, snapshot_proto);
    add_method(in, snapshot_proto, "getCount", snapshot_count, 0);
    add_method(in, snapshot_proto, "setSelected", snapshot_nothing, 0);
    add_method(in, snapshot_proto, "getSelected", snapshot_none_selected, 0);
    add_method(in, snapshot_proto, "getText", snapshot_text, 0);
    add_method(in, snapshot_proto, "getSelectedText", snapshot_selected_text, 0);
    add_method(in, snapshot_proto, "hitTestTextNearPos", snapshot_no_position, 0);
    add_method(in, snapshot_proto, "findText", snapshot_find, 0);
    add_method(in, snapshot_proto, "setSelectColor", snapshot_nothing, 0);
    add_method(in, snapshot_proto, "getTextRunInfo", snapshot_runs, 0);

    for (const FieldProperty& fp : kFieldProperties) {
        FunctionObject* getter = in.new_native(field_get, fp.name);
        getter->bound = static_cast<double>(fp.property);
        Property& p = in.protos.text_field->properties().add(fp.name);
        p.getter = getter;
        if (fp.writable) {
            FunctionObject* setter = in.new_native(field_set, fp.name);
            setter->bound = static_cast<double>(fp.property);
            p.setter = setter;
        }
        p.flags = prop::DontEnum | prop::DontDelete;
    }
}

}  // namespace swf::avm1
