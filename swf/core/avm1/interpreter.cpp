#include "swf/core/avm1/interpreter.h"

#include <algorithm>
#include <cmath>

#include "swf/core/avm1/clip_object.h"
#include "swf/core/avm1/frame.h"
#include "swf/core/avm1/url_text.h"

namespace swf::avm1 {

Interpreter::Interpreter(Host& host, DisplayTree* display, Limits limits)
    : host_(host), display_(display), limits_(limits)
{
    install_builtins();
}

Interpreter::~Interpreter() = default;

void Interpreter::install_builtins()
{
    protos.object = heap_.make<Object>(nullptr);
    protos.function = heap_.make<Object>(protos.object);
    // The global object has no prototype: it has no valueOf, and converts to undefined.
    global_ = heap_.make<Object>(nullptr);
    install_object_builtins(*this);
    install_function_builtins(*this);
    install_array_builtins(*this);
    install_string_builtins(*this);
    install_number_builtins(*this);
    install_math_builtins(*this);
    install_date_builtins(*this);
    install_global_functions(*this);
    install_clip_builtins(*this);
    install_text_format_builtins(*this);
    install_player_builtins(*this);
    install_xml_builtins(*this);
}

Object* Interpreter::new_object() { return make<Object>(protos.object); }
ArrayObject* Interpreter::new_array() { return make<ArrayObject>(protos.array); }

FunctionObject* Interpreter::new_native(NativeFn fn, std::string name, Object* prototype)
{
    auto* f = make<FunctionObject>(protos.function, fn, std::move(name));
    if (prototype) {
        f->define("prototype", prototype, prop::DontEnum | prop::DontDelete);
        prototype->define("constructor", f, prop::DontEnum);
    }
    return f;
}

// ---- running ---------------------------------------------------------------------------

bool Interpreter::run_guarded(const std::function<void()>& body)
{
    bool outer = !running_;
    if (outer) {
        running_ = true;
        actions_ = 0;
        depth_ = 0;
        started_ = std::chrono::steady_clock::now();
        stack_.clear();
    }
    bool ok = true;
    try {
        body();
    } catch (const ScriptAbort& abort) {
        last_error_ = abort.reason;
        ok = false;
        if (!outer) throw;
    } catch (const ScriptThrow& thrown) {
        // An uncaught throw ends the running code without further effect.
        last_error_ = "uncaught exception";
        ok = false;
        if (!outer) throw;
    }
    if (outer) {
        running_ = false;
        stack_.clear();
        frames_.clear();
        depth_ = 0;
    }
    return ok;
}

bool Interpreter::run(std::shared_ptr<const ActionBlock> block, ClipId clip)
{
    if (!block) return false;
    Object* target = clip ? clip_object(clip) : nullptr;
    return run_guarded([&] { run_block(*this, block, target); });
}

bool Interpreter::call_method(Object* obj, std::string_view name, std::span<const Value> args, Value* result)
{
    if (!obj) return false;
    return run_guarded([&] {
        Value fn = get(obj, name);
        if (fn.object() && fn.object()->object_class() == ObjectClass::Function) {
            Value r = call(fn, obj, args);
            if (result) *result = r;
        }
    });
}

void Interpreter::charge(uint64_t actions)
{
    if (!host_.spend_action()) throw ScriptAbort{"the player ended the script"};
    actions_ += actions;
    if (actions_ > limits_.max_actions) throw ScriptAbort{"too many actions"};
    if ((actions_ & 0x3ff) < actions || actions > 0x3ff) {
        if (std::chrono::steady_clock::now() - started_ > limits_.max_time) throw ScriptAbort{"script ran too long"};
    }
}

void Interpreter::check_string(size_t size) const
{
    if (size > limits_.max_string) throw ScriptAbort{"string too long"};
}

void Interpreter::tick_timers()
{
    if (running_) return;
    double now = host_.time_ms();
    // Each interval runs as often as its period fits since its last run, a few times at most
    // per call, so a short period keeps its rate without starving the frames.
    constexpr int kMaxRunsPerTick = 8;
    for (int round = 0; round < kMaxRunsPerTick; ++round) {
        std::vector<int32_t> due;
        for (auto& [id, iv] : intervals_)
            if (iv.next_ms <= now) due.push_back(id);
        if (due.empty()) break;
        std::sort(due.begin(), due.end());
        for (int32_t id : due) {
            auto it = intervals_.find(id);
            if (it == intervals_.end()) continue;
            Interval iv = it->second;
            it->second.next_ms = iv.next_ms + std::max(iv.interval_ms, 1.0);
            if (it->second.next_ms <= now - iv.interval_ms * kMaxRunsPerTick) it->second.next_ms = now;
            run_guarded([&] {
                if (iv.this_obj) {
                    Value fn = get(iv.this_obj, iv.method);
                    call(fn, iv.this_obj, iv.args);
                } else {
                    call(iv.fn, nullptr, iv.args);
                }
            });
        }
    }
}

// ---- garbage ---------------------------------------------------------------------------

void Interpreter::mark_roots(Tracer& tracer)
{
    tracer.mark(global_);
    for (Object* p : {protos.object, protos.function, protos.array, protos.string, protos.number, protos.boolean,
                      protos.date, protos.movie_clip, protos.button, protos.text_field, protos.text_format, protos.error})
        tracer.mark(p);
    tracer.mark(protos.object_ctor);
    tracer.mark(protos.array_ctor);
    for (auto& [id, obj] : clips_) tracer.mark(obj);
    for (auto& [name, ctor] : classes_) tracer.mark(ctor);
    for (auto& [obj, count] : roots_) tracer.mark(obj);
    for (auto& [id, iv] : intervals_) {
        tracer.mark(iv.fn.object());
        tracer.mark(iv.this_obj);
        for (auto& a : iv.args) tracer.mark(a.object());
    }
}

size_t Interpreter::collect_garbage()
{
    if (running_) return 0;
    // Clips that left the stage are no longer roots; references to them keep them alive.
    if (display_)
        std::erase_if(clips_, [&](auto& entry) { return !display_->alive(entry.first); });
    return heap_.collect([&](Tracer& t) { mark_roots(t); });
}

Object* Interpreter::clip_object(ClipId clip)
{
    if (!clip) return nullptr;
    auto it = clips_.find(clip);
    if (it != clips_.end()) return it->second;
    Object* proto = protos.movie_clip;
    if (display_) {
        ClipKind kind = display_->kind(clip);
        if (kind == ClipKind::Button) proto = protos.button;
        else if (kind == ClipKind::TextField) proto = protos.text_field;
    }
    auto* obj = heap_.make<ClipObject>(proto, clip);
    clips_.emplace(clip, obj);
    // The player's version, a variable of the first level.
    if (display_ && display_->level(0) == clip) obj->define("$version", kPlayerVersion, 0);
    return obj;
}

Object* Interpreter::existing_clip_object(ClipId clip) const
{
    auto it = clips_.find(clip);
    return it == clips_.end() ? nullptr : it->second;
}

void Interpreter::clip_removed(ClipId clip) { clips_.erase(clip); }

bool Interpreter::guard(int version, const std::function<void()>& body)
{
    if (running_) {
        body();
        return true;
    }
    int saved = version_;
    version_ = version;
    bool ok = run_guarded(body);
    version_ = saved;
    return ok;
}

FunctionObject* Interpreter::registered_class(std::string_view export_name) const
{
    auto it = classes_.find(ascii_lower(export_name));
    return it == classes_.end() ? nullptr : it->second;
}

void Interpreter::construct_as(Object* obj, FunctionObject* ctor)
{
    if (!obj || !ctor) return;
    guard(version_, [&] {
        if (Object* proto = get(ctor, "prototype").object()) obj->set_proto(proto);
        obj->define("__constructor__", ctor, prop::DontEnum);
        call(ctor, obj, {});
    });
}

void Interpreter::construct_new_clip(ClipId clip)
{
    if (!clip || !display()) return;
    if (FunctionObject* ctor = registered_class(display()->export_name(clip))) construct_as(clip_object(clip), ctor);
}

void Interpreter::load_variables_into(Object* target, std::string_view text, int version)
{
    if (!target) return;
    guard(version, [&] {
        for (const auto& [name, value] : decode_form(text)) set(target, name, Value(value));
    });
}

void Interpreter::deliver_data(Object* receiver, const std::optional<std::string>& text)
{
    Value args[1] = {text ? Value(*text) : Value()};
    call_method(receiver, "onData", args);
}

void Interpreter::broadcast(std::string_view name, std::string_view method, std::span<const Value> args)
{
    guard(version_, [&] {
        Object* source = get(global_, name).object();
        auto* listeners = dynamic_cast<ArrayObject*>(get(source, "_listeners").object());
        if (!listeners) return;
        std::vector<Value> copy;
        for (size_t i = 0; i < listeners->length(); ++i) copy.push_back(listeners->at(i));
        for (const Value& l : copy) {
            Object* obj = l.object();
            if (!obj) continue;
            Value fn = get(obj, method);
            if (fn.object() && fn.object()->object_class() == ObjectClass::Function) call(fn, obj, args);
        }
    });
}

bool Interpreter::system_uses_codepage()
{
    bool on = false;
    guard(version_, [&] { on = to_boolean(get(get(global_, "System").object(), "useCodepage"), 6); });
    return on;
}

void Interpreter::add_root(Object* obj) { ++roots_[obj]; }

void Interpreter::remove_root(Object* obj)
{
    auto it = roots_.find(obj);
    if (it != roots_.end() && --it->second <= 0) roots_.erase(it);
}

// ---- conversions -----------------------------------------------------------------------

bool Interpreter::clip_reads_as_path(Object* obj)
{
    if (obj->object_class() != ObjectClass::Clip) return false;
    // A clip reads as its target path unless a script gave it its own conversion.
    auto native = [&](const char* name) {
        auto* f = dynamic_cast<FunctionObject*>(get(obj, name).object());
        return !f || f->native;
    };
    return native("valueOf") && native("toString");
}

Value Interpreter::to_primitive(const Value& v)
{
    Object* obj = v.object();
    if (!obj) return v;
    if (clip_reads_as_path(obj)) return clip_target_path(static_cast<ClipObject*>(obj)->clip, false);
    // valueOf, then toString when valueOf gives an object; no valueOf at all gives undefined.
    auto* value_of = dynamic_cast<FunctionObject*>(get(obj, "valueOf").object());
    if (!value_of) return Value();
    Value r = call(value_of, obj, {});
    if (r.is_primitive()) return r;
    if (auto* to_string_fn = dynamic_cast<FunctionObject*>(get(obj, "toString").object())) {
        r = call(to_string_fn, obj, {});
        if (r.is_primitive()) return r;
    }
    return Value(obj->object_class() == ObjectClass::Function ? "[type Function]" : "[type Object]");
}

double Interpreter::to_number(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined: return version_ >= 7 ? std::nan("") : 0.0;
    case Value::Type::Null: return version_ >= 7 ? std::nan("") : 0.0;
    case Value::Type::Boolean: return v.boolean() ? 1.0 : 0.0;
    case Value::Type::Number: return v.number();
    case Value::Type::String: return string_to_number(v.string(), version_);
    case Value::Type::Object: {
        Value p = to_primitive(v);
        if (p.is_object()) return std::nan("");
        if (p.is_string() && p.string() == "[type Object]") return std::nan("");
        return to_number(p);
    }
    }
    return 0;
}

