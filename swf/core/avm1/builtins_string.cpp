// String and its methods. SWF 6 strings count characters of UTF-8; older ones count bytes.
#include <algorithm>
#include <cmath>

#include "swf/core/avm1/frame.h"
#include "swf/core/avm1/text.h"

namespace swf::avm1 {

namespace {

// The string a method works on: a String object's value, or `this` converted.
std::string this_string(Interpreter& in, const CallArgs& a)
{
    if (auto* p = dynamic_cast<PrimitiveObject*>(a.this_obj); p && p->object_class() == ObjectClass::String)
        return in.to_string(p->primitive);
    return in.to_string(a.this_obj);
}

// An index argument: a 32-bit integer, wrapping as Flash Player's conversion does.
double arg_number(Interpreter& in, const CallArgs& a, size_t i, double fallback)
{
    if (i >= a.size() || a[i].is_undefined()) return fallback;
    return static_cast<double>(to_int32(in.to_number(a[i])));
}

Value string_ctor(Interpreter& in, const CallArgs& a)
{
    std::string s = a.size() ? in.to_string(a[0]) : std::string();
    if (!a.constructing) return s;
    return in.make<PrimitiveObject>(a.this_obj ? a.this_obj->proto() : in.protos.string, ObjectClass::String, Value(s));
}

Value string_value_of(Interpreter& in, const CallArgs& a) { return this_string(in, a); }

Value string_char_at(Interpreter& in, const CallArgs& a)
{
    auto chars = decode_chars(this_string(in, a), in.version());
    double i = arg_number(in, a, 0, 0);
    if (i < 0 || i >= static_cast<double>(chars.size())) return "";
    return encode_char(chars[static_cast<size_t>(i)], in.version());
}

Value string_char_code_at(Interpreter& in, const CallArgs& a)
{
    auto chars = decode_chars(this_string(in, a), in.version());
    double i = arg_number(in, a, 0, 0);
    if (i < 0) return std::nan("");
    // Flash 5 reads past the end as the string's terminating zero.
    if (i >= static_cast<double>(chars.size())) return in.version() < 6 ? Value(0) : Value(std::nan(""));
    return static_cast<double>(chars[static_cast<size_t>(i)]);
}

Value string_from_char_code(Interpreter& in, const CallArgs& a)
{
    std::string out;
    for (const Value& v : a.args) {
        uint32_t c = to_uint32(in.to_number(v)) & 0xFFFF;
        if (c == 0) break;
        out += encode_char(c, in.version());
    }
    return out;
}

Value string_concat(Interpreter& in, const CallArgs& a)
{
    std::string s = this_string(in, a);
    for (const Value& v : a.args) {
        s += in.to_string(v);
        in.check_string(s.size());
    }
    return s;
}

Value string_index_of(Interpreter& in, const CallArgs& a)
{
    if (a.size() == 0) return Value();
    auto chars = decode_chars(this_string(in, a), in.version());
    auto needle = decode_chars(in.to_string(a[0]), in.version());
    double start = std::max(0.0, arg_number(in, a, 1, 0));
    if (start > static_cast<double>(chars.size())) return -1.0;
    auto it = std::search(chars.begin() + static_cast<long>(start), chars.end(), needle.begin(), needle.end());
    in.charge(chars.size());
    if (it == chars.end() && !needle.empty()) return -1.0;
    return static_cast<double>(it - chars.begin());
}

Value string_last_index_of(Interpreter& in, const CallArgs& a)
{
    if (a.size() == 0) return Value();
    auto chars = decode_chars(this_string(in, a), in.version());
    auto needle = decode_chars(in.to_string(a[0]), in.version());
    double start = arg_number(in, a, 1, static_cast<double>(chars.size()));
    if (start < 0) return -1.0;
    if (needle.size() > chars.size()) return -1.0;
    size_t from = static_cast<size_t>(std::min(start, static_cast<double>(chars.size() - needle.size())));
    in.charge(chars.size());
    for (size_t i = from + 1; i-- > 0;)
        if (std::equal(needle.begin(), needle.end(), chars.begin() + static_cast<long>(i))) return static_cast<double>(i);
    return -1.0;
}

Value string_slice(Interpreter& in, const CallArgs& a)
{
    if (a.size() == 0) return Value();
    auto chars = decode_chars(this_string(in, a), in.version());
    double n = static_cast<double>(chars.size());
    double from = arg_number(in, a, 0, 0);
    double to = arg_number(in, a, 1, n);
    if (from < 0) from = std::max(0.0, n + from);
    if (to < 0) to = std::max(0.0, n + to);
    from = std::min(from, n);
    to = std::min(to, n);
    if (to <= from) return "";
    return encode_chars(chars, static_cast<size_t>(from), static_cast<size_t>(to), in.version());
}

Value string_substring(Interpreter& in, const CallArgs& a)
{
    if (a.size() == 0) return Value();
    auto chars = decode_chars(this_string(in, a), in.version());
    double n = static_cast<double>(chars.size());
    double from = std::clamp(arg_number(in, a, 0, 0), 0.0, n);
    double to = std::clamp(arg_number(in, a, 1, n), 0.0, n);
    if (to < from) std::swap(from, to);
    return encode_chars(chars, static_cast<size_t>(from), static_cast<size_t>(to), in.version());
}

Value string_substr(Interpreter& in, const CallArgs& a)
{
    if (a.size() == 0) return Value();
    auto chars = decode_chars(this_string(in, a), in.version());
    double n = static_cast<double>(chars.size());
    double from = arg_number(in, a, 0, 0);
    if (from < 0) from = std::max(0.0, n + from);
    from = std::min(from, n);
    double count = arg_number(in, a, 1, n);
    if (count < 0) count = std::max(0.0, n + count - from);
    double to = std::min(n, from + count);
    if (to <= from) return "";
    return encode_chars(chars, static_cast<size_t>(from), static_cast<size_t>(to), in.version());
}

Value string_split(Interpreter& in, const CallArgs& a)
{
    std::string s = this_string(in, a);
    ArrayObject* out = in.new_array();
    // Flash 5 splits at commas when no separator is given, and not at all on an empty one.
    bool old = in.version() < 6;
    if ((a.size() == 0 || a[0].is_undefined()) && !old) {
        out->push(s);
        return out;
    }
    std::string sep = a.size() == 0 || a[0].is_undefined() ? std::string(",") : in.to_string(a[0]);
    double limit = a.size() > 1 && !a[1].is_undefined() ? in.to_number(a[1]) : 1e18;
    auto full = [&] { return static_cast<double>(out->length()) >= limit; };
    if (sep.empty() && old) {
        if (!full()) out->push(s);
        return out;
    }
    if (sep.empty()) {
        auto chars = decode_chars(s, in.version());
        in.charge(chars.size());
        for (uint32_t c : chars) {
            if (full()) break;
            out->push(encode_char(c, in.version()));
        }
        return out;
    }
    size_t start = 0;
    for (;;) {
        if (full()) break;
        in.charge(1);
        size_t at = s.find(sep, start);
        if (at == std::string::npos) {
            out->push(s.substr(start));
            break;
        }
        out->push(s.substr(start, at - start));
        start = at + sep.size();
    }
    return out;
}

Value string_to_lower(Interpreter& in, const CallArgs& a)
{
    auto chars = decode_chars(this_string(in, a), in.version());
    for (auto& c : chars)
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7)) c += 32;
    return encode_chars(chars, 0, chars.size(), in.version());
}

