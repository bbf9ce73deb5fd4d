#include "platform/screen_units.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace platform {

ScreenUnits::ScreenUnits(double logicalDpi)
    : m_dpi(logicalDpi > 0 ? logicalDpi : 96.0)
{
}

ScreenUnits ScreenUnits::of(const QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return ScreenUnits(screen ? screen->logicalDotsPerInch() : 96.0);
}

ScreenUnits ScreenUnits::of(const QWidget* widget)
{
    return of(widget ? widget->screen() : nullptr);
}

QSizeF screenSizeInTwips(const QScreen* screen)
{
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    return ScreenUnits::of(screen).toTwips(QSizeF(screen->geometry().size()));
}

} // namespace platform
