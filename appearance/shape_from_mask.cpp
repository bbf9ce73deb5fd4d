#include "appearance/shape_from_mask.h"

#include <QBitmap>
#include <QImage>
#include <QRegion>
#include <QWidget>

namespace appearance {

void ShapeFromMask(QWidget* window, const QImage& mask)
{
    if (mask.isNull()) {
        window->clearMask();
        return;
    }
    window->resize(mask.size());

    // One defined pixel format, so that indexed, 16-bit and alpha pictures compare by the colour
    // they show.
    const QImage face = mask.convertToFormat(QImage::Format_RGB32);
    const QRgb background = face.pixel(0, 0);
    // MaskInColor paints the background pixels white; a QBitmap takes white as its clear colour
    // (color0), so the region holds every pixel of the face except its background.
    const QRegion shape(QBitmap::fromImage(face.createMaskFromColor(background, Qt::MaskInColor)));
    if (shape.isEmpty())
        window->clearMask();
    else
        window->setMask(shape);
}

} // namespace appearance
