#pragma once

class QWidget;

namespace appearance {

// Whether a window floats above all ordinary windows, its own and other programs' alike.
struct AlwaysOnTop {
    // Sets or clears the flag on the same native window: its shape, opacity, place and size stay
    // as they are and it is neither hidden nor re-created. A shown window is also activated and
    // raised, to the top of the floating windows when the flag is set. Setting it before the
    // first show makes the window open on top.
    static void set(QWidget* window, bool onTop);
    // The value last set; false before the first setting.
    static bool get(const QWidget* window);
};

} // namespace appearance
