// Array and its methods. Methods work on any object through "length" and index properties,
// with a fast path for real arrays.
#include <algorithm>
#include <cmath>

#include "swf/core/avm1/frame.h"

namespace swf::avm1 {

namespace {

enum SortFlags : uint32_t { CaseInsensitive = 1, Descending = 2, UniqueSort = 4, ReturnIndexedArray = 8, Numeric = 16 };

ArrayObject* as_array(Object* o) { return dynamic_cast<ArrayObject*>(o); }

size_t length_of(Interpreter& in, Object* o)
{
    if (auto* a = as_array(o)) return a->length();
    double n = in.to_number(in.get(o, "length"));
    return std::isnan(n) || n < 0 ? 0 : static_cast<size_t>(std::min(n, static_cast<double>(ArrayObject::kMaxDense)));
}

Value element(Interpreter& in, Object* o, size_t i)
{
    if (auto* a = as_array(o)) return a->at(i);
    return in.get(o, std::to_string(i));
}

Value array_ctor(Interpreter& in, const CallArgs& a)
{
    ArrayObject* arr = in.make<ArrayObject>(a.constructing && a.this_obj ? a.this_obj->proto() : in.protos.array);
    if (a.size() == 1 && a[0].is_number()) {
        double n = a[0].number();
        if (n >= 0 && n < static_cast<double>(ArrayObject::kMaxDense)) arr->set_length(static_cast<size_t>(n));
    } else {
        for (const Value& v : a.args) arr->push(v);
    }
    return arr;
}

Value array_push(Interpreter& in, const CallArgs& a)
{
    if (auto* arr = as_array(a.this_obj)) {
        for (const Value& v : a.args) arr->push(v);
        return static_cast<double>(arr->length());
    }
    return Value();
}

Value array_pop(Interpreter&, const CallArgs& a)
{
    auto* arr = as_array(a.this_obj);
    if (!arr || arr->length() == 0) return Value();
    Value v = arr->at(arr->length() - 1);
    arr->set_length(arr->length() - 1);
    return v;
}

Value array_shift(Interpreter& in, const CallArgs& a)
{
    auto* arr = as_array(a.this_obj);
    if (!arr || arr->length() == 0) return Value();
    in.charge(arr->length());
    Value v = arr->at(0);
    arr->elements().erase(arr->elements().begin());
    return v;
}

Value array_unshift(Interpreter& in, const CallArgs& a)
{
    auto* arr = as_array(a.this_obj);
    if (!arr) return Value();
    in.charge(arr->length());
    auto& e = arr->elements();
    e.insert(e.begin(), a.args.begin(), a.args.end());
    if (e.size() > ArrayObject::kMaxDense) e.resize(ArrayObject::kMaxDense);
    return static_cast<double>(arr->length());
}

std::string join(Interpreter& in, Object* o, const std::string& sep)
{
    size_t n = length_of(in, o);
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        in.charge(1);
        if (i) out += sep;
        Value v = element(in, o, i);
        if (!v.is_undefined()) out += in.to_string(v);
        else if (in.version() >= 7) out += "undefined";
        in.check_string(out.size());
    }
    return out;
}

Value array_join(Interpreter& in, const CallArgs& a)
{
    if (!a.this_obj) return Value();
    // A separator given as undefined is converted like any other value.
    return join(in, a.this_obj, a.size() ? in.to_string(a[0]) : std::string(","));
}

Value array_to_string(Interpreter& in, const CallArgs& a)
{
    if (!a.this_obj) return Value();
    return join(in, a.this_obj, ",");
}

Value array_reverse(Interpreter&, const CallArgs& a)
{
    if (auto* arr = as_array(a.this_obj)) std::reverse(arr->elements().begin(), arr->elements().end());
    return a.this_obj;
}

Value array_concat(Interpreter& in, const CallArgs& a)
{
    ArrayObject* out = in.new_array();
    auto append = [&](const Value& v) {
        if (auto* arr = as_array(v.object()); arr && arr->object_class() == ObjectClass::Array) {
            in.charge(arr->length());
            for (size_t i = 0; i < arr->length(); ++i) out->push(arr->at(i));
        } else {
            out->push(v);
        }
    };
    append(a.this_obj);
    for (const Value& v : a.args) append(v);
    return out;
}

size_t clamp_index(Interpreter& in, const Value& v, size_t length, size_t fallback)
{
    if (v.is_undefined()) return fallback;
    double d = in.to_number(v);
    if (std::isnan(d)) d = 0;
    d = std::trunc(d);
    if (d < 0) d = std::max(0.0, static_cast<double>(length) + d);
    return static_cast<size_t>(std::min(d, static_cast<double>(length)));
}

Value array_slice(Interpreter& in, const CallArgs& a)
{
    ArrayObject* out = in.new_array();
    if (!a.this_obj) return out;
    size_t n = length_of(in, a.this_obj);
    size_t from = clamp_index(in, a[0], n, 0);
    size_t to = clamp_index(in, a[1], n, n);
    in.charge(to > from ? to - from : 0);
    for (size_t i = from; i < to; ++i) out->push(element(in, a.this_obj, i));
    return out;
}

Value array_splice(Interpreter& in, const CallArgs& a)
{
    auto* arr = as_array(a.this_obj);
    if (!arr || a.size() == 0) return Value();
    size_t n = arr->length();
    size_t from = clamp_index(in, a[0], n, 0);
    size_t count = n - from;
    if (a.size() > 1) {
        double c = in.to_number(a[1]);
        count = std::isnan(c) || c < 0 ? 0 : static_cast<size_t>(std::min(c, static_cast<double>(n - from)));
    }
    in.charge(n);
    ArrayObject* removed = in.new_array();
    auto& e = arr->elements();
    for (size_t i = from; i < from + count; ++i) removed->push(arr->at(i));
    e.erase(e.begin() + static_cast<long>(from), e.begin() + static_cast<long>(from + count));
    if (a.size() > 2) e.insert(e.begin() + static_cast<long>(from), a.args.begin() + 2, a.args.end());
    if (e.size() > ArrayObject::kMaxDense) e.resize(ArrayObject::kMaxDense);
    return removed;
}

// Compares two elements as sort() with the given flags does: -1, 0 or 1.
int compare_values(Interpreter& in, const Value& x, const Value& y, uint32_t flags, FunctionObject* compare)
{
    if (compare) {
        Value args[2] = {x, y};
        double r = in.to_number(in.call(compare, nullptr, args));
        return r < 0 ? -1 : r > 0 ? 1 : 0;
    }
    if (flags & Numeric) {
        // Numbers before what is no number; two of those compare as strings.
        double a = in.to_number(x), b = in.to_number(y);
        if (a < b) return -1;
        if (a > b) return 1;
        if (std::isnan(a) != std::isnan(b)) return std::isnan(a) ? 1 : -1;
        if (!std::isnan(a)) return 0;
    }
    std::string a = in.to_string(x), b = in.to_string(y);
    if (flags & CaseInsensitive) {
        a = ascii_lower(a);
        b = ascii_lower(b);
    }
    return a < b ? -1 : a > b ? 1 : 0;
}

// Sorts by the elements, or by their fields in order (sortOn): the first that differs decides.
Value sort_with(Interpreter& in, ArrayObject* arr, uint32_t flags, FunctionObject* compare,
                const std::vector<std::string>* fields)
{
    size_t n = arr->length();
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    size_t width = fields ? fields->size() : 1;
    // Charged before the keys are made, so that a huge list of fields stops the script first.
    in.charge(static_cast<uint64_t>(n) * width * (1 + static_cast<uint64_t>(std::log2(n + 1))));
    std::vector<Value> keys(n * width);
    for (size_t i = 0; i < n; ++i) {
        Value v = arr->at(i);
        for (size_t f = 0; f < width; ++f) keys[i * width + f] = fields ? in.get_member(v, (*fields)[f]) : v;
    }
    bool equal_found = false;
    auto less = [&](size_t i, size_t j) {
        for (size_t f = 0; f < width; ++f) {
            const Value& x = keys[i * width + f];
            const Value& y = keys[j * width + f];
            int c;
            // Undefined sorts last, as Flash Player does without a compare function.
            if (!compare && (x.is_undefined() || y.is_undefined()))
                c = x.is_undefined() == y.is_undefined() ? 0 : x.is_undefined() ? 1 : -1;
            else
                c = compare_values(in, x, y, flags, compare);
            if (c != 0) return (flags & Descending) ? c > 0 : c < 0;
        }
        equal_found = true;
        return false;
    };
    std::stable_sort(order.begin(), order.end(), less);
    if ((flags & UniqueSort) && equal_found) return 0.0;
    if (flags & ReturnIndexedArray) {
        ArrayObject* out = in.new_array();
        for (size_t i : order) out->push(static_cast<double>(i));
        return out;
    }
    std::vector<std::optional<Value>> sorted;
    sorted.reserve(n);
    for (size_t i : order) sorted.push_back(arr->at(i));
    arr->elements() = std::move(sorted);
    return arr;
}

Value array_sort(Interpreter& in, const CallArgs& a)
{
    auto* arr = as_array(a.this_obj);
    if (!arr) return Value();
    FunctionObject* compare = dynamic_cast<FunctionObject*>(a[0].object());
    uint32_t flags = 0;
    if (compare && a.size() > 1) flags = to_uint32(in.to_number(a[1]));
    else if (!compare && a.size() > 0 && a[0].is_number()) flags = to_uint32(a[0].number());
    return sort_with(in, arr, flags, compare, nullptr);
}

Value array_sort_on(Interpreter& in, const CallArgs& a)
{
    auto* arr = as_array(a.this_obj);
    if (!arr || a.size() == 0) return Value();
    // A list of field names sorts by each in turn.
    std::vector<std::string> fields;
    if (auto* names = as_array(a[0].object()); names && a[0].object()->object_class() == ObjectClass::Array)
        for (size_t i = 0; i < names->length(); ++i) fields.push_back(in.to_string(names->at(i)));
    else
        fields.push_back(in.to_string(a[0]));
    uint32_t flags = a.size() > 1 ? to_uint32(in.to_number(a[1])) : 0;
    return sort_with(in, arr, flags, nullptr, &fields);
}

}  // namespace

