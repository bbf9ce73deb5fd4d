#include "swf/core/script/text_encoding.h"

#include <iconv.h>

#include <cstdint>

#include "swf/core/avm1/text.h"

namespace swf::script {
namespace {

void append_utf8(std::string& out, std::uint32_t c)
{
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

bool valid_utf8(const std::string& s)
{
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
        if (extra < 0 || (extra == 1 && c < 0xC2) || i + extra >= s.size() + (extra == 0))
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += extra + 1;
    }
    return true;
}

std::string from_utf16(const std::string& s, bool little_endian)
{
    std::string out;
    for (std::size_t i = 2; i + 1 < s.size(); i += 2) {
        auto lo = static_cast<unsigned char>(s[i]), hi = static_cast<unsigned char>(s[i + 1]);
        std::uint32_t unit = little_endian ? (hi << 8 | lo) : (lo << 8 | hi);
        if (unit >= 0xD800 && unit < 0xDC00 && i + 3 < s.size()) {
            auto lo2 = static_cast<unsigned char>(s[i + 2]), hi2 = static_cast<unsigned char>(s[i + 3]);
            std::uint32_t low = little_endian ? (hi2 << 8 | lo2) : (lo2 << 8 | hi2);
            if (low >= 0xDC00 && low < 0xE000) {
                unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        append_utf8(out, unit);
    }
    return out;
}

// Whether every byte above 0x7F is part of a Shift-JIS double-byte character.
bool shift_jis_pairs(const std::string& s)
{
    bool any = false;
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80)
            continue;
        bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (!lead || i + 1 >= s.size())
            return false;
        auto t = static_cast<unsigned char>(s[i + 1]);
        if (t < 0x40 || t > 0xFC || t == 0x7F)
            return false;
        ++i;
        any = true;
    }
    return any;
}

std::string from_shift_jis(const std::string& s)
{
    iconv_t cd = iconv_open("UTF-8", "SHIFT_JIS");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return avm1::windows_1252_to_utf8(s);
    std::string out(s.size() * 3 + 4, '\0');
    char* in = const_cast<char*>(s.data());
    std::size_t in_left = s.size();
    char* dst = out.data();
    std::size_t out_left = out.size();
    std::size_t result = iconv(cd, &in, &in_left, &dst, &out_left);
    iconv_close(cd);
    if (result == std::size_t(-1))
        return avm1::windows_1252_to_utf8(s);
    out.resize(out.size() - out_left);
    return out;
}

} // namespace

std::string decode_text(const std::string& bytes, bool codepage)
{
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        return bytes.substr(3);
    if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0)
        return from_utf16(bytes, true);
    if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFE\xFF") == 0)
        return from_utf16(bytes, false);
    if (!codepage || valid_utf8(bytes))
        return bytes;
    return shift_jis_pairs(bytes) ? from_shift_jis(bytes) : avm1::windows_1252_to_utf8(bytes);
}

} // namespace swf::script
