// Object, Function, Number, Boolean, Math and the global functions.
#include <algorithm>
#include <cmath>
#include <limits>

#include "swf/core/avm1/frame.h"
#include "swf/core/avm1/text.h"
#include "swf/core/avm1/url_text.h"

namespace swf::avm1 {

FunctionObject* add_method(Interpreter& in, Object* target, std::string_view name, NativeFn fn, uint32_t flags)
{
    FunctionObject* f = in.new_native(fn, std::string(name));
    target->define(name, f, flags);
    return f;
}

FunctionObject* add_class(Interpreter& in, std::string_view name, NativeFn ctor, Object* prototype)
{
    FunctionObject* f = in.new_native(ctor, std::string(name), prototype);
    in.global()->define(name, f, prop::DontEnum);
    return f;
}

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- Object ----

Value object_ctor(Interpreter& in, const CallArgs& a)
{
    if (a.size() > 0 && a[0].is_object()) return a[0];
    if (a.size() > 0 && !a[0].is_nullish()) return in.to_object(a[0]);
    if (a.constructing) return a.this_obj;
    return in.new_object();
}

Value object_to_string(Interpreter& in, const CallArgs& a)
{
    if (a.this_obj && a.this_obj->object_class() == ObjectClass::Function) return "[type Function]";
    return "[object Object]";
}

Value object_value_of(Interpreter&, const CallArgs& a) { return a.this_obj; }

Value object_has_own(Interpreter& in, const CallArgs& a)
{
    return in.has_own_property(a.this_obj, in.to_string(a[0]));
}

Value object_is_enumerable(Interpreter& in, const CallArgs& a)
{
    Property* p = a.this_obj ? in.find_own(a.this_obj, in.to_string(a[0])) : nullptr;
    return p && !(p->flags & prop::DontEnum);
}

Value object_is_prototype_of(Interpreter& in, const CallArgs& a)
{
    Object* o = a[0].object();
    if (!o || !a.this_obj) return false;
    o = o->proto();
    for (int d = 0; o && d < in.limits().max_proto_depth; ++d, o = o->proto())
        if (o == a.this_obj) return true;
    return false;
}

Value object_add_property(Interpreter& in, const CallArgs& a)
{
    std::string name = in.to_string(a[0]);
    auto* getter = dynamic_cast<FunctionObject*>(a[1].object());
    auto* setter = dynamic_cast<FunctionObject*>(a[2].object());
    if (!a.this_obj || name.empty() || !getter) return false;
    if (!a[2].is_null() && !setter && !a[2].is_undefined()) return false;
    Property* p = in.find_own(a.this_obj, name);
    if (!p) p = &a.this_obj->properties().add(name);
    p->getter = getter;
    p->setter = setter;
    p->value = Value();
    return true;
}

Value object_watch(Interpreter& in, const CallArgs& a)
{
    auto* fn = dynamic_cast<FunctionObject*>(a[1].object());
    if (!a.this_obj || !fn) return false;
    a.this_obj->watches()[in.to_string(a[0])] = Object::Watch{fn, a[2]};
    return true;
}

Value object_unwatch(Interpreter& in, const CallArgs& a)
{
    if (!a.this_obj) return false;
    auto& w = a.this_obj->watches();
    std::string name = in.to_string(a[0]);
    for (auto it = w.begin(); it != w.end(); ++it)
        if (in.case_sensitive() ? it->first == name : equals_ignore_case(it->first, name)) {
            w.erase(it);
            return true;
        }
    return false;
}

Value object_register_class(Interpreter& in, const CallArgs& a)
{
    if (a.size() < 2) return false;
    std::string name = ascii_lower(in.to_string(a[0]));
    auto* ctor = dynamic_cast<FunctionObject*>(a[1].object());
    if (ctor) in.class_registry()[name] = ctor;
    else in.class_registry().erase(name);
    return true;
}

// ---- Function ----

Value function_ctor(Interpreter& in, const CallArgs& a) { return a.constructing ? Value(a.this_obj) : Value(in.new_object()); }

Value function_call(Interpreter& in, const CallArgs& a)
{
    Object* this_obj = a[0].is_object() ? a[0].object() : in.to_object(a[0]);
    std::span<const Value> rest = a.args.size() > 1 ? a.args.subspan(1) : std::span<const Value>();
    return in.call(a.this_obj, this_obj, rest);
}

Value function_apply(Interpreter& in, const CallArgs& a)
{
    Object* this_obj = a[0].is_object() ? a[0].object() : in.to_object(a[0]);
    std::vector<Value> args;
    if (Object* list = a[1].object()) {
        double n = in.to_number(in.get(list, "length"));
        size_t count = std::isnan(n) || n < 0 ? 0 : static_cast<size_t>(std::min(n, 1e6));
        in.charge(count);
        for (size_t i = 0; i < count; ++i) args.push_back(in.get(list, std::to_string(i)));
    }
    return in.call(a.this_obj, this_obj, args);
}

// ---- Number and Boolean ----

Value number_ctor(Interpreter& in, const CallArgs& a)
{
    double d = a.size() ? in.to_number(a[0]) : 0.0;
    if (!a.constructing) return d;
    return in.make<PrimitiveObject>(a.this_obj ? a.this_obj->proto() : in.protos.number, ObjectClass::Number, Value(d));
}

Value primitive_of(const CallArgs& a, ObjectClass cls)
{
    auto* p = dynamic_cast<PrimitiveObject*>(a.this_obj);
    if (!p || p->object_class() != cls) return Value();
    return p->primitive;
}

Value number_to_string_fn(Interpreter& in, const CallArgs& a)
{
    Value v = primitive_of(a, ObjectClass::Number);
    if (!v.is_number()) return Value();
    int radix = a.size() && !a[0].is_undefined() ? static_cast<int>(in.to_number(a[0])) : 10;
    return number_to_radix_string(v.number(), radix);
}

Value number_value_of(Interpreter&, const CallArgs& a) { return primitive_of(a, ObjectClass::Number); }

Value boolean_ctor(Interpreter& in, const CallArgs& a)
{
    bool b = a.size() ? to_boolean(a[0], in.version()) : false;
    if (!a.constructing) return a.size() ? Value(b) : Value();
    return in.make<PrimitiveObject>(a.this_obj ? a.this_obj->proto() : in.protos.boolean, ObjectClass::Boolean, Value(b));
}

Value boolean_to_string(Interpreter& in, const CallArgs& a)
{
    Value v = primitive_of(a, ObjectClass::Boolean);
    if (!v.is_boolean()) return Value();
    return v.boolean() ? "true" : "false";
}

Value boolean_value_of(Interpreter&, const CallArgs& a) { return primitive_of(a, ObjectClass::Boolean); }

// ---- Math ----

// Every argument is converted, in order, though only the first is used.
template <double (*F)(double)>
Value math1(Interpreter& in, const CallArgs& a)
{
    if (a.size() == 0) return kNaN;
    // Flash Player converts the first two arguments, whatever the function uses.
    double x = in.to_number(a[0]);
    if (a.size() > 1) in.to_number(a[1]);
    return F(x);
}

double round_half_up(double d) { return std::floor(d + 0.5); }

Value math_atan2(Interpreter& in, const CallArgs& a)
{
    if (a.size() < 2) return kNaN;
    double y = in.to_number(a[0]);
    double x = in.to_number(a[1]);
    return std::atan2(y, x);
}

// What an ASnative number of the Math table without a function gives: the usual
// conversions, and no number.
Value math_none(Interpreter& in, const CallArgs& a)
{
    for (size_t i = 0; i < std::min<size_t>(a.size(), 2); ++i) in.to_number(a[i]);
    return kNaN;
}

// A missing argument is NaN, and pow(1, NaN) is 1 as in C.
Value math_pow(Interpreter& in, const CallArgs& a)
{
    double x = a.size() > 0 ? in.to_number(a[0]) : kNaN;
    double y = a.size() > 1 ? in.to_number(a[1]) : kNaN;
    return std::pow(x, y);
}

Value math_min(Interpreter& in, const CallArgs& a)
{
    if (a.size() == 0) return std::numeric_limits<double>::infinity();
    if (a.size() < 2) return kNaN;
    double x = in.to_number(a[0]), y = in.to_number(a[1]);
    if (std::isnan(x) || std::isnan(y)) return kNaN;
    return std::min(x, y);
}

Value math_max(Interpreter& in, const CallArgs& a)
{
    if (a.size() == 0) return -std::numeric_limits<double>::infinity();
    if (a.size() < 2) return kNaN;
    double x = in.to_number(a[0]), y = in.to_number(a[1]);
    if (std::isnan(x) || std::isnan(y)) return kNaN;
    return std::max(x, y);
}

Value math_random(Interpreter& in, const CallArgs& a)
{
    for (size_t i = 0; i < std::min<size_t>(a.size(), 2); ++i) in.to_number(a[i]);
    return in.host().random();
}

// ---- global functions ----

Value global_is_nan(Interpreter& in, const CallArgs& a) { return a.size() ? std::isnan(in.to_number(a[0])) : true; }
Value global_is_finite(Interpreter& in, const CallArgs& a) { return a.size() ? std::isfinite(in.to_number(a[0])) : false; }

Value global_parse_float(Interpreter& in, const CallArgs& a)
{
    std::string s = in.to_string(a[0]);
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    size_t j = i;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
    size_t digits = 0;
    while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++digits;
    if (j < s.size() && s[j] == '.') {
        ++j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j]))) ++j, ++digits;
    }
    if (digits == 0) return kNaN;
    if (j < s.size() && (s[j] == 'e' || s[j] == 'E')) {
        size_t k = j + 1;
        if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
        if (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) {
            while (k < s.size() && std::isdigit(static_cast<unsigned char>(s[k]))) ++k;
            j = k;
        }
    }
    return std::strtod(s.substr(i, j - i).c_str(), nullptr);
}

