#pragma once

#include <string>

namespace swf::script {

// Text a movie loaded (variables, XML), as UTF-8. A byte order mark picks UTF-8 or UTF-16.
// Otherwise the bytes are UTF-8, unless `codepage` (System.useCodepage) is set and they are
// not valid UTF-8: then they are read in the system's code page, which is Shift-JIS when the
// bytes are Shift-JIS double-byte characters and Windows-1252 otherwise.
std::string decode_text(const std::string& bytes, bool codepage);

} // namespace swf::script