std::string Interpreter::to_string(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined: return version_ >= 7 ? "undefined" : "";
    case Value::Type::Null: return "null";
    case Value::Type::Boolean:
        if (version_ < 5) return v.boolean() ? "1" : "0";
        return v.boolean() ? "true" : "false";
    case Value::Type::Number: return number_to_string(v.number());
    case Value::Type::String: return v.string();
    case Value::Type::Object: {
        Object* obj = v.object();
        if (clip_reads_as_path(obj)) return clip_target_path(static_cast<ClipObject*>(obj)->clip, false);
        // toString alone: an object it gives, or no toString, reads as the type.
        if (auto* fn = dynamic_cast<FunctionObject*>(get(obj, "toString").object())) {
            Value r = call(fn, obj, {});
            if (r.is_primitive()) return to_string(r);
        }
        return obj->object_class() == ObjectClass::Function ? "[type Function]" : "[type Object]";
    }
    }
    return {};
}

Object* Interpreter::to_object(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Object: return v.object();
    case Value::Type::String: return make<PrimitiveObject>(protos.string, ObjectClass::String, v);
    case Value::Type::Number: return make<PrimitiveObject>(protos.number, ObjectClass::Number, v);
    case Value::Type::Boolean: return make<PrimitiveObject>(protos.boolean, ObjectClass::Boolean, v);
    default: return nullptr;
    }
}