Value global_parse_int(Interpreter& in, const CallArgs& a)
{
    std::string s = in.to_string(a[0]);
    double radix_value = a.size() > 1 && !a[1].is_undefined() ? in.to_number(a[1]) : 0;
    if (std::isnan(radix_value)) return kNaN;
    int radix = to_int32(radix_value);
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r')) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (radix == 0) {
        if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
            radix = 16;
            i += 2;
        } else if (i + 1 < s.size() && s[i] == '0') {
            radix = 8;
        } else {
            radix = 10;
        }
    } else if (radix == 16 && i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        i += 2;
    }
    if (radix < 2 || radix > 36) return kNaN;
    double v = 0;
    size_t digits = 0;
    for (; i < s.size(); ++i) {
        char c = s[i];
        int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'z' ? c - 'a' + 10 : c >= 'A' && c <= 'Z' ? c - 'A' + 10 : 99;
        if (d >= radix) break;
        v = v * radix + d;
        ++digits;
    }
    if (digits == 0) return kNaN;
    return negative ? -v : v;
}

Value global_escape(Interpreter& in, const CallArgs& a) { return url_escape(in.to_string(a[0])); }

Value global_unescape(Interpreter& in, const CallArgs& a) { return url_unescape(in.to_string(a[0])); }

Value global_set_prop_flags(Interpreter& in, const CallArgs& a)
{
    Object* obj = a[0].object();
    if (!obj) return Value();
    auto set_flags = [&](Property& p) {
        uint32_t set = to_uint32(in.to_number(a[2]));
        uint32_t clear = a.size() > 3 ? to_uint32(in.to_number(a[3])) : 0;
        p.flags = (p.flags & ~clear) | set;
    };
    if (a[1].is_null()) {
        obj->properties().for_each(set_flags);
        return Value();
    }
    std::string list = in.to_string(a[1]);
    if (Object* arr = a[1].object(); arr && arr->object_class() == ObjectClass::Array) {
        auto* array = static_cast<ArrayObject*>(arr);
        for (size_t i = 0; i < array->length(); ++i)
            if (Property* p = obj->properties().find(in.to_string(array->at(i)), in.case_sensitive())) set_flags(*p);
        return Value();
    }
    size_t start = 0;
    while (start <= list.size()) {
        size_t comma = list.find(',', start);
        if (comma == std::string::npos) comma = list.size();
        std::string name = list.substr(start, comma - start);
        if (Property* p = obj->properties().find(name, in.case_sensitive())) set_flags(*p);
        start = comma + 1;
    }
    return Value();
}

