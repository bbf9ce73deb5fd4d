#include "swf/core/avm1/value.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace swf::avm1 {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool is_space(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Length of the longest decimal literal at the start of s ([+-]digits[.digits][e[+-]digits]),
// 0 when there is none.
size_t decimal_prefix(std::string_view s)
{
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    size_t digits = 0;
    while (i < s.size() && is_digit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && is_digit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t j = i + 1;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) ++j;
        if (j < s.size() && is_digit(s[j])) {
            while (j < s.size() && is_digit(s[j])) ++j;
            i = j;
        }
    }
    return i;
}

double parse_decimal(std::string_view s)
{
    std::string copy(s);
    return std::strtod(copy.c_str(), nullptr);
}

}  // namespace

bool Value::strict_equals(const Value& other) const
{
    if (type() != other.type()) return false;
    switch (type()) {
    case Type::Undefined:
    case Type::Null: return true;
    case Type::Boolean: return boolean() == other.boolean();
    case Type::Number: return number() == other.number();
    case Type::String: return string() == other.string();
    case Type::Object: return object() == other.object();
    }
    return false;
}

double string_to_number(std::string_view s, int version)
{
    if (version < 5) {
        // SWF 4 reads the longest number at the start and takes 0 when there is none.
        size_t i = 0;
        while (i < s.size() && is_space(s[i])) ++i;
        size_t n = decimal_prefix(s.substr(i));
        return n == 0 ? 0.0 : parse_decimal(s.substr(i, n));
    }
    if (s.empty()) return kNaN;
    if (version >= 6 && s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        uint32_t v = 0;
        for (size_t i = 2; i < s.size(); ++i) {
            int d = hex_digit(s[i]);
            if (d < 0) return kNaN;
            v = v * 16 + static_cast<uint32_t>(d);
        }
        return static_cast<int32_t>(v);
    }
    {
        // A leading zero without leading blanks makes an octal integer, wrapped to 32 bits.
        size_t i = (s[0] == '+' || s[0] == '-') ? 1 : 0;
        if (version >= 6 && s.size() > i + 1 && s[i] == '0') {
            uint32_t v = 0;
            bool octal = true;
            for (size_t j = i + 1; j < s.size() && octal; ++j) {
                if (s[j] < '0' || s[j] > '7') octal = false;
                else v = v * 8 + static_cast<uint32_t>(s[j] - '0');
            }
            if (octal) {
                double r = static_cast<int32_t>(v);
                return s[0] == '-' ? -r : r;
            }
        }
    }
    size_t i = 0;
    while (i < s.size() && is_space(s[i])) ++i;
    std::string_view rest = s.substr(i);
    size_t n = decimal_prefix(rest);
    if (n == 0 || n != rest.size()) return kNaN;
    return parse_decimal(rest);
}

std::string number_to_string(double d)
{
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    if (d == 0) return "0";
    // 15 significant digits, rounded half away from zero from the exact decimal expansion;
    // plain notation for exponents from -5 to 14, as Flash Player prints.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.39e", std::fabs(d));
    bool negative = d < 0;
    int exponent = std::atoi(std::strchr(buf, 'e') + 1);
    std::string digits = buf[0] + std::string(buf + 2, 14);
    if (buf[16] >= '5') {
        std::string rounded = digits;
        int i = 14;
        while (i >= 0 && rounded[static_cast<size_t>(i)] == '9') rounded[static_cast<size_t>(i--)] = '0';
        int rounded_exponent = exponent;
        if (i >= 0) {
            ++rounded[static_cast<size_t>(i)];
        } else {
            rounded.insert(rounded.begin(), '1');
            rounded.pop_back();
            ++rounded_exponent;
        }
        // Rounding the largest doubles up would leave the range (Number.MAX_VALUE): their digits are cut instead.
        std::string check = rounded.substr(0, 1) + "." + rounded.substr(1) + "e" + std::to_string(rounded_exponent);
        if (!std::isinf(std::strtod(check.c_str(), nullptr))) {
            digits = rounded;
            exponent = rounded_exponent;
        }
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    int k = static_cast<int>(digits.size());
    int n = exponent + 1;
    std::string out = negative ? "-" : "";
    if (k <= n && n <= 15) {
        out += digits;
        out.append(static_cast<size_t>(n - k), '0');
    } else if (0 < n && n <= 15) {
        out += digits.substr(0, static_cast<size_t>(n));
        out += '.';
        out += digits.substr(static_cast<size_t>(n));
    } else if (-5 < n && n <= 0) {
        out += "0.";
        out.append(static_cast<size_t>(-n), '0');
        out += digits;
    } else {
        out += digits.substr(0, 1);
        if (k > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'e';
        out += n - 1 >= 0 ? '+' : '-';
        out += std::to_string(std::abs(n - 1));
    }
    return out;
}

std::string number_to_radix_string(double d, int radix)
{
    if (radix == 10 || radix < 2 || radix > 36) return number_to_string(d);
    if (std::isnan(d)) return "NaN";
    if (std::isinf(d)) return d > 0 ? "Infinity" : "-Infinity";
    int32_t i = to_int32(d);
    bool negative = i < 0;
    uint32_t u = negative ? 0u - static_cast<uint32_t>(i) : static_cast<uint32_t>(i);
    std::string out;
    do {
        out.insert(out.begin(), "0123456789abcdefghijklmnopqrstuvwxyz"[u % static_cast<uint32_t>(radix)]);
        u /= static_cast<uint32_t>(radix);
    } while (u != 0);
    if (negative) out.insert(out.begin(), '-');
    return out;
}

bool to_boolean(const Value& v, int version)
{
    switch (v.type()) {
    case Value::Type::Undefined:
    case Value::Type::Null: return false;
    case Value::Type::Boolean: return v.boolean();
    case Value::Type::Number: return v.number() != 0 && !std::isnan(v.number());
    case Value::Type::String: {
        if (version >= 7) return !v.string().empty();
        double d = string_to_number(v.string(), version);
        return d != 0 && !std::isnan(d);
    }
    case Value::Type::Object: return true;
    }
    return false;
}

int32_t to_int32(double d)
{
    if (!std::isfinite(d)) return 0;
    double t = std::trunc(d);
    double m = std::fmod(t, 4294967296.0);
    if (m < 0) m += 4294967296.0;
    return static_cast<int32_t>(static_cast<uint32_t>(m));
}

uint32_t to_uint32(double d) { return static_cast<uint32_t>(to_int32(d)); }

int32_t to_integer_clamped(double d)
{
    if (std::isnan(d)) return 0;
    if (d >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (d <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(d);
}

std::string ascii_lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool equals_ignore_case(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace swf::avm1
