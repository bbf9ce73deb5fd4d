#include "swf/core/movie_clip.h"

#include <algorithm>
#include <cmath>

#include "swf/core/button_instance.h"
#include "swf/core/player.h"
#include "swf/core/text_field.h"
#include "swf/parser/tag_codes.h"

namespace swf {

MovieClip::MovieClip(Player& player, const Character* sprite, std::shared_ptr<const TimelineDef> timeline,
                     const Library* library)
    : DisplayObject(player, Kind::MovieClip, sprite, library), m_timeline(std::move(timeline))
{
    if (!m_timeline)
        m_timeline = std::make_shared<TimelineDef>(TimelineDef{{{}}, {}});
    player.add_clip(id());
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
        if (!child->scriptable())
            continue;
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
    std::uint8_t version = swf_version();
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
                init_actions->push_back(tag.body);
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

void MovieClip::drop_child(DisplayList::iterator it)
{
    // Detach before destroying, so the subtree never sees a half-removed parent.
    std::unique_ptr<DisplayObject> doomed = std::move(it->second);
    m_children.erase(it);
    player().retire(std::move(doomed));
}

std::unique_ptr<DisplayObject> MovieClip::detach_child(int depth)
{
    auto it = m_children.find(depth);
    if (it == m_children.end())
        return nullptr;
    std::unique_ptr<DisplayObject> child = std::move(it->second);
    m_children.erase(it);
    child->m_parent = nullptr;
    return child;
}

void MovieClip::place(const PlaceObject& place)
{
    auto it = m_children.find(place.depth);
    DisplayObject* existing = it == m_children.end() ? nullptr : it->second.get();
    if (existing && existing->placed_by_script)
        return; // a script's object holds the depth
    bool new_character = place.character
                         && (!existing || !place.move
                             || !existing->character() || existing->character()->id != *place.character);
    if (new_character) {
        // A move that names a new character swaps the character and keeps the placement.
        bool keep = existing && place.move;
        Matrix matrix = keep ? existing->matrix : Matrix{};
        ColorTransform color = keep ? existing->color_transform : ColorTransform{};
        std::string name = keep ? existing->name : std::string();
        std::unique_ptr<DisplayObject> made = player().instantiate(*place.character, *this);
        if (it != m_children.end())
            drop_child(it);
        if (!made)
            return;
        made->matrix = place.matrix.value_or(matrix);
        made->color_transform = place.color_transform.value_or(color);
        made->name = place.name ? std::string(*place.name) : name;
        if (place.ratio)
            made->ratio = *place.ratio;
        if (place.clip_depth)
            made->clip_depth = *place.clip_depth;
        made->clip_actions = place.clip_actions;
        made->created_tick = player().tick_count();
        DisplayObject* child = insert_child(std::move(made), place.depth);
        player().object_created(*child);
        return;
    }
    if (!existing)
        return;
    if (!existing->moved_by_script) {
        if (place.matrix) {
            existing->matrix = *place.matrix;
            existing->matrix_changed();
        }
        if (place.color_transform)
            existing->color_transform = *place.color_transform;
    }
    if (place.ratio)
        existing->ratio = *place.ratio;
    if (place.name)
        existing->name = std::string(*place.name);
    if (place.clip_depth)
        existing->clip_depth = *place.clip_depth;
}

void MovieClip::step_to(int frame)
{
    // One frame forward: the tags act in file order, so a clip placed before a DoAction
    // shows its first frame (and queues its actions) before that DoAction is queued.
    m_frame = frame;
    player().sound_events().frame_entered(*this, *m_timeline, frame, false);
    std::uint64_t self = id();
    std::uint8_t version = swf_version();
    for (const Tag& tag : m_timeline->frames[frame]) {
        if (!player().find(self) || m_frame != frame)
            return; // a script removed this clip or moved its playhead meanwhile
        switch (static_cast<TagCode>(tag.code)) {
        case TagCode::PlaceObject:
        case TagCode::PlaceObject2: {
            PlaceObject p;
            if (decode_place_object(tag, version, p))
                place(p);
            break;
        }
        case TagCode::RemoveObject:
        case TagCode::RemoveObject2: {
            RemoveObject remove;
            if (!decode_remove_object(tag, remove))
                break;
            auto it = m_children.find(remove.depth);
            if (it != m_children.end() && !it->second->placed_by_script)
                drop_child(it);
            break;
        }
        case TagCode::DoAction:
            player().queue_actions(*this, tag.body, ActionOrigin::Frame);
            break;
        case TagCode::DoInitAction:
            player().queue_init_action(*this, tag);
            break;
        default: break;
        }
    }
}

void MovieClip::reconcile(const State& state)
{
    // Drop timeline objects that are gone or whose character changed.
    for (auto it = m_children.begin(); it != m_children.end();) {
        const DisplayObject& child = *it->second;
        auto wanted = state.find(it->first);
        std::uint16_t id = child.character() ? child.character()->id : 0;
        bool keep = child.placed_by_script || (wanted != state.end() && wanted->second.character == id);
        if (keep) {
            ++it;
        } else {
            auto next = std::next(it);
            int next_depth = next == m_children.end() ? -1 : next->first;
            drop_child(it);
            it = next_depth < 0 ? m_children.end() : m_children.lower_bound(next_depth);
        }
    }
    std::vector<std::uint64_t> created;
    for (const auto& [depth, p] : state) {
        DisplayObject* child = child_at_depth(depth);
        if (child && child->placed_by_script)
            continue; // a script's object holds the depth
        if (!child) {
            std::unique_ptr<DisplayObject> made = player().instantiate(p.character, *this);
            if (!made)
                continue;
            made->clip_actions = p.clip_actions;
            made->created_tick = player().tick_count();
            made->name = p.name;
            child = insert_child(std::move(made), depth);
            created.push_back(child->id());
        }
        if (!child->moved_by_script) {
            if (!(child->matrix == p.matrix))
                child->matrix_changed();
            child->matrix = p.matrix;
            child->color_transform = p.color_transform;
        }
        child->ratio = p.ratio;
        if (!p.name.empty())
            child->name = p.name;
        child->clip_depth = p.clip_depth;
    }
    // New objects show their first frame after this clip's frame actions were queued.
    for (std::uint64_t id : created)
        if (DisplayObject* o = player().find(id))
            player().object_created(*o);
}

void MovieClip::move_to_frame(int frame, bool run_actions)
{
    if (frame == m_frame + 1 && frame > 0 && run_actions) {
        step_to(frame);
        return;
    }
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
    player().sound_events().frame_entered(*this, *m_timeline, frame, true);
    for (Bytes body : init_actions)
        player().queue_init_action(*this, Tag{static_cast<std::uint16_t>(TagCode::DoInitAction), body});
    if (run_actions)
        for (Bytes code : actions)
            player().queue_actions(*this, code, ActionOrigin::Frame);
    reconcile(state);
}

void MovieClip::enter_first_frame()
{
    m_frame = -1;
    if (frame_count() > 0)
        step_to(0);
    else
        m_frame = 0;
}

void MovieClip::goto_frame(int frame, bool play)
{
    // Past the end, the playhead stops at the last frame without running its actions.
    int last = std::max(frame_count() - 1, 0);
    bool past_end = frame > last;
    frame = std::clamp(frame, 0, last);
    m_playing = play;
    if (frame != m_frame)
        move_to_frame(frame, !past_end);
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
    if (!m_playing || frame_count() <= 1)
        return;
    // Timelines loop at their end (Loop is on for the root as well).
    if (m_frame + 1 < frame_count())
        step_to(m_frame + 1);
    else
        move_to_frame(0);
}

MovieClip* MovieClip::duplicate(const std::string& new_name, int new_depth)
{
    auto* parent_clip = parent() ? parent()->as_clip() : nullptr;
    if (!parent_clip)
        return nullptr;
    std::unique_ptr<DisplayObject> made = player().instantiate(character() ? character()->id : 0, *parent_clip);
    if (!made || !made->as_clip())
        return nullptr;
    made->name = new_name;
    made->matrix = matrix;
    made->color_transform = color_transform;
    made->visible = visible;
    made->clip_actions = clip_actions;
    made->placed_by_script = true;
    made->created_tick = player().tick_count();
    std::uint64_t id = made->id();
    // `this` may be the object at the new depth: nothing of it is read after this point.
    parent_clip->remove_child(new_depth);
    player().object_created(*parent_clip->insert_child(std::move(made), new_depth));
    DisplayObject* again = player().find(id);
    return again ? again->as_clip() : nullptr;
}

MovieClip* MovieClip::create_empty_child(const std::string& child_name, int new_depth)
{
    remove_child(new_depth);
    auto clip = std::make_unique<MovieClip>(player(), nullptr, nullptr, library());
    clip->placed_by_script = true;
    clip->name = child_name;
    clip->created_tick = player().tick_count();
    std::uint64_t id = clip->id();
    player().object_created(*insert_child(std::move(clip), new_depth));
    DisplayObject* again = player().find(id);
    return again ? again->as_clip() : nullptr;
}

DisplayObject* MovieClip::attach(std::uint16_t character_id, const std::string& child_name, int new_depth)
{
    std::unique_ptr<DisplayObject> made = player().instantiate(character_id, *this);
    if (!made)
        return nullptr;
    remove_child(new_depth);
    DisplayObject* child = insert_child(std::move(made), new_depth);
    child->name = child_name;
    child->placed_by_script = true;
    child->created_tick = player().tick_count();
    std::uint64_t id = child->id();
    player().object_created(*child);
    return player().find(id);
}

DisplayObject* MovieClip::create_text_field(const std::string& child_name, int new_depth, const Rect& bounds)
{
    remove_child(new_depth);
    auto field = std::make_unique<TextField>(player(), nullptr, library(), bounds);
    field->name = child_name;
    field->placed_by_script = true;
    field->created_tick = player().tick_count();
    std::uint64_t id = field->id();
    player().object_created(*insert_child(std::move(field), new_depth));
    return player().find(id);
}

void MovieClip::remove_child(int child_depth)
{
    auto it = m_children.find(child_depth);
    if (it != m_children.end())
        drop_child(it);
}

void MovieClip::remove_from_parent()
{
    if (MovieClip* p = parent() ? parent()->as_clip() : nullptr)
        p->remove_child(depth);
}

void MovieClip::swap_child_depth(int from, int to)
{
    if (from == to)
        return;
    std::unique_ptr<DisplayObject> moving = detach_child(from);
    if (!moving)
        return;
    if (std::unique_ptr<DisplayObject> other = detach_child(to)) {
        other->placed_by_script = true;
        insert_child(std::move(other), from);
    }
    moving->placed_by_script = true;
    insert_child(std::move(moving), to);
}

void MovieClip::replace_movie(std::shared_ptr<const Library> movie)
{
    while (!m_children.empty())
        drop_child(m_children.begin());
    m_owned = movie;
    m_library = movie.get();
    m_character = nullptr;
    m_timeline = movie->root ? movie->root : std::make_shared<TimelineDef>(TimelineDef{{{}}, {}});
    m_playing = true;
    enter_first_frame();
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
            auto x = static_cast<std::int32_t>(std::lround(c.x)), y = static_cast<std::int32_t>(std::lround(c.y));
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
    for (const auto& [depth, child] : m_children) {
        bool invertible = true;
        Point p = child->matrix.inverted(&invertible).apply(local);
        if (child->visible && invertible && child->hit_test(p))
            return true;
    }
    return false;
}

} // namespace swf
