// MovieClip, Button and TextField prototypes: every method is a call through the display tree.
#include <cmath>

#include "swf/core/avm1/clip_object.h"
#include "swf/core/avm1/frame.h"

namespace swf::avm1 {

namespace {

struct Clip {
    DisplayTree* tree;
    ClipId id;
    explicit operator bool() const { return tree && id && tree->alive(id); }
};

Clip clip_of(Interpreter& in, const CallArgs& a) { return {in.display(), in.clip_of(a.this_obj)}; }

int to_int(Interpreter& in, const Value& v)
{
    double d = in.to_number(v);
    return std::isfinite(d) ? static_cast<int>(std::max(-2147483648.0, std::min(2147483647.0, std::trunc(d)))) : 0;
}

// A frame number (from 1; smaller ones do nothing) or a label.
Value clip_goto(Interpreter& in, const CallArgs& a, bool play)
{
    Clip c = clip_of(in, a);
    if (!c) return Value();
    double n = a[0].is_string() ? string_to_number(a[0].string(), in.version()) : in.to_number(a[0]);
    if (a[0].is_string() && std::isnan(n)) c.tree->goto_label(c.id, a[0].string(), play);
    else if (n >= 1) c.tree->goto_frame(c.id, static_cast<int>(std::min(n, 1e9)) - 1, play);
    return Value();
}

Value mc_goto_and_play(Interpreter& in, const CallArgs& a) { return clip_goto(in, a, true); }
Value mc_goto_and_stop(Interpreter& in, const CallArgs& a) { return clip_goto(in, a, false); }
Value mc_play(Interpreter& in, const CallArgs& a) { if (Clip c = clip_of(in, a)) c.tree->play(c.id); return Value(); }
Value mc_stop(Interpreter& in, const CallArgs& a) { if (Clip c = clip_of(in, a)) c.tree->stop(c.id); return Value(); }
Value mc_next_frame(Interpreter& in, const CallArgs& a) { if (Clip c = clip_of(in, a)) c.tree->next_frame(c.id); return Value(); }
Value mc_prev_frame(Interpreter& in, const CallArgs& a) { if (Clip c = clip_of(in, a)) c.tree->prev_frame(c.id); return Value(); }

Value mc_bytes_loaded(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    return c ? Value(c.tree->bytes_loaded(c.id)) : Value();
}

Value mc_bytes_total(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    return c ? Value(c.tree->bytes_total(c.id)) : Value();
}

Value mc_duplicate(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c || a.size() < 2) return Value();
    ClipId copy = c.tree->duplicate(c.id, in.to_string(a[0]), to_int(in, a[1]));
    if (!copy) return Value();
    in.construct_new_clip(copy);
    return in.clip_object(copy);
}

Value mc_remove(Interpreter& in, const CallArgs& a)
{
    if (Clip c = clip_of(in, a)) c.tree->remove(c.id);
    return Value();
}

Value mc_attach(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c || a.size() < 3) return Value();
    ClipId child = c.tree->attach(c.id, in.to_string(a[0]), in.to_string(a[1]), to_int(in, a[2]));
    if (!child) return Value();
    Object* obj = in.clip_object(child);
    if (Object* init = a[3].object())
        for (const std::string& name : in.enumerate(init)) in.set(obj, name, in.get(init, name));
    in.construct_new_clip(child);
    return obj;
}

Value mc_create_empty(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c || a.size() < 2) return Value();
    ClipId child = c.tree->create_empty(c.id, in.to_string(a[0]), to_int(in, a[1]));
    return child ? Value(in.clip_object(child)) : Value();
}

Value mc_create_text_field(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c || a.size() < 6) return Value();
    double x = in.to_number(a[2]), y = in.to_number(a[3]), w = in.to_number(a[4]), h = in.to_number(a[5]);
    ClipId child = c.tree->create_text_field(c.id, in.to_string(a[0]), to_int(in, a[1]), Rect{x, y, x + w, y + h});
    return child ? Value(in.clip_object(child)) : Value();
}

Value mc_get_depth(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    return c ? Value(static_cast<double>(c.tree->depth(c.id))) : Value();
}

Value mc_swap_depths(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c) return Value();
    if (ClipId other = in.clip_of(a[0].object())) c.tree->swap_depths(c.id, c.tree->depth(other));
    else if (a[0].is_number()) c.tree->swap_depths(c.id, to_int(in, a[0]));
    return Value();
}

Value mc_hit_test(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c) return false;
    if (a.size() >= 2) return c.tree->hit_test_point(c.id, in.to_number(a[0]), in.to_number(a[1]), to_boolean(a[2], in.version()));
    Object* other = a[0].is_object() ? a[0].object() : in.resolve_target(in.to_string(a[0]));
    ClipId o = in.clip_of(other);
    return o ? c.tree->hit_test_clip(c.id, o) : false;
}

Value point_convert(Interpreter& in, const CallArgs& a, bool to_global)
{
    Clip c = clip_of(in, a);
    Object* pt = a[0].object();
    if (!c || !pt) return Value();
    double x = in.to_number(in.get(pt, "x")), y = in.to_number(in.get(pt, "y"));
    if (to_global) c.tree->local_to_global(c.id, x, y);
    else c.tree->global_to_local(c.id, x, y);
    in.set(pt, "x", x);
    in.set(pt, "y", y);
    return Value();
}

Value mc_local_to_global(Interpreter& in, const CallArgs& a) { return point_convert(in, a, true); }
Value mc_global_to_local(Interpreter& in, const CallArgs& a) { return point_convert(in, a, false); }

