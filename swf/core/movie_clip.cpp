#include "swf/core/movie_clip.h"

#include <algorithm>

#include "swf/core/button_instance.h"
#include "swf/core/player.h"
#include "swf/parser/tag_codes.h"

namespace swf {

MovieClip::MovieClip(Player& player, const Character* sprite, std::shared_ptr<const TimelineDef> timeline)
    : DisplayObject(player, Kind::MovieClip, sprite), m_timeline(std::move(timeline))
{
    if (!m_timeline)
        m_timeline = std::make_shared<TimelineDef>(TimelineDef{{{}}, {}});
}

MovieClip::~MovieClip()
{
    // Children first, while this clip is still whole.
    m_children.clear();
}

DisplayObject* MovieClip::child_at_depth(int depth) const
{
    auto it = m_children.find(depth);
    return it == m_children.end() ? nullptr : it->second.get();
}

DisplayObject* MovieClip::child_by_name(std::string_view wanted, bool case_sensitive) const
{
    std::string lowered = case_sensitive ? std::string() : lower_ascii(wanted);
    for (const auto& [depth, child] : m_children) {
        if (case_sensitive ? child->name == wanted : lower_ascii(child->name) == lowered)
            return child.get();
    }
    return nullptr;
}

MovieClip::State MovieClip::snapshot() const
{
    State state;
    for (const auto& [depth, child] : m_children) {
        if (child->placed_by_script)
            continue;
        Placement p;
        p.character = child->character() ? child->character()->id : 0;
        p.matrix = child->matrix;
        p.color_transform = child->color_transform;
        p.ratio = child->ratio;
        p.name = child->name;
        p.clip_depth = child->clip_depth;
        p.clip_actions = child->clip_actions;
        state[depth] = std::move(p);
    }
    return state;
}

void MovieClip::apply_frame(State& state, int frame, std::vector<Bytes>* actions, std::vector<Bytes>* init_actions) const
{
    if (frame < 0 || frame >= frame_count())
        return;
    std::uint8_t version = player().swf_version();
    for (const Tag& tag : m_timeline->frames[frame]) {
        switch (static_cast<TagCode>(tag.code)) {
        case TagCode::PlaceObject:
        case TagCode::PlaceObject2: {
            PlaceObject place;
            if (!decode_place_object(tag, version, place))
                break;
            auto it = state.find(place.depth);
            bool replace = place.character.has_value();
            if (!place.move && it != state.end() && replace)
                state.erase(it), it = state.end();
            if (it == state.end()) {
                if (!replace)
                    break; // moving nothing
                it = state.emplace(place.depth, Placement{}).first;
            } else if (replace && place.character != it->second.character) {
                // A move with a new character swaps the character and keeps the rest.
                it->second.clip_actions.clear();
            }
            Placement& p = it->second;
            if (place.character)
                p.character = *place.character;
            if (place.matrix)
                p.matrix = *place.matrix;
            if (place.color_transform)
                p.color_transform = *place.color_transform;
            if (place.ratio)
                p.ratio = *place.ratio;
            if (place.name)
                p.name = std::string(*place.name);
            if (place.clip_depth)
                p.clip_depth = *place.clip_depth;
            if (!place.clip_actions.empty())
                p.clip_actions = place.clip_actions;
            break;
        }
        case TagCode::RemoveObject:
        case TagCode::RemoveObject2: {
            RemoveObject remove;
            if (decode_remove_object(tag, remove))
                state.erase(remove.depth);
            break;
        }
        case TagCode::DoAction:
            if (actions)
                actions->push_back(tag.body);
            break;
        case TagCode::DoInitAction: {
            DoInitAction init;
            if (init_actions && decode_do_init_action(tag, init))
                init_actions->push_back(init.actions);
            break;
        }
        default: break;
        }
    }
}

DisplayObject* MovieClip::insert_child(std::unique_ptr<DisplayObject> child, int depth)
{
    child->depth = depth;
    child->m_parent = this;
    DisplayObject* raw = child.get();
    m_children[depth] = std::move(child);
    return raw;
}

void MovieClip::reconcile(const State& state)
{
    // Drop timeline objects that are gone or whose character changed.
    for (auto it = m_children.begin(); it != m_children.end();) {
        const DisplayObject& child = *it->second;
        auto wanted = state.find(it->first);
        std::uint16_t id = child.character() ? child.character()->id : 0;
        bool keep = child.placed_by_script || (wanted != state.end() && wanted->second.character == id);
        it = keep ? std::next(it) : m_children.erase(it);
    }
    std::vector<std::uint64_t> created;
    for (const auto& [depth, p] : state) {
        DisplayObject* child = child_at_depth(depth);
        if (child && child->placed_by_script)
            continue; // a script's clip holds the depth
        if (!child) {
            std::unique_ptr<DisplayObject> made = player().instantiate(p.character, this);
            if (!made)
                continue;
            child = insert_child(std::move(made), depth);
            child->created_tick = player().tick_count();
            child->clip_actions = p.clip_actions;
            created.push_back(child->id());
        }
        if (!child->moved_by_script) {
            child->matrix = p.matrix;
            child->color_transform = p.color_transform;
        }
        child->ratio = p.ratio;
        child->name = p.name;
        child->clip_depth = p.clip_depth;
    }
    // New clips show their first frame; their actions queue after this clip's.
    for (std::uint64_t id : created) {
        DisplayObject* o = player().find(id);
        if (!o)
            continue;
        if (MovieClip* clip = o->as_clip())
            clip->enter_first_frame();
        if (DisplayObject* again = player().find(id))
            player().queue_clip_event(*again, ClipLoad);
    }
}

void MovieClip::move_to_frame(int frame)
{
    State state;
    int from;
    if (frame < m_frame || frame == 0) {
        from = 0;
    } else {
        state = snapshot();
        from = m_frame + 1;
    }
    std::vector<Bytes> actions, init_actions;
    for (int f = from; f <= frame; ++f)
        apply_frame(state, f, f == frame ? &actions : nullptr, f == frame ? &init_actions : nullptr);
    m_frame = frame;
    for (Bytes code : init_actions)
        player().queue_actions(*this, code, ActionOrigin::InitAction);
    for (Bytes code : actions)
        player().queue_actions(*this, code, ActionOrigin::Frame);
    reconcile(state);
}

void MovieClip::enter_first_frame()
{
    m_frame = -1;
    move_to_frame(0);
}

void MovieClip::goto_frame(int frame, bool play)
{
    frame = std::clamp(frame, 0, std::max(frame_count() - 1, 0));
    m_playing = play;
    if (frame != m_frame)
        move_to_frame(frame);
}

bool MovieClip::goto_label(std::string_view label, bool play)
{
    int frame = m_timeline->frame_of_label(label);
    if (frame < 0)
        return false;
    goto_frame(frame, play);
    return true;
}

void MovieClip::next_frame()
{
    if (m_frame + 1 < frame_count())
        goto_frame(m_frame + 1, false);
    else
        m_playing = false;
}

void MovieClip::prev_frame()
{
    if (m_frame > 0)
        goto_frame(m_frame - 1, false);
    else
        m_playing = false;
}

void MovieClip::advance()
{
    std::uint64_t self = id();
    if (m_playing && frame_count() > 1) {
        // Timelines loop at their end (Loop is on for the root as well).
        move_to_frame(m_frame + 1 < frame_count() ? m_frame + 1 : 0);
    }
    if (!player().find(self))
        return;
    std::vector<std::uint64_t> ids;
    for (const auto& [depth, child] : m_children)
        if (child->created_tick != player().tick_count())
            ids.push_back(child->id());
    for (std::uint64_t id : ids) {
        DisplayObject* o = player().find(id);
        if (!o)
            continue;
        if (MovieClip* clip = o->as_clip())
            clip->advance();
        else if (o->kind() == Kind::Button)
            static_cast<ButtonInstance*>(o)->advance();
    }
}

MovieClip* MovieClip::duplicate(const std::string& new_name, int new_depth)
{
    MovieClip* parent_clip = parent();
    if (!parent_clip)
        return nullptr;
    std::unique_ptr<DisplayObject> made = player().instantiate(character() ? character()->id : 0, parent_clip);
    if (!made || !made->as_clip())
        return nullptr;
    parent_clip->remove_child(new_depth);
    DisplayObject* child = parent_clip->insert_child(std::move(made), new_depth);
    child->name = new_name;
    child->matrix = matrix;
    child->color_transform = color_transform;
    child->clip_actions = clip_actions;
    child->placed_by_script = true;
    child->created_tick = player().tick_count();
    std::uint64_t id = child->id();
    child->as_clip()->enter_first_frame();
    DisplayObject* again = player().find(id);
    if (again)
        player().queue_clip_event(*again, ClipLoad);
    return again ? again->as_clip() : nullptr;
}

MovieClip* MovieClip::create_empty_child(const std::string& child_name, int new_depth)
{
    remove_child(new_depth);
    auto clip = std::make_unique<MovieClip>(player(), nullptr, nullptr);
    clip->placed_by_script = true;
    clip->name = child_name;
    clip->created_tick = player().tick_count();
    return static_cast<MovieClip*>(insert_child(std::move(clip), new_depth));
}

DisplayObject* MovieClip::attach(std::uint16_t character_id, const std::string& child_name, int new_depth)
{
    std::unique_ptr<DisplayObject> made = player().instantiate(character_id, this);
    if (!made)
        return nullptr;
    remove_child(new_depth);
    DisplayObject* child = insert_child(std::move(made), new_depth);
    child->name = child_name;
    child->placed_by_script = true;
    child->created_tick = player().tick_count();
    std::uint64_t id = child->id();
    if (MovieClip* clip = child->as_clip())
        clip->enter_first_frame();
    return player().find(id);
}

void MovieClip::remove_child(int child_depth)
{
    auto it = m_children.find(child_depth);
    if (it == m_children.end())
        return;
    // Detach before destroying, so the subtree never sees a half-removed parent.
    std::unique_ptr<DisplayObject> doomed = std::move(it->second);
    m_children.erase(it);
}

void MovieClip::remove_from_parent()
{
    if (MovieClip* p = parent())
        p->remove_child(depth);
}

void MovieClip::swap_depth(int new_depth)
{
    MovieClip* p = parent();
    if (!p || new_depth == depth)
        return;
    auto self = p->m_children.find(depth);
    auto other = p->m_children.find(new_depth);
    std::unique_ptr<DisplayObject> me = std::move(self->second);
    p->m_children.erase(self);
    if (other != p->m_children.end()) {
        std::unique_ptr<DisplayObject> them = std::move(other->second);
        p->m_children.erase(other);
        them->depth = depth;
        p->m_children[depth] = std::move(them);
    }
    me->depth = new_depth;
    me->placed_by_script = true;
    p->m_children[new_depth] = std::move(me);
}

Rect MovieClip::local_bounds() const
{
    Rect r;
    bool any = false;
    for (const auto& [depth, child] : m_children) {
        Rect b = child->local_bounds();
        if (b == Rect{})
            continue;
        const Matrix& m = child->matrix;
        Point corners[4] = {m.apply({double(b.x_min), double(b.y_min)}), m.apply({double(b.x_max), double(b.y_min)}),
                            m.apply({double(b.x_min), double(b.y_max)}), m.apply({double(b.x_max), double(b.y_max)})};
        for (const Point& c : corners) {
            auto x = static_cast<std::int32_t>(c.x), y = static_cast<std::int32_t>(c.y);
            if (!any) {
                r = {x, x, y, y};
                any = true;
            }
            r.x_min = std::min(r.x_min, x);
            r.x_max = std::max(r.x_max, x);
            r.y_min = std::min(r.y_min, y);
            r.y_max = std::max(r.y_max, y);
        }
    }
    return r;
}

bool MovieClip::hit_test(Point local) const
{
    for (const auto& [depth, child] : m_children)
        if (child->visible && child->hit_test(child->matrix.inverted().apply(local)))
            return true;
    return false;
}

} // namespace swf