Value global_set_interval(Interpreter& in, const CallArgs& a)
{
    Interpreter::Interval iv;
    size_t rest = 2;
    if (a[0].object() && a[0].object()->object_class() == ObjectClass::Function) {
        iv.fn = a[0];
        iv.this_obj = nullptr;
        iv.interval_ms = in.to_number(a[1]);
    } else if (a[0].is_object()) {
        iv.this_obj = a[0].object();
        iv.method = in.to_string(a[1]);
        iv.interval_ms = in.to_number(a[2]);
        rest = 3;
    } else {
        return Value();
    }
    // Without its interval the call makes no timer.
    if (a.size() < rest) return Value();
    if (std::isnan(iv.interval_ms) || iv.interval_ms < 0) iv.interval_ms = 0;
    for (size_t i = rest; i < a.size(); ++i) iv.args.push_back(a[i]);
    iv.next_ms = in.host().time_ms() + iv.interval_ms;
    int32_t id = in.next_interval_id();
    in.intervals().emplace(id, std::move(iv));
    return static_cast<double>(id);
}

Value global_clear_interval(Interpreter& in, const CallArgs& a)
{
    in.intervals().erase(to_int32(in.to_number(a[0])));
    return Value();
}

// ASnative(table, index): a builtin by its number; undefined for tables this player lacks.
Value global_as_native(Interpreter& in, const CallArgs& a)
{
    int table = to_integer_clamped(in.to_number(a[0]));
    int index = to_integer_clamped(in.to_number(a[1]));
    const std::vector<NativeFn>& functions = in.native_table(table);
    if (index < 0 || static_cast<size_t>(index) >= functions.size()) return Value();
    return in.new_native(functions[static_cast<size_t>(index)]);
}