std::string Interpreter::type_of(const Value& v)
{
    switch (v.type()) {
    case Value::Type::Undefined: return "undefined";
    case Value::Type::Null: return "null";
    case Value::Type::Boolean: return "boolean";
    case Value::Type::Number: return "number";
    case Value::Type::String: return "string";
    case Value::Type::Object: {
        Object* o = v.object();
        if (o->object_class() == ObjectClass::Function) return "function";
        if (o->object_class() == ObjectClass::Clip) {
            auto* clip = static_cast<ClipObject*>(o);
            if (display_ && display_->alive(clip->clip) && display_->kind(clip->clip) != ClipKind::MovieClip) return "object";
            return "movieclip";
        }
        return "object";
    }
    }
    return "undefined";
}

// ---- properties ------------------------------------------------------------------------

Property* Interpreter::find_own(Object* obj, std::string_view name)
{
    Property* p = obj->properties().find(name, case_sensitive());
    if (p && !property_visible(p->flags, version_)) return nullptr;
    return p;
}

static bool is_proto_name(std::string_view name, bool case_sensitive)
{
    return case_sensitive ? name == "__proto__" : equals_ignore_case(name, "__proto__");
}

Value Interpreter::get(Object* obj, std::string_view name)
{
    if (!obj) return Value();
    if (is_proto_name(name, case_sensitive())) {
        Value out;
        if (obj->get_special(*this, name, out)) return out;
        return obj->proto();
    }
    Object* o = obj;
    for (int depth = 0; o && depth < limits_.max_proto_depth; ++depth) {
        Value out;
        if (o->get_special(*this, name, out)) return out;
        if (Property* p = find_own(o, name)) {
            if (p->getter) return call(p->getter, obj, {});
            if (p->setter) return Value();
            return p->value;
        }
        o = o->proto();
    }
    // A prototype chain this long is a loop: Flash Player stops the script.
    if (o) throw ScriptAbort{"__proto__ chain too long"};
    return Value();
}

