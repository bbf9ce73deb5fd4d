#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace swf::avm1 {

// escape(): every byte that is not a letter or digit becomes %XX.
std::string url_escape(std::string_view s);
// unescape(): %XX becomes its byte; with `plus_is_space`, + becomes a space (form data).
std::string url_unescape(std::string_view s, bool plus_is_space = false);
// "a=1&b=two%20words" → {{"a", "1"}, {"b", "two words"}}; empty names are skipped.
std::vector<std::pair<std::string, std::string>> decode_form(std::string_view text);

}  // namespace swf::avm1