Value global_get_version(Interpreter&, const CallArgs&) { return kPlayerVersion; }

Value global_get_timer(Interpreter& in, const CallArgs&) { return std::floor(in.host().time_ms()); }

}  // namespace

void install_object_builtins(Interpreter& in)
{
    Object* proto = in.protos.object;
    FunctionObject* ctor = add_class(in, "Object", object_ctor, proto);
    in.protos.object_ctor = ctor;
    add_method(in, proto, "toString", object_to_string);
    add_method(in, proto, "toLocaleString", object_to_string);
    add_method(in, proto, "valueOf", object_value_of);
    add_method(in, proto, "hasOwnProperty", object_has_own, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, proto, "isPropertyEnumerable", object_is_enumerable, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, proto, "isPrototypeOf", object_is_prototype_of, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, proto, "addProperty", object_add_property);
    add_method(in, proto, "watch", object_watch, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, proto, "unwatch", object_unwatch, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, ctor, "registerClass", object_register_class);
}

void install_function_builtins(Interpreter& in)
{
    Object* proto = in.protos.function;
    add_class(in, "Function", function_ctor, proto);
    add_method(in, proto, "call", function_call, prop::DontEnum | prop::OnlySwf6Up);
    add_method(in, proto, "apply", function_apply, prop::DontEnum | prop::OnlySwf6Up);
}