Value Interpreter::get_member(const Value& target, std::string_view name)
{
    if (target.is_object()) return get_or_resolve(target.object(), name);
    if (target.is_string()) {
        if (case_sensitive() ? name == "length" : equals_ignore_case(name, "length"))
            return Value(static_cast<double>(target.string().size()));
        return get(protos.string, name);
    }
    if (target.is_number()) return get(protos.number, name);
    if (target.is_boolean()) return get(protos.boolean, name);
    return Value();
}

void Interpreter::set(Object* obj, std::string_view name, const Value& v)
{
    if (!obj) return;
    if (is_proto_name(name, case_sensitive())) {
        obj->set_proto(v.object());
        return;
    }
    Value value = v;
    if (obj->watches().size()) {
        for (auto& [wname, w] : obj->watches()) {
            if (case_sensitive() ? wname == name : equals_ignore_case(wname, name)) {
                Value old = get(obj, name);
                Value args[4] = {Value(std::string(name)), old, value, w.user_data};
                value = call(w.callback, obj, args);
                break;
            }
        }
    }
    if (obj->set_special(*this, name, value)) return;
    if (Property* p = find_own(obj, name)) {
        if (p->setter) {
            Value args[1] = {value};
            call(p->setter, obj, args);
            return;
        }
        if (p->getter || (p->flags & prop::ReadOnly)) return;
        p->value = value;
        return;
    }
    // An inherited setter takes the assignment.
    Object* o = obj->proto();
    for (int depth = 0; o && depth < limits_.max_proto_depth; ++depth, o = o->proto()) {
        if (Property* p = find_own(o, name)) {
            if (p->setter) {
                Value args[1] = {value};
                call(p->setter, obj, args);
                return;
            }
            if (p->getter) return;
            break;
        }
    }
    obj->properties().add(name).value = value;
}

