#include "swf/core/target_path.h"

#include "swf/core/movie_clip.h"

namespace swf {

DisplayObject* resolve_target(MovieClip& from, std::string_view path, bool case_sensitive)
{
    DisplayObject* current = &from;
    auto root_of = [](DisplayObject* o) {
        while (o->parent())
            o = o->parent();
        return o;
    };
    bool slash = path.find('/') != std::string_view::npos;
    if (slash && path.front() == '/') {
        current = root_of(current);
        path.remove_prefix(1);
    }
    char separator = slash ? '/' : '.';
    while (!path.empty() && current) {
        std::size_t end = path.find(separator);
        std::string_view token = path.substr(0, end);
        path = end == std::string_view::npos ? std::string_view() : path.substr(end + 1);
        if (token.empty() || token == "." || token == "this")
            continue;
        if (token == ".." || token == "_parent") {
            current = current->parent();
        } else if (token == "_root" || token == "_level0") {
            current = root_of(current);
        } else if (token.substr(0, 6) == "_level") {
            current = nullptr; // only level 0 exists
        } else {
            MovieClip* clip = current->as_clip();
            current = clip ? clip->child_by_name(token, case_sensitive) : nullptr;
        }
    }
    return current;
}

} // namespace swf
