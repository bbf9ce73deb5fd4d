#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace swf::avm1 {

class Object;

struct Null {};

// One AVM1 value. Objects are owned by the interpreter's heap; a Value only points at them.
class Value {
public:
    enum class Type : uint8_t { Undefined, Null, Boolean, Number, String, Object };

    Value() = default;
    Value(Null) : v_(Null{}) {}
    Value(bool b) : v_(b) {}
    Value(double d) : v_(d) {}
    Value(int i) : v_(static_cast<double>(i)) {}
    Value(std::string s) : v_(std::move(s)) {}
    Value(std::string_view s) : v_(std::string(s)) {}
    Value(const char* s) : v_(std::string(s)) {}
    // A null pointer is undefined, so lookups that find nothing can return their pointer directly.
    Value(Object* o) { if (o) v_ = o; }

    Type type() const { return static_cast<Type>(v_.index()); }
    bool is_undefined() const { return type() == Type::Undefined; }
    bool is_null() const { return type() == Type::Null; }
    bool is_nullish() const { return type() <= Type::Null; }
    bool is_boolean() const { return type() == Type::Boolean; }
    bool is_number() const { return type() == Type::Number; }
    bool is_string() const { return type() == Type::String; }
    bool is_object() const { return type() == Type::Object; }
    bool is_primitive() const { return type() != Type::Object; }

    bool boolean() const { return std::get<bool>(v_); }
    double number() const { return std::get<double>(v_); }
    const std::string& string() const { return std::get<std::string>(v_); }
    Object* object() const { return is_object() ? std::get<Object*>(v_) : nullptr; }

    // Same type and same contents (numbers compared as doubles, so NaN != NaN).
    bool strict_equals(const Value& other) const;

private:
    std::variant<std::monostate, Null, bool, double, std::string, Object*> v_;
};

// Conversions of primitives that need no interpreter. `version` is the SWF version of the
// running code, which changes several of them.
double string_to_number(std::string_view s, int version);
std::string number_to_string(double d);
// Number formatting in radix 2..36 as Number.prototype.toString(radix) does it.
std::string number_to_radix_string(double d, int radix);
bool to_boolean(const Value& v, int version);
int32_t to_int32(double d);
uint32_t to_uint32(double d);
// Integer conversion used by most builtins' index arguments: NaN → 0, truncation towards zero,
// clamped to the int32 range.
int32_t to_integer_clamped(double d);

std::string ascii_lower(std::string_view s);
bool equals_ignore_case(std::string_view a, std::string_view b);

}  // namespace swf::avm1
