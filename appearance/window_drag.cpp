#include "appearance/window_drag.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace appearance {

bool StartWindowDrag(QWidget* window)
{
    QWindow* native = window->window()->windowHandle();
    if (!native || !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        return false;
    return native->startSystemMove();
}

} // namespace appearance
