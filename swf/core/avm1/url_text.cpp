#include "swf/core/avm1/url_text.h"

#include <cctype>
#include <cstdio>

namespace swf::avm1 {

std::string url_escape(std::string_view s)
{
    std::string out;
    for (unsigned char c : s) {
        if (std::isalnum(c)) {
            out += static_cast<char>(c);
        } else {
            char buf[4];
            std::snprintf(buf, sizeof buf, "%%%02X", c);
            out += buf;
        }
    }
    return out;
}

std::string url_unescape(std::string_view s, bool plus_is_space)
{
    auto hex = [](char c) {
        return c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    };
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size() && hex(s[i + 1]) >= 0 && hex(s[i + 2]) >= 0) {
            out += static_cast<char>(hex(s[i + 1]) * 16 + hex(s[i + 2]));
            i += 2;
        } else if (s[i] == '+' && plus_is_space) {
            out += ' ';
        } else {
            out += s[i];
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> decode_form(std::string_view text)
{
    std::vector<std::pair<std::string, std::string>> out;
    size_t start = 0;
    while (start <= text.size()) {
        size_t amp = text.find('&', start);
        if (amp == std::string_view::npos) amp = text.size();
        std::string_view pair = text.substr(start, amp - start);
        size_t eq = pair.find('=');
        std::string name = url_unescape(pair.substr(0, eq), true);
        std::string value = eq == std::string_view::npos ? std::string() : url_unescape(pair.substr(eq + 1), true);
        if (!name.empty()) out.emplace_back(std::move(name), std::move(value));
        start = amp + 1;
    }
    return out;
}

}  // namespace swf::avm1
