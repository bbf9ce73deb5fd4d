// Cost of cutting a window to its face: ShapeFromMask on an about-box-like face (300 x 180,
// white background, an antialiased rounded card with some artwork), against a plain read of the
// face's pixels and against joining one-pixel strips into a region one by one.
#include "appearance/shape_from_mask.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

// Widgets need an application object; it lives until the process ends.
void ensureApplication()
{
    if (QApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "shape_from_mask_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

const QImage& aboutFace()
{
    static const QImage face = [] {
        QImage image(300, 180, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(70, 50, 30), 3));
        painter.setBrush(QColor(250, 236, 205));
        painter.drawRoundedRect(QRectF(3, 3, 294, 174), 24, 24);
        painter.setBrush(QColor(180, 40, 40));
        painter.drawEllipse(QRectF(20, 20, 60, 60));
        painter.drawLine(QPointF(100, 50), QPointF(280, 50));
        painter.drawLine(QPointF(100, 80), QPointF(240, 80));
        return image;
    }();
    return face;
}

void BM_PlainPixelRead(benchmark::State& state)
{
    const QImage& face = aboutFace();
    for (auto _ : state) {
        const QRgb background = face.pixel(0, 0);
        int opaque = 0;
        for (int x = 0; x < face.width(); ++x)
            for (int y = 0; y < face.height(); ++y)
                opaque += face.pixel(x, y) != background;
        benchmark::DoNotOptimize(opaque);
    }
}

void BM_StripByStripRegion(benchmark::State& state)
{
    const QImage& face = aboutFace();
    for (auto _ : state) {
        const QRgb background = face.pixel(0, 0);
        QRegion shape;
        for (int x = 0; x < face.width(); ++x) {
            int top = -1;
            for (int y = 0; y <= face.height(); ++y) {
                const bool opaque = y < face.height() && face.pixel(x, y) != background;
                if (opaque && top < 0) {
                    top = y;
                } else if (!opaque && top >= 0) {
                    shape += QRect(x, top, 1, y - top);
                    top = -1;
                }
            }
        }
        benchmark::DoNotOptimize(shape);
    }
}

void BM_ShapeFromMask(benchmark::State& state)
{
    ensureApplication();
    const QImage& face = aboutFace();
    // Never shown, as in a window's load steps.
    QWidget window(nullptr, Qt::FramelessWindowHint);
    for (auto _ : state) {
        appearance::ShapeFromMask(&window, face);
        benchmark::DoNotOptimize(window.mask());
    }
}

BENCHMARK(BM_PlainPixelRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StripByStripRegion)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ShapeFromMask)->Unit(benchmark::kMicrosecond);

} // namespace