void install_array_builtins(Interpreter& in)
{
    in.protos.array = in.new_object();
    Object* proto = in.protos.array;
    FunctionObject* ctor = add_class(in, "Array", array_ctor, proto);
    in.protos.array_ctor = ctor;
    add_method(in, proto, "push", array_push);
    add_method(in, proto, "pop", array_pop);
    add_method(in, proto, "shift", array_shift);
    add_method(in, proto, "unshift", array_unshift);
    add_method(in, proto, "join", array_join);
    add_method(in, proto, "toString", array_to_string);
    add_method(in, proto, "reverse", array_reverse);
    add_method(in, proto, "concat", array_concat);
    add_method(in, proto, "slice", array_slice);
    add_method(in, proto, "splice", array_splice);
    add_method(in, proto, "sort", array_sort);
    add_method(in, proto, "sortOn", array_sort_on);
    uint32_t constant = prop::DontEnum | prop::DontDelete | prop::ReadOnly;
    ctor->define("CASEINSENSITIVE", 1, constant);
    ctor->define("DESCENDING", 2, constant);
    ctor->define("UNIQUESORT", 4, constant);
    ctor->define("RETURNINDEXEDARRAY", 8, constant);
    ctor->define("NUMERIC", 16, constant);
}

}  // namespace swf::avm1
