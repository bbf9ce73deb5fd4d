#include "swf/core/avm1/text.h"

namespace swf::avm1 {

std::vector<uint32_t> decode_chars(std::string_view s, int version)
{
    std::vector<uint32_t> out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        auto b = static_cast<uint8_t>(s[i]);
        if (version < 6 || b < 0x80) {
            out.push_back(b);
            ++i;
            continue;
        }
        int extra = b >= 0xF0 && b < 0xF8 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
        uint32_t c = extra == 3 ? b & 0x07u : extra == 2 ? b & 0x0Fu : b & 0x1Fu;
        bool ok = extra > 0;
        if (ok) {
            for (int k = 1; k <= extra; ++k) {
                if (i + static_cast<size_t>(k) >= s.size()) { ok = false; break; }
                auto cb = static_cast<uint8_t>(s[i + static_cast<size_t>(k)]);
                if ((cb & 0xC0) != 0x80) { ok = false; break; }
                c = (c << 6) | (cb & 0x3Fu);
            }
        }
        if (!ok) {
            out.push_back(b);
            ++i;
            continue;
        }
        out.push_back(c);
        i += static_cast<size_t>(extra) + 1;
    }
    return out;
}

std::string encode_char(uint32_t c, int version)
{
    std::string out;
    if (version < 6 || c < 0x80) {
        out += static_cast<char>(c & 0xFF);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | ((c >> 18) & 0x07));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

std::string encode_chars(const std::vector<uint32_t>& chars, size_t from, size_t to, int version)
{
    std::string out;
    for (size_t i = from; i < to && i < chars.size(); ++i) out += encode_char(chars[i], version);
    return out;
}

std::string windows_1252_to_utf8(std::string_view bytes)
{
    static const uint16_t high[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x8D,   0x017D, 0x8F,
                                      0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    std::string out;
    for (char ch : bytes) {
        auto c = static_cast<uint8_t>(ch);
        out += encode_char(c >= 0x80 && c < 0xA0 ? high[c - 0x80] : c, 6);
    }
    return out;
}

}  // namespace swf::avm1
