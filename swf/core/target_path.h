#pragma once

#include <string_view>

namespace swf {

class DisplayObject;
class MovieClip;

// Resolves a target path from `from`: slash syntax ("/", "/a/b", "a/b", "../b") or dot syntax
// ("_root.a.b", "_parent.b", "this.a", "_level0.a"). Instance names are compared without
// regard to case unless `case_sensitive` (SWF 7 and later). Null when nothing is there.
DisplayObject* resolve_target(MovieClip& from, std::string_view path, bool case_sensitive = false);

} // namespace swf