bool Interpreter::has_own_property(Object* obj, std::string_view name)
{
    if (!obj) return false;
    Value out;
    if (obj->get_special(*this, name, out)) return true;
    return find_own(obj, name) != nullptr;
}

Value Interpreter::get_or_resolve(Object* obj, std::string_view name)
{
    Value v = get(obj, name);
    if (!v.is_undefined() || !obj || has_property(obj, name)) return v;
    static constexpr std::string_view kResolve = "__resolve";
    if (case_sensitive() ? name == kResolve : equals_ignore_case(name, kResolve)) return v;
    Value resolver = get(obj, kResolve);
    if (!resolver.is_object() || resolver.object()->object_class() != ObjectClass::Function) return v;
    Value args[1] = {Value(std::string(name))};
    return call(resolver, obj, args);
}

bool Interpreter::has_property(Object* obj, std::string_view name)
{
    Object* o = obj;
    for (int depth = 0; o && depth < limits_.max_proto_depth; ++depth, o = o->proto())
        if (has_own_property(o, name)) return true;
    return false;
}

bool Interpreter::delete_property(Object* obj, std::string_view name)
{
    if (!obj) return false;
    if (obj->delete_special(*this, name)) return true;
    Property* p = find_own(obj, name);
    if (!p || (p->flags & prop::DontDelete)) return false;
    return obj->properties().erase(name, case_sensitive());
}

std::vector<std::string> Interpreter::enumerate(Object* obj)
{
    // Flash Player pushes the names in creation order, own ones then each prototype's, and the
    // loop takes them from the top: the prototypes' come first, each level newest first. An
    // array's elements are the oldest of its properties.
    std::vector<std::string> pushed;
    Object* o = obj;
    for (int depth = 0; o && depth < limits_.max_proto_depth; ++depth, o = o->proto()) {
        size_t before = pushed.size();
        o->special_keys(*this, pushed);
        o->properties().for_each([&](Property& p) {
            if (!(p.flags & prop::DontEnum) && property_visible(p.flags, version_)) pushed.push_back(p.name);
        });
        charge(pushed.size() - before);
    }
    std::vector<std::string> names;
    for (auto it = pushed.rbegin(); it != pushed.rend(); ++it) {
        bool dup = std::any_of(names.begin(), names.end(), [&](const std::string& s) {
            return case_sensitive() ? s == *it : equals_ignore_case(s, *it);
        });
        if (!dup) names.push_back(*it);
    }
    return names;
}

bool Interpreter::instance_of(Object* obj, Object* ctor)
{
    if (!obj || !ctor) return false;
    Value proto = get(ctor, "prototype");
    if (!proto.object()) return false;
    Object* o = obj->proto();
    for (int depth = 0; o && depth < limits_.max_proto_depth; ++depth, o = o->proto()) {
        if (o == proto.object()) return true;
    }
    return false;
}

// ---- calls -----------------------------------------------------------------------------

Value Interpreter::call(const Value& fn, Object* this_obj, std::span<const Value> args)
{
    auto* f = dynamic_cast<FunctionObject*>(fn.object());
    if (!f) return Value();
    if (++depth_ > limits_.max_call_depth) {
        --depth_;
        throw ScriptAbort{"recursion too deep"};
    }
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{depth_};
    if (f->native) {
        CallArgs ca{this_obj, args, f, false};
        return f->native(*this, ca);
    }
    return run_function(*this, f, this_obj, args, nullptr);
}

