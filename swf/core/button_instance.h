#pragma once

#include "swf/core/display_object.h"

namespace swf {

// A placed button. The mouse drives it through four states (the format's names); what it
// shows follows: Up when idle, Over when the pointer is over it, Down while pressed over it.
class ButtonInstance : public DisplayObject {
public:
    enum class MouseState : std::uint8_t { Idle, OverUp, OverDown, OutDown };

    ButtonInstance(Player& player, const ButtonCharacter* button, const Library* library);
    ~ButtonInstance() override;

    const ButtonCharacter& button() const { return *static_cast<const ButtonCharacter*>(character()); }
    MouseState mouse_state() const { return m_state; }
    // Changes the state and rebuilds the children shown in it.
    void set_mouse_state(MouseState state);
    // The record state bit shown now (ButtonRecord::Up, Over or Down).
    std::uint8_t shown_state() const;

    // The objects of the state shown now; their parent is this button.
    const DisplayList& children() const { return m_children; }

    Rect local_bounds() const override;
    bool hit_test(Point local) const override; // the hit-test state's areas

    // Makes the children match the state shown: records in both states keep their objects.
    void build_children();

private:
    MouseState m_state = MouseState::Idle;
    DisplayList m_children;
};

// Whether a character (a shape, or a sprite's first-frame shapes) covers `p` in its own space.
bool character_hit(const Library& library, const Character* character, Point p, int nesting = 0);
// A character's bounds in its own space.
Rect character_bounds(const Library& library, const Character* character, int nesting = 0);

} // namespace swf
