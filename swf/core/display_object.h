#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "swf/core/characters.h"
#include "swf/parser/types.h"

namespace swf {

class Player;
class MovieClip;
class TextField;

// Anything on a display list: a shape, text, a button, a movie clip. Each has an id unique in
// its player that is never reused, so scripts and queued work can hold it safely: look it up
// with Player::find, which answers null once the object is gone.
class DisplayObject {
public:
    enum class Kind : std::uint8_t { Graphic, MovieClip, Button };

    // `library` is the movie that defines the object (a loaded movie has its own).
    DisplayObject(Player& player, Kind kind, const Character* character, const Library* library);
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    Kind kind() const { return m_kind; }
    std::uint64_t id() const { return m_id; }
    Player& player() const { return m_player; }
    const Character* character() const { return m_character; } // null for an empty clip
    const Library* library() const { return m_library; }
    std::uint8_t swf_version() const;
    // The clip or button whose display list holds this object; null for a level's root.
    DisplayObject* parent() const { return m_parent; }
    MovieClip* as_clip();
    const MovieClip* as_clip() const;
    virtual TextField* as_text_field() { return nullptr; }
    // Movie clips, buttons and text fields have names and script objects; shapes do not.
    bool scriptable() const;

    int depth = 0;            // timeline depths 1..65535; scripts use depth - 16384
    std::string name;         // instance name ("instanceN" when the timeline gave none)
    Matrix matrix;            // in the parent's space, twips
    ColorTransform color_transform;
    std::uint16_t ratio = 0;
    int clip_depth = 0;       // > 0: a mask for the objects above it up to this depth
    bool visible = true;
    bool placed_by_script = false; // duplicated or attached: the timeline leaves it alone
    bool moved_by_script = false;  // a script set its transform: the timeline no longer moves it
    std::vector<ClipAction> clip_actions;
    std::uint64_t created_tick = 0;
    int level = -1;           // for a level's root: its number

    Matrix global_matrix() const;
    ColorTransform global_color_transform() const;
    // "/a/b" (a level's root is "/"), and "_level0.a.b".
    std::string slash_path() const;
    std::string dot_path() const;
    const DisplayObject* level_root() const;

    // Bounds in this object's own space, twips (empty when it draws nothing).
    virtual Rect local_bounds() const;
    // Whether a point in this object's own space hits it: the shapes' filled areas (and
    // lines), through children; buttons answer with their hit-test state.
    virtual bool hit_test(Point local) const;

    // Script-facing transform parts. Scale and rotation set by a script are kept as given, as
    // the format's properties are, so reading them back does not drift.
    double x_scale() const;   // 1 = 100 %
    double y_scale() const;
    double rotation() const;  // degrees, -180 to 180
    void set_x_scale(double scale);
    void set_y_scale(double scale);
    void set_rotation(double degrees);
    // The timeline moved the object: forget the kept scale and rotation.
    void matrix_changed() { m_kept.reset(); }
    // Taken off the stage: it keeps its name and contents until the player lets it go.
    void orphan() { m_parent = nullptr; }

private:
    friend class MovieClip;
    friend class ButtonInstance;
    // Scale along each axis, the x axis' angle (degrees) and the y axis' angle from it
    // (radians: a mirrored object keeps its flip as a half turn here).
    struct Kept {
        double x_scale, y_scale, rotation, skew;
    };
    Kept kept() const;
    void apply(const Kept& k);

    Player& m_player;
    Kind m_kind;
    const Character* m_character;
    const Library* m_library;
    std::uint64_t m_id;
    DisplayObject* m_parent = nullptr;
    std::optional<Kept> m_kept;
};

// A shape, morph shape, static text, bitmap or video: drawn, not scripted.
class GraphicInstance : public DisplayObject {
public:
    GraphicInstance(Player& player, const Character* character, const Library* library)
        : DisplayObject(player, Kind::Graphic, character, library)
    {
    }
    Rect local_bounds() const override;
    bool hit_test(Point local) const override;
};

// The children of a timeline, ordered by depth.
using DisplayList = std::map<int, std::unique_ptr<DisplayObject>>;

} // namespace swf
