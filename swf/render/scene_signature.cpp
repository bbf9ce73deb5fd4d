#include "swf/render/scene_signature.h"

#include <cstring>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/text_field.h"

namespace swf {
namespace {

class Hash {
public:
    template <typename T>
    void add(const T& value)
    {
        static_assert(std::is_trivially_copyable_v<T>);
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        for (unsigned char b : bytes)
            m_value = (m_value ^ b) * 0x100000001B3ull; // FNV-1a
    }
    std::uint64_t value() const { return m_value; }

private:
    std::uint64_t m_value = 0xCBF29CE484222325ull;
};

void add_field(Hash& h, TextField& f)
{
    h.add(f.chars().size());
    for (const TextField::Char& c : f.chars()) {
        h.add(c.code);
        h.add(c.size);
        h.add(c.color);
        h.add(c.face);
        h.add(std::uint8_t(c.bold | c.italic << 1 | c.underline << 2));
    }
    h.add(f.bounds);
    h.add(f.caret ? std::int64_t(*f.caret) : std::int64_t(-1));
    h.add(f.text_color);
    h.add(f.border_color);
    h.add(f.background_color);
    h.add(std::uint8_t(f.border | f.background << 1 | f.password << 2 | f.multiline << 3 | f.word_wrap << 4
                       | f.embed_fonts << 5 | f.html << 6));
    h.add(f.scroll());
    h.add(f.hscroll());
}

void add_object(Hash& h, const DisplayObject& o, int nesting)
{
    h.add(o.id());
    h.add(o.character());
    h.add(o.matrix);
    h.add(o.color_transform);
    h.add(o.ratio);
    h.add(o.clip_depth);
    h.add(o.visible);
    if (!o.visible || nesting > 256)
        return;
    if (TextField* field = const_cast<DisplayObject&>(o).as_text_field())
        add_field(h, *field);
    const DisplayList* children = nullptr;
    if (const MovieClip* clip = o.as_clip())
        children = &clip->children();
    else if (o.kind() == DisplayObject::Kind::Button)
        children = &static_cast<const ButtonInstance&>(o).children();
    if (!children)
        return;
    h.add(children->size());
    for (const auto& [depth, child] : *children) {
        h.add(depth);
        add_object(h, *child, nesting + 1);
    }
}

} // namespace

std::uint64_t scene_signature(const Player& player)
{
    Hash h;
    h.add(player.background());
    h.add(player.stage());
    for (const auto& [number, level] : player.levels()) {
        h.add(number);
        add_object(h, *level, 0);
    }
    return h.value();
}

} // namespace swf
