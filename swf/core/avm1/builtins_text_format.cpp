// TextFormat, and the TextField methods that read and apply it.
#include <cmath>

#include "swf/core/avm1/frame.h"

namespace swf::avm1 {

namespace {

// The constructor's parameters in order; the rest start null too.
constexpr std::string_view kParameters[] = {"font", "size", "color", "bold", "italic", "underline", "url",
                                            "target", "align", "leftMargin", "rightMargin", "indent", "leading"};
constexpr std::string_view kOthers[] = {"blockIndent", "bullet", "tabStops"};

Value text_format_ctor(Interpreter& in, const CallArgs& a)
{
    if (!a.constructing || !a.this_obj) return Value();
    for (size_t i = 0; i < std::size(kParameters); ++i)
        in.set(a.this_obj, kParameters[i], i < a.size() ? a[i] : Value(Null{}));
    for (std::string_view name : kOthers) in.set(a.this_obj, name, Value(Null{}));
    return a.this_obj;
}

Object* new_text_format(Interpreter& in, const TextFormatValues& f)
{
    Object* out = in.make<Object>(in.protos.text_format);
    auto put = [&](std::string_view name, const auto& v) {
        in.set(out, name, v ? Value(*v) : Value(Null{}));
    };
    put("font", f.font);
    put("size", f.size);
    put("color", f.color);
    put("bold", f.bold);
    put("italic", f.italic);
    put("underline", f.underline);
    in.set(out, "url", Value(""));
    in.set(out, "target", Value(""));
    put("align", f.align);
    put("leftMargin", f.left_margin);
    put("rightMargin", f.right_margin);
    put("indent", f.indent);
    put("leading", f.leading);
    in.set(out, "blockIndent", Value(0.0));
    in.set(out, "bullet", Value(false));
    in.set(out, "tabStops", Value(in.new_array()));
    return out;
}

// The members of a TextFormat a script set (null and undefined leave a member as it is).
TextFormatValues read_text_format(Interpreter& in, Object* f)
{
    TextFormatValues out;
    auto given = [&](std::string_view name, Value& v) {
        v = in.get(f, name);
        return !v.is_undefined() && !v.is_null();
    };
    Value v;
    if (given("font", v)) out.font = in.to_string(v);
    if (given("size", v)) out.size = in.to_number(v);
    if (given("color", v)) out.color = in.to_number(v);
    if (given("bold", v)) out.bold = to_boolean(v, in.version());
    if (given("italic", v)) out.italic = to_boolean(v, in.version());
    if (given("underline", v)) out.underline = to_boolean(v, in.version());
    return out;
}

int index_arg(Interpreter& in, const Value& v)
{
    double d = in.to_number(v);
    return std::isfinite(d) ? static_cast<int>(std::clamp(std::trunc(d), -1.0, 2147483647.0)) : -1;
}

// getTextFormat(), (index) or (begin, end).
Value field_get_text_format(Interpreter& in, const CallArgs& a)
{
    ClipId field = in.clip_of(a.this_obj);
    if (!field || !in.display()) return Value();
    int begin = 0, end = 0x7FFFFFFF;
    if (a.size() >= 1) begin = std::max(0, index_arg(in, a[0])), end = begin + 1;
    if (a.size() >= 2) end = index_arg(in, a[1]);
    return new_text_format(in, in.display()->text_format(field, begin, end));
}

Value field_get_new_text_format(Interpreter& in, const CallArgs& a)
{
    ClipId field = in.clip_of(a.this_obj);
    if (!field || !in.display()) return Value();
    return new_text_format(in, in.display()->text_format(field, -1, -1));
}

// setTextFormat(format), (index, format) or (begin, end, format).
Value field_set_text_format(Interpreter& in, const CallArgs& a)
{
    ClipId field = in.clip_of(a.this_obj);
    if (!field || !in.display() || a.size() == 0) return Value();
    Object* format = a[a.size() - 1].object();
    if (!format) return Value();
    int begin = 0, end = 0x7FFFFFFF;
    if (a.size() == 2) begin = index_arg(in, a[0]), end = begin + 1;
    if (a.size() >= 3) begin = index_arg(in, a[0]), end = index_arg(in, a[1]);
    if (begin < 0) return Value();
    in.display()->set_text_format(field, begin, end, read_text_format(in, format));
    return Value();
}

Value field_set_new_text_format(Interpreter& in, const CallArgs& a)
{
    ClipId field = in.clip_of(a.this_obj);
    if (!field || !in.display() || !a[0].object()) return Value();
    in.display()->set_text_format(field, -1, -1, read_text_format(in, a[0].object()));
    return Value();
}

}  // namespace

void install_text_format_builtins(Interpreter& in)
{
    in.protos.text_format = in.new_object();
    add_class(in, "TextFormat", text_format_ctor, in.protos.text_format);
    Object* field = in.protos.text_field;
    add_method(in, field, "getTextFormat", field_get_text_format);
    add_method(in, field, "getNewTextFormat", field_get_new_text_format);
    add_method(in, field, "setTextFormat", field_set_text_format);
    add_method(in, field, "setNewTextFormat", field_set_new_text_format);
}

}  // namespace swf::avm1