Value Interpreter::construct(const Value& ctor, std::span<const Value> args)
{
    auto* f = dynamic_cast<FunctionObject*>(ctor.object());
    if (!f) return Value();
    Object* proto = get(f, "prototype").object();
    Object* obj = make<Object>(proto ? proto : protos.object);
    obj->define("__constructor__", f, prop::DontEnum);
    obj->define("constructor", f, prop::DontEnum);
    if (++depth_ > limits_.max_call_depth) {
        --depth_;
        throw ScriptAbort{"recursion too deep"};
    }
    struct Leave {
        int& d;
        ~Leave() { --d; }
    } leave{depth_};
    if (f->native) {
        CallArgs ca{obj, args, f, true};
        Value r = f->native(*this, ca);
        return r.is_object() ? r : Value(obj);
    }
    run_function(*this, f, obj, args, nullptr);
    return obj;
}

// ---- comparisons -----------------------------------------------------------------------

bool Interpreter::equals(const Value& a, const Value& b)
{
    using T = Value::Type;
    if (a.is_object() && b.is_object()) {
        // Boxed numbers, strings and booleans compare by their values.
        auto boxed = [](Object* o) {
            auto cls = o->object_class();
            return cls == ObjectClass::Number || cls == ObjectClass::String || cls == ObjectClass::Boolean
                       ? dynamic_cast<PrimitiveObject*>(o)
                       : nullptr;
        };
        PrimitiveObject* pa = boxed(a.object());
        PrimitiveObject* pb = boxed(b.object());
        if (pa && pb && a.object() != b.object()) return equals(pa->primitive, pb->primitive);
    }
    if (a.type() == b.type()) {
        // Flash 5 finds NaN equal to itself.
        if (a.is_number() && version_ < 6 && std::isnan(a.number()) && std::isnan(b.number())) return true;
        return a.strict_equals(b);
    }
    if (a.is_nullish() && b.is_nullish()) return true;
    // An object without valueOf converts to undefined.
    if ((a.is_nullish() && b.is_object()) || (a.is_object() && b.is_nullish())) {
        Value p = to_primitive(a.is_object() ? a : b);
        return p.is_nullish();
    }
    if (a.is_nullish() || b.is_nullish()) return false;
    if (a.type() == T::Number && b.type() == T::String) return a.number() == to_number(b);
    if (a.type() == T::String && b.type() == T::Number) return to_number(a) == b.number();
    if (a.is_boolean()) return equals(Value(a.boolean() ? 1.0 : 0.0), b);
    if (b.is_boolean()) return equals(a, Value(b.boolean() ? 1.0 : 0.0));
    if ((a.is_number() || a.is_string()) && b.is_object()) {
        Value p = to_primitive(b);
        if (p.is_object()) return false;
        return equals(a, p);
    }
    if (a.is_object() && (b.is_number() || b.is_string())) {
        Value p = to_primitive(a);
        if (p.is_object()) return false;
        return equals(p, b);
    }
    return false;
}

Value Interpreter::less_than(const Value& a, const Value& b)
{
    // Objects compare by valueOf alone; one that stays an object makes the answer false,
    // without looking at the other operand.
    auto value_of = [&](const Value& v) {
        if (!v.is_object()) return v;
        // A clip compares as no number at all.
        if (clip_reads_as_path(v.object())) return Value(std::nan(""));
        auto* fn = dynamic_cast<FunctionObject*>(get(v.object(), "valueOf").object());
        return fn ? call(fn, v.object(), {}) : Value();
    };
    Value pa = value_of(a);
    if (pa.is_object()) return false;
    Value pb = value_of(b);
    if (pb.is_object()) return false;
    if (pa.is_string() && pb.is_string()) return Value(pa.string() < pb.string());
    double x = to_number(pa), y = to_number(pb);
    if (std::isnan(x) || std::isnan(y)) return Value();
    return Value(x < y);
}

}  // namespace swf::avm1