Value string_to_upper(Interpreter& in, const CallArgs& a)
{
    auto chars = decode_chars(this_string(in, a), in.version());
    for (auto& c : chars)
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 32;
    return encode_chars(chars, 0, chars.size(), in.version());
}

}  // namespace

void install_string_builtins(Interpreter& in)
{
    in.protos.string = in.new_object();
    Object* proto = in.protos.string;
    FunctionObject* ctor = add_class(in, "String", string_ctor, proto);
    add_method(in, proto, "toString", string_value_of);
    add_method(in, proto, "valueOf", string_value_of);
    add_method(in, proto, "charAt", string_char_at);
    add_method(in, proto, "charCodeAt", string_char_code_at);
    add_method(in, proto, "concat", string_concat);
    add_method(in, proto, "indexOf", string_index_of);
    add_method(in, proto, "lastIndexOf", string_last_index_of);
    add_method(in, proto, "slice", string_slice);
    add_method(in, proto, "substring", string_substring);
    add_method(in, proto, "substr", string_substr);
    add_method(in, proto, "split", string_split);
    add_method(in, proto, "toLowerCase", string_to_lower);
    add_method(in, proto, "toUpperCase", string_to_upper);
    add_method(in, ctor, "fromCharCode", string_from_char_code);
}

}  // namespace swf::avm1
