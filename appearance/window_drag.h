#pragma once

class QWidget;

namespace appearance {

// Moves a frameless window by its face. Called from a mouse-press handler of the face: while the
// left button is held, the window manager's own move follows the pointer until the button is
// released (Escape puts the window back); a click too short for a move leaves nothing going.
// The call returns at once and the handler goes on with its own steps; the release still
// reaches the widget that was pressed.
// Nothing moves for a press without the left button (a right-button press can go on to open a
// menu), for a window not shown yet, or where the platform has no system move (offscreen, an X
// server without a window manager): the window then stays where it is. Returns whether the
// move was handed to the window manager.
bool StartWindowDrag(QWidget* window);

} // namespace appearance