Value mc_get_bounds(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c) return Value();
    Rect r = c.tree->bounds(c.id, in.clip_of(a[0].object()));
    Object* out = in.new_object();
    in.set(out, "xMin", r.left);
    in.set(out, "xMax", r.right);
    in.set(out, "yMin", r.top);
    in.set(out, "yMax", r.bottom);
    return out;
}

Value mc_start_drag(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c) return Value();
    std::optional<Rect> bounds;
    if (a.size() >= 5)
        bounds = Rect{in.to_number(a[1]), in.to_number(a[2]), in.to_number(a[3]), in.to_number(a[4])};
    c.tree->start_drag(c.id, to_boolean(a[0], in.version()), bounds);
    return Value();
}

Value mc_stop_drag(Interpreter& in, const CallArgs&)
{
    if (in.display()) in.display()->stop_drag();
    return Value();
}

Value mc_get_url(Interpreter& in, const CallArgs& a)
{
    std::string url = in.to_string(a[0]);
    std::string target = in.to_string(a[1]);
    std::string method = ascii_lower(in.to_string(a[2]));
    if (url.size() >= 10 && equals_ignore_case(url.substr(0, 10), "fscommand:")) in.host().fscommand(url.substr(10), target);
    else in.host().get_url(url, target, method == "get" ? 1 : method == "post" ? 2 : 0);
    return Value();
}

Value mc_load_movie(Interpreter& in, const CallArgs& a)
{
    if (Clip c = clip_of(in, a)) in.host().load_movie(in.to_string(a[0]), {c.id, -1}, 0);
    return Value();
}

Value mc_unload_movie(Interpreter& in, const CallArgs& a)
{
    if (Clip c = clip_of(in, a)) in.host().load_movie("", {c.id, -1}, 0);
    return Value();
}

Value mc_load_variables(Interpreter& in, const CallArgs& a)
{
    if (Clip c = clip_of(in, a)) in.host().load_variables(in.to_string(a[0]), {c.id, -1}, 0);
    return Value();
}

Value mc_instance_at_depth(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c || a.size() == 0) return Value();
    ClipId child = c.tree->at_depth(c.id, to_int(in, a[0]));
    return child ? Value(in.clip_object(child)) : Value();
}

Value mc_swf_version(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    return c ? Value(c.tree->swf_version(c.id)) : Value(-1);
}

Value mc_text_snapshot(Interpreter& in, const CallArgs& a)
{
    Clip c = clip_of(in, a);
    if (!c) return Value();
    Value ctor = in.get(in.global(), "TextSnapshot");
    Object* snapshot = in.construct(ctor, {}).object();
    if (snapshot) snapshot->define("__clip", a.this_obj, prop::DontEnum);
    return snapshot;
}

Value clip_ctor(Interpreter&, const CallArgs& a) { return a.this_obj; }

}  // namespace

void install_clip_builtins(Interpreter& in)
{
    in.protos.movie_clip = in.new_object();
    Object* mc = in.protos.movie_clip;
    add_class(in, "MovieClip", clip_ctor, mc);
    add_method(in, mc, "play", mc_play);
    add_method(in, mc, "stop", mc_stop);
    add_method(in, mc, "gotoAndPlay", mc_goto_and_play);
    add_method(in, mc, "gotoAndStop", mc_goto_and_stop);
    add_method(in, mc, "nextFrame", mc_next_frame);
    add_method(in, mc, "prevFrame", mc_prev_frame);
    add_method(in, mc, "getBytesLoaded", mc_bytes_loaded);
    add_method(in, mc, "getBytesTotal", mc_bytes_total);
    add_method(in, mc, "duplicateMovieClip", mc_duplicate);
    add_method(in, mc, "removeMovieClip", mc_remove);
    add_method(in, mc, "attachMovie", mc_attach);
    add_method(in, mc, "createEmptyMovieClip", mc_create_empty, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, mc, "createTextField", mc_create_text_field, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, mc, "getDepth", mc_get_depth, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, mc, "swapDepths", mc_swap_depths);
    add_method(in, mc, "hitTest", mc_hit_test);
    add_method(in, mc, "localToGlobal", mc_local_to_global);
    add_method(in, mc, "globalToLocal", mc_global_to_local);
    add_method(in, mc, "getBounds", mc_get_bounds);
    add_method(in, mc, "startDrag", mc_start_drag);
    add_method(in, mc, "stopDrag", mc_stop_drag);
    add_method(in, mc, "getURL", mc_get_url);
    add_method(in, mc, "loadMovie", mc_load_movie);
    add_method(in, mc, "unloadMovie", mc_unload_movie);
    add_method(in, mc, "loadVariables", mc_load_variables);
    add_method(in, mc, "getInstanceAtDepth", mc_instance_at_depth, prop::DontEnum | prop::OnlySwf7Up);
    add_method(in, mc, "getSWFVersion", mc_swf_version, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, mc, "getTextSnapshot", mc_text_snapshot, prop::DontEnum | prop::OnlySwf6Up);

    in.protos.button = in.new_object();
    add_class(in, "Button", clip_ctor, in.protos.button);
    add_method(in, in.protos.button, "getDepth", mc_get_depth, prop::DontEnum | prop::OnlySwf6Up);
    in.protos.text_field = in.new_object();
    add_class(in, "TextField", clip_ctor, in.protos.text_field);
    add_method(in, in.protos.text_field, "getDepth", mc_get_depth, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, in.protos.text_field, "removeTextField", mc_remove);
}

}  // namespace swf::avm1
