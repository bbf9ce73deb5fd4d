#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

class QScreen;
class QWidget;

namespace platform {

// Window positions and sizes of the course are given in twips (1/1440 inch). They become Qt's
// device-independent pixels through the screen's logical resolution: 15 twips a pixel at 96 dpi.
// Qt itself scales device-independent pixels on high-resolution screens.
class ScreenUnits {
public:
    explicit ScreenUnits(double logicalDpi = 96.0);
    static ScreenUnits of(const QScreen* screen);
    static ScreenUnits of(const QWidget* widget);

    double twipsPerPixel() const { return 1440.0 / m_dpi; }
    double toPixels(double twips) const { return twips / twipsPerPixel(); }
    double toTwips(double pixels) const { return pixels * twipsPerPixel(); }
    QPointF toPixels(QPointF twips) const { return twips / twipsPerPixel(); }
    QSizeF toPixels(QSizeF twips) const { return twips / twipsPerPixel(); }
    QRectF toPixels(const QRectF& twips) const { return {toPixels(twips.topLeft()), toPixels(twips.size())}; }
    QSizeF toTwips(QSizeF pixels) const { return pixels * twipsPerPixel(); }

private:
    double m_dpi;
};

// The size of the screen in twips, as the course's layout reads it.
QSizeF screenSizeInTwips(const QScreen* screen);

} // namespace platform
