#pragma once

#include <string_view>
#include <vector>

#include "swf/core/display_object.h"

namespace swf {

// A timeline instance: a level's root movie, a DefineSprite placed on a display list, or a
// clip a script created. Frames are counted from 0.
class MovieClip : public DisplayObject {
public:
    MovieClip(Player& player, const Character* sprite, std::shared_ptr<const TimelineDef> timeline,
              const Library* library);
    ~MovieClip() override;

    const TimelineDef& timeline() const { return *m_timeline; }
    int current_frame() const { return m_frame; }
    int frame_count() const { return m_timeline->frame_count(); }
    bool playing() const { return m_playing; }

    void play() { m_playing = true; }
    void stop() { m_playing = false; }
    // Moves the playhead: the display list becomes what playing up to `frame` would have
    // made it (a backward move rebuilds it from the first frame); that frame's actions are
    // queued, then the first frames of the clips it creates. Out-of-range frames go to the
    // nearest end (past the last one, without its actions).
    void goto_frame(int frame, bool play);
    // A label, compared without regard to case; false (and no move) if there is none.
    bool goto_label(std::string_view label, bool play);
    void next_frame();
    void prev_frame();

    const DisplayList& children() const { return m_children; }
    DisplayObject* child_at_depth(int depth) const;
    // The first scriptable child with that name (movie clips, buttons, text fields).
    DisplayObject* child_by_name(std::string_view name, bool case_sensitive) const;

    // Script operations. `depth` is a timeline depth (script depth + 16384).
    MovieClip* duplicate(const std::string& new_name, int depth);
    MovieClip* create_empty_child(const std::string& child_name, int depth);
    DisplayObject* attach(std::uint16_t character_id, const std::string& child_name, int depth);
    DisplayObject* create_text_field(const std::string& child_name, int depth, const Rect& bounds);
    void remove_child(int depth);
    // Removes this clip from its parent (destroys it). Do not touch `this` afterwards.
    void remove_from_parent();
    // Moves a child to another depth, swapping with whatever is there.
    void swap_child_depth(int from, int to);

    // Replaces the timeline and the library with a loaded movie's, as loadMovie into a clip
    // does: the children go, the first frame is entered. Keeps the library alive.
    void replace_movie(std::shared_ptr<const Library> movie);
    // A level's root or a clip holding a loaded movie keeps that movie alive.
    void own_library(std::shared_ptr<const Library> movie) { m_owned = std::move(movie); }
    std::shared_ptr<const Library> owned_library() const { return m_owned; }

    Rect local_bounds() const override;
    bool hit_test(Point local) const override;

    // Driven by the player: show the first frame after creation, and advance one tick.
    void enter_first_frame();
    void advance();
    // Takes the child out of the list without destroying it (the caller owns it then).
    std::unique_ptr<DisplayObject> detach_child(int depth);

private:
    struct Placement {
        std::uint16_t character = 0;
        Matrix matrix;
        ColorTransform color_transform;
        std::uint16_t ratio = 0;
        std::string name;
        int clip_depth = 0;
        std::vector<ClipAction> clip_actions;
    };
    using State = std::map<int, Placement>;

    State snapshot() const;
    // Applies the control tags of `frame` to `state`; collects its actions if `actions`.
    void apply_frame(State& state, int frame, std::vector<Bytes>* actions, std::vector<Bytes>* init_actions) const;
    // Plays the tags of the next frame on the live display list, in file order.
    void step_to(int frame);
    void place(const PlaceObject& place);
    // Makes the children match `state`, keeping objects whose character did not change.
    void reconcile(const State& state);
    void move_to_frame(int frame, bool run_actions = true);
    DisplayObject* insert_child(std::unique_ptr<DisplayObject> child, int depth);
    // The child at `depth` leaves: its unload events are queued, then it is destroyed.
    void drop_child(DisplayList::iterator it);

    std::shared_ptr<const TimelineDef> m_timeline;
    std::shared_ptr<const Library> m_owned;
    DisplayList m_children;
    int m_frame = 0;
    bool m_playing = true;
};

} // namespace swf