void install_number_builtins(Interpreter& in)
{
    in.protos.number = in.new_object();
    FunctionObject* number = add_class(in, "Number", number_ctor, in.protos.number);
    add_method(in, in.protos.number, "toString", number_to_string_fn);
    add_method(in, in.protos.number, "valueOf", number_value_of);
    uint32_t constant = prop::DontEnum | prop::DontDelete | prop::ReadOnly;
    number->define("MAX_VALUE", std::numeric_limits<double>::max(), constant);
    number->define("MIN_VALUE", std::numeric_limits<double>::denorm_min(), constant);
    number->define("NaN", kNaN, constant);
    number->define("POSITIVE_INFINITY", std::numeric_limits<double>::infinity(), constant);
    number->define("NEGATIVE_INFINITY", -std::numeric_limits<double>::infinity(), constant);

    in.protos.boolean = in.new_object();
    add_class(in, "Boolean", boolean_ctor, in.protos.boolean);
    add_method(in, in.protos.boolean, "toString", boolean_to_string);
    add_method(in, in.protos.boolean, "valueOf", boolean_value_of);
}

void install_math_builtins(Interpreter& in)
{
    Object* math = in.new_object();
    in.global()->define("Math", math);
    add_method(in, math, "abs", math1<std::fabs>);
    add_method(in, math, "acos", math1<std::acos>);
    add_method(in, math, "asin", math1<std::asin>);
    add_method(in, math, "atan", math1<std::atan>);
    add_method(in, math, "ceil", math1<std::ceil>);
    add_method(in, math, "cos", math1<std::cos>);
    add_method(in, math, "exp", math1<std::exp>);
    add_method(in, math, "floor", math1<std::floor>);
    add_method(in, math, "log", math1<std::log>);
    add_method(in, math, "round", math1<round_half_up>);
    add_method(in, math, "sin", math1<std::sin>);
    add_method(in, math, "sqrt", math1<std::sqrt>);
    add_method(in, math, "tan", math1<std::tan>);
    add_method(in, math, "atan2", math_atan2);
    add_method(in, math, "pow", math_pow);
    add_method(in, math, "min", math_min);
    add_method(in, math, "max", math_max);
    add_method(in, math, "random", math_random);
    // ASnative(200, n): the Math functions by their numbers in Flash Player's native table.
    const NativeFn table[] = {math1<std::fabs>, math_min, math_max, math1<std::sin>, math1<std::cos>, math_atan2,
                              math1<std::tan>, math1<std::exp>, math1<std::log>, math1<std::sqrt>,
                              math1<round_half_up>, math_random, math1<std::floor>, math1<std::ceil>,
                              math1<std::atan>, math1<std::asin>, math1<std::acos>, math_pow};
    in.native_table(200).assign(std::begin(table), std::end(table));
    in.native_table(200).resize(256, math_none);
    uint32_t constant = prop::DontEnum | prop::DontDelete | prop::ReadOnly;
    math->define("E", M_E, constant);
    math->define("LN10", M_LN10, constant);
    math->define("LN2", M_LN2, constant);
    math->define("LOG10E", M_LOG10E, constant);
    math->define("LOG2E", M_LOG2E, constant);
    math->define("PI", M_PI, constant);
    math->define("SQRT1_2", M_SQRT1_2, constant);
    math->define("SQRT2", M_SQRT2, constant);
}

void install_global_functions(Interpreter& in)
{
    Object* g = in.global();
    add_method(in, g, "isNaN", global_is_nan);
    add_method(in, g, "isFinite", global_is_finite);
    add_method(in, g, "parseInt", global_parse_int);
    add_method(in, g, "parseFloat", global_parse_float);
    add_method(in, g, "escape", global_escape);
    add_method(in, g, "unescape", global_unescape);
    add_method(in, g, "ASSetPropFlags", global_set_prop_flags);
    add_method(in, g, "setInterval", global_set_interval);
    add_method(in, g, "clearInterval", global_clear_interval);
    add_method(in, g, "getTimer", global_get_timer);
    add_method(in, g, "ASnative", global_as_native);
    add_method(in, g, "getVersion", global_get_version);
    g->define("NaN", kNaN, prop::DontEnum);
    g->define("Infinity", std::numeric_limits<double>::infinity(), prop::DontEnum);
}

}  // namespace swf::avm1
