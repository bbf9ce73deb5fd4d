#include "swf/core/button_instance.h"

#include <algorithm>
#include <cmath>

#include "swf/core/movie_clip.h"
#include "swf/core/player.h"
#include "swf/parser/tag_codes.h"

namespace swf {
namespace {

constexpr int kMaxHitNesting = 8;

Rect union_rect(const Rect& a, const Rect& b)
{
    if (a.width() <= 0 && a.height() <= 0 && a == Rect{})
        return b;
    if (b == Rect{})
        return a;
    return {std::min(a.x_min, b.x_min), std::max(a.x_max, b.x_max), std::min(a.y_min, b.y_min), std::max(a.y_max, b.y_max)};
}

Rect transform_rect(const Matrix& m, const Rect& r)
{
    if (r == Rect{})
        return r;
    Point corners[4] = {m.apply({double(r.x_min), double(r.y_min)}), m.apply({double(r.x_max), double(r.y_min)}),
                        m.apply({double(r.x_min), double(r.y_max)}), m.apply({double(r.x_max), double(r.y_max)})};
    double x0 = corners[0].x, x1 = x0, y0 = corners[0].y, y1 = y0;
    for (const Point& p : corners) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    return {std::int32_t(std::floor(x0)), std::int32_t(std::ceil(x1)), std::int32_t(std::floor(y0)), std::int32_t(std::ceil(y1))};
}

// The placements of a sprite's first frame (character and matrix by depth).
template <typename F>
void for_each_first_frame_placement(const Library& library, const SpriteCharacter& sprite, F&& f)
{
    if (sprite.timeline->frames.empty())
        return;
    std::map<int, std::pair<std::uint16_t, Matrix>> placed;
    for (const Tag& tag : sprite.timeline->frames[0]) {
        PlaceObject place;
        if ((tag.code == std::uint16_t(TagCode::PlaceObject) || tag.code == std::uint16_t(TagCode::PlaceObject2))
            && decode_place_object(tag, library.movie->header.version, place)) {
            auto& entry = placed[place.depth];
            if (place.character)
                entry.first = *place.character;
            if (place.matrix)
                entry.second = *place.matrix;
        }
    }
    for (const auto& [depth, entry] : placed)
        f(library.find(entry.first), entry.second);
}

} // namespace

bool character_hit(const Library& library, const Character* c, Point p, int nesting)
{
    if (!c || nesting > kMaxHitNesting)
        return false;
    switch (c->type) {
    case CharacterType::Shape: {
        const auto* shape = static_cast<const ShapeCharacter*>(c);
        const Rect& b = shape->def.bounds;
        if (p.x < b.x_min || p.x > b.x_max || p.y < b.y_min || p.y > b.y_max)
            return false;
        return geometry_contains(shape->geometry(), p);
    }
    case CharacterType::Sprite: {
        bool hit = false;
        for_each_first_frame_placement(library, *static_cast<const SpriteCharacter*>(c),
                                       [&](const Character* child, const Matrix& m) {
                                           hit = hit || character_hit(library, child, m.inverted().apply(p), nesting + 1);
                                       });
        return hit;
    }
    case CharacterType::Text: {
        const Rect& b = static_cast<const TextCharacter*>(c)->def.bounds;
        return p.x >= b.x_min && p.x <= b.x_max && p.y >= b.y_min && p.y <= b.y_max;
    }
    case CharacterType::EditText: {
        const Rect& b = static_cast<const EditTextCharacter*>(c)->def.bounds;
        return p.x >= b.x_min && p.x <= b.x_max && p.y >= b.y_min && p.y <= b.y_max;
    }
    case CharacterType::MorphShape: {
        const Rect& b = static_cast<const MorphShapeCharacter*>(c)->def.start_bounds;
        return p.x >= b.x_min && p.x <= b.x_max && p.y >= b.y_min && p.y <= b.y_max;
    }
    case CharacterType::Button: {
        for (const ButtonRecord& r : static_cast<const ButtonCharacter*>(c)->def.records)
            if ((r.states & ButtonRecord::HitTest)
                && character_hit(library, library.find(r.character), r.matrix.inverted().apply(p), nesting + 1))
                return true;
        return false;
    }
    default: return false;
    }
}

Rect character_bounds(const Library& library, const Character* c, int nesting)
{
    if (!c || nesting > kMaxHitNesting)
        return {};
    switch (c->type) {
    case CharacterType::Shape: return static_cast<const ShapeCharacter*>(c)->def.bounds;
    case CharacterType::Text: return static_cast<const TextCharacter*>(c)->def.bounds;
    case CharacterType::EditText: return static_cast<const EditTextCharacter*>(c)->def.bounds;
    case CharacterType::MorphShape: return static_cast<const MorphShapeCharacter*>(c)->def.start_bounds;
    case CharacterType::Sprite: {
        Rect r;
        for_each_first_frame_placement(library, *static_cast<const SpriteCharacter*>(c),
                                       [&](const Character* child, const Matrix& m) {
                                           r = union_rect(r, transform_rect(m, character_bounds(library, child, nesting + 1)));
                                       });
        return r;
    }
    default: return {};
    }
}

ButtonInstance::ButtonInstance(Player& player, const ButtonCharacter* button, const Library* library)
    : DisplayObject(player, Kind::Button, button, library)
{
}

ButtonInstance::~ButtonInstance()
{
    m_children.clear();
}

std::uint8_t ButtonInstance::shown_state() const
{
    switch (m_state) {
    case MouseState::OverUp: return ButtonRecord::Over;
    case MouseState::OverDown: return ButtonRecord::Down;
    case MouseState::Idle:
    case MouseState::OutDown: break;
    }
    return ButtonRecord::Up;
}

void ButtonInstance::set_mouse_state(MouseState state)
{
    if (state == m_state)
        return;
    std::uint8_t before = shown_state();
    player().sound_events().button_state_changed(*this, int(m_state), int(state));
    m_state = state;
    if (shown_state() != before)
        build_children();
}

void ButtonInstance::build_children()
{
    std::uint8_t shown = shown_state();
    const ButtonCharacter& b = button();
    std::map<int, const ButtonRecord*> wanted;
    for (const ButtonRecord& r : b.def.records)
        if (r.states & shown)
            wanted[r.depth] = &r;
    for (auto it = m_children.begin(); it != m_children.end();) {
        auto w = wanted.find(it->first);
        const Character* c = it->second->character();
        if (w != wanted.end() && c && c->id == w->second->character) {
            ++it;
            continue;
        }
        std::unique_ptr<DisplayObject> doomed = std::move(it->second);
        it = m_children.erase(it);
        player().retire(std::move(doomed));
    }
    std::vector<std::uint64_t> created;
    for (const auto& [depth, r] : wanted) {
        if (m_children.count(depth))
            continue;
        std::unique_ptr<DisplayObject> child = player().instantiate(r->character, *this);
        if (!child)
            continue;
        child->depth = depth;
        child->matrix = r->matrix;
        child->color_transform = b.def.version == 1 && b.cxform ? *b.cxform : r->color_transform;
        child->m_parent = this;
        child->created_tick = player().tick_count();
        created.push_back(child->id());
        m_children[depth] = std::move(child);
    }
    for (std::uint64_t id : created)
        if (DisplayObject* o = player().find(id))
            player().object_created(*o);
}

Rect ButtonInstance::local_bounds() const
{
    Rect r;
    for (const ButtonRecord& rec : button().def.records)
        if (rec.states & (ButtonRecord::Up | ButtonRecord::Over | ButtonRecord::Down))
            r = union_rect(r, transform_rect(rec.matrix, character_bounds(*library(), library()->find(rec.character))));
    return r;
}

bool ButtonInstance::hit_test(Point local) const
{
    return character_hit(*library(), character(), local);
}

} // namespace swf
