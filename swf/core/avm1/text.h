#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace swf::avm1 {

// Strings of SWF 6 and later are UTF-8 and their methods count characters; older movies'
// strings are bytes. Invalid UTF-8 reads as one character per byte.
std::vector<uint32_t> decode_chars(std::string_view s, int version);
std::string encode_chars(const std::vector<uint32_t>& chars, size_t from, size_t to, int version);
std::string encode_char(uint32_t c, int version);
// Bytes in the Windows-1252 code page (what SWF 5 and older strings are on a Western
// system) as UTF-8.
std::string windows_1252_to_utf8(std::string_view bytes);

}  // namespace swf::avm1
