#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "swf/core/characters.h"
#include "swf/parser/types.h"

namespace swf {

class Player;
class MovieClip;

// Anything on a display list: a shape, text, a button, a movie clip. Each has an id unique in
// its player that is never reused, so scripts and queued work can hold it safely: look it up
// with Player::find, which answers null once the object is gone.
class DisplayObject {
public:
    enum class Kind : std::uint8_t { Graphic, MovieClip, Button };

    DisplayObject(Player& player, Kind kind, const Character* character);
    virtual ~DisplayObject();
    DisplayObject(const DisplayObject&) = delete;
    DisplayObject& operator=(const DisplayObject&) = delete;

    Kind kind() const { return m_kind; }
    std::uint64_t id() const { return m_id; }
    Player& player() const { return m_player; }
    const Character* character() const { return m_character; } // null for an empty clip
    MovieClip* parent() const { return m_parent; }
    MovieClip* as_clip();

    int depth = 0;            // timeline depths 1..65535; scripts use depth - 16384
    std::string name;         // instance name
    Matrix matrix;            // in the parent's space, twips
    ColorTransform color_transform;
    std::uint16_t ratio = 0;
    int clip_depth = 0;       // > 0: a mask for the objects above it up to this depth
    bool visible = true;
    bool placed_by_script = false; // duplicated or attached: the timeline leaves it alone
    bool moved_by_script = false;  // a script set its transform: the timeline no longer moves it
    std::vector<ClipAction> clip_actions;
    std::uint64_t created_tick = 0;

    Matrix global_matrix() const;
    ColorTransform global_color_transform() const;
    // "/a/b" (the root is "/"), and "_level0.a.b".
    std::string slash_path() const;
    std::string dot_path() const;

    // Bounds in this object's own space, twips (empty when it draws nothing).
    virtual Rect local_bounds() const;
    // Whether a point in this object's own space hits it: the shapes' filled areas (and
    // lines), through children; buttons answer with their hit-test state.
    virtual bool hit_test(Point local) const;

    // Script-facing transform parts, kept apart as the format's properties are.
    double x_scale() const;   // 1 = 100 %
    double y_scale() const;
    double rotation() const;  // degrees
    void set_x_scale(double scale);
    void set_y_scale(double scale);
    void set_rotation(double degrees);

private:
    friend class MovieClip;
    Player& m_player;
    Kind m_kind;
    const Character* m_character;
    std::uint64_t m_id;
    MovieClip* m_parent = nullptr;
};

// A shape, morph shape, static or edit text, bitmap or video: drawn, not scripted.
class GraphicInstance : public DisplayObject {
public:
    GraphicInstance(Player& player, const Character* character) : DisplayObject(player, Kind::Graphic, character) {}
    Rect local_bounds() const override;
    bool hit_test(Point local) const override;
};

// The children of a timeline, ordered by depth.
using DisplayList = std::map<int, std::unique_ptr<DisplayObject>>;

} // namespace swf
