// The raster cache: a copy from it looks like a fresh drawing, and the pixels it keeps never
// pass its budget, even when one frame draws more than fits.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <vector>

#include "swf/render/raster_cache.h"

using namespace swf;

namespace {

// A red disc on transparent ground, in a square of `side` pixels of its own space; `drawings`
// counts the times it is really drawn rather than copied.
RasterCache::Draw disc(double side, int* drawings = nullptr)
{
    return [side, drawings](QPainter& p, const QTransform& t) {
        if (drawings)
            ++*drawings;
        p.setTransform(t);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(200, 0, 0));
        p.drawEllipse(QRectF(0, 0, side, side));
    };
}

QImage stage(int w, int h)
{
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

} // namespace

TEST(RasterCache, CopiesLookLikeTheDrawing)
{
    RasterCache cache;
    const std::uint64_t id = RasterCache::new_id();
    const QTransform at = QTransform::fromTranslate(10.25, 7.5);
    std::vector<QImage> frames;
    for (int frame = 0; frame < 3; ++frame) { // drawn, then kept, then copied
        QImage image = stage(60, 60);
        QPainter p(&image);
        cache.draw(p, id, QRectF(0, 0, 40, 40), at, ColorTransform{}, disc(40));
        p.end();
        cache.end_frame();
        frames.push_back(image);
    }
    EXPECT_GT(cache.bytes(), 0u);
    EXPECT_EQ(frames[1], frames[0]);
    EXPECT_EQ(frames[2], frames[0]);
}

TEST(RasterCache, NeverPassesItsBudget)
{
    RasterCache cache;
    const double side = 1000; // 4 MB of pixels each: more than fit in one frame
    std::vector<std::uint64_t> first(8), second(8);
    for (auto& id : first)
        id = RasterCache::new_id();
    for (auto& id : second)
        id = RasterCache::new_id();

    int drawings = 0;
    auto frame = [&](const std::vector<std::uint64_t>& ids) {
        drawings = 0;
        QImage image = stage(64, 64);
        QPainter p(&image);
        for (std::uint64_t id : ids) {
            cache.draw(p, id, QRectF(0, 0, side, side), QTransform(), ColorTransform{}, disc(side, &drawings));
            EXPECT_LE(cache.bytes(), cache.budget());
        }
        p.end();
        cache.end_frame();
        return image;
    };
    const QImage drawn = frame(first);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(frame(first), drawn); // what did not fit is still drawn, directly
    ASSERT_GT(cache.bytes(), 0u);

    // A new set of things on the stage takes over the room of those no longer drawn.
    for (int i = 0; i < 4; ++i)
        frame(second);
    EXPECT_LT(drawings, 8);
}
