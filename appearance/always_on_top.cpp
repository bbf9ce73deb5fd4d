#include "appearance/always_on_top.h"

#include <QWidget>
#include <QWindow>

namespace appearance {

void AlwaysOnTop::set(QWidget* window, bool onTop)
{
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    if (QWindow* native = window->windowHandle()) {
        // QWidget::setWindowFlags would destroy and re-create a native window (it vanishes for a
        // moment, loses its place in the stacking order and gets a new id); changing the flags
        // of the existing QWindow only updates the window manager's state of it.
        window->overrideWindowFlags(flags);
        native->setFlags(flags);
    } else {
        window->setWindowFlags(flags);
    }
    if (window->isVisible()) {
        window->raise();
        window->activateWindow();
    }
}

bool AlwaysOnTop::get(const QWidget* window)
{
    return window->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

} // namespace appearance
