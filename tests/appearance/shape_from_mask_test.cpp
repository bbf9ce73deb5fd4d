// ShapeFromMask against a plain column scan: one-pixel strips, column by column, top to bottom,
// for every run of pixels whose colour differs from that of pixel (0, 0).
#include "appearance/shape_from_mask.h"

#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QRegion>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace {

QRegion referenceColumnScan(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb background = image.pixel(0, 0);
    QRegion shape;
    for (int x = 0; x < image.width(); ++x) {
        int top = -1;
        for (int y = 0; y < image.height(); ++y) {
            const bool opaque = image.pixel(x, y) != background;
            if (opaque && top < 0) {
                top = y;
            } else if (!opaque && top >= 0) {
                shape += QRect(x, top, 1, y - top);
                top = -1;
            }
        }
        if (top >= 0)
            shape += QRect(x, top, 1, image.height() - top);
    }
    return shape;
}

// Same pixel set, whatever rectangles the two regions are made of.
testing::AssertionResult sameShape(const QRegion& actual, const QRegion& expected)
{
    const QRegion difference = actual.xored(expected);
    if (difference.isEmpty())
        return testing::AssertionSuccess();
    testing::AssertionResult failure = testing::AssertionFailure();
    failure << "the shapes differ in";
    for (const QRect& rect : difference)
        failure << " (" << rect.x() << "," << rect.y() << " " << rect.width() << "x" << rect.height() << ")";
    return failure;
}

QImage picture(int width, int height, QColor background = Qt::white)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

struct ShapeCase {
    const char* name;
    std::function<QImage()> make;
    QRegion expected; // empty: the window keeps its full rectangle
};

void PrintTo(const ShapeCase& shapeCase, std::ostream* out) { *out << shapeCase.name; }

const ShapeCase shapeCases[] = {
    {"AllBackground", [] { return picture(6, 4); }, {}},
    {"OneOpaqueColumn",
     [] {
         QImage image = picture(6, 4);
         for (int y = 0; y < 4; ++y)
             image.setPixel(3, y, qRgb(0, 0, 0));
         return image;
     },
     QRegion(3, 0, 1, 4)},
    {"IslandOfBackgroundIsAHole",
     [] {
         QImage image = picture(8, 8);
         QPainter(&image).fillRect(2, 2, 5, 5, Qt::blue);
         image.setPixel(4, 4, qRgb(255, 255, 255));
         return image;
     },
     QRegion(2, 2, 5, 5) - QRegion(4, 4, 1, 1)},
    {"OneStepInRedIsOpaque",
     [] {
         QImage image = picture(5, 3);
         image.setPixel(2, 1, qRgb(254, 255, 255));
         return image;
     },
     QRegion(2, 1, 1, 1)},
    {"OneStepInGreenIsOpaque",
     [] {
         QImage image = picture(5, 3, QColor(10, 20, 30));
         image.setPixel(4, 2, qRgb(10, 21, 30));
         return image;
     },
     QRegion(4, 2, 1, 1)},
    {"OneStepInBlueIsOpaque",
     [] {
         QImage image = picture(5, 3, QColor(10, 20, 30));
         image.setPixel(0, 1, qRgb(10, 20, 29));
         return image;
     },
     QRegion(0, 1, 1, 1)},
    {"RunReachingLastRowEndsThere",
     [] {
         QImage image = picture(5, 5);
         for (int y = 3; y < 5; ++y)
             image.setPixel(1, y, qRgb(200, 0, 0));
         image.setPixel(2, 0, qRgb(200, 0, 0));
         image.setPixel(2, 4, qRgb(200, 0, 0));
         return image;
     },
     QRegion(1, 3, 1, 2) + QRegion(2, 0, 1, 1) + QRegion(2, 4, 1, 1)},
    {"CornerPixelIsAlwaysOutside",
     [] {
         QImage image = picture(4, 3, Qt::green);
         image.setPixel(0, 0, qRgb(255, 255, 255));
         return image;
     },
     QRegion(0, 0, 4, 3) - QRegion(0, 0, 1, 1)},
    {"CornerColourIsTheBackgroundWhateverItIs",
     [] {
         QImage image = picture(4, 3, Qt::red);
         image.setPixel(3, 2, qRgb(255, 255, 255));
         return image;
     },
     QRegion(3, 2, 1, 1)},
    {"TwentyFourBitPicture",
     [] {
         QImage image = picture(6, 4).convertToFormat(QImage::Format_RGB888);
         image.setPixel(5, 3, qRgb(255, 255, 254));
         image.setPixel(1, 0, qRgb(0, 0, 0));
         return image;
     },
     QRegion(5, 3, 1, 1) + QRegion(1, 0, 1, 1)},
    {"IndexedPicture",
     [] {
         QImage image(5, 4, QImage::Format_Indexed8);
         image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 128), qRgb(255, 255, 255)});
         image.fill(0);
         image.setPixel(1, 1, 1);
         image.setPixel(2, 2, 2); // another index of the background colour
         return image;
     },
     QRegion(1, 1, 1, 1)},
};

class ShapeFromMaskTest : public ::testing::TestWithParam<ShapeCase> {};

TEST_P(ShapeFromMaskTest, WindowTakesTheSizeAndTheShapeOfThePicture)
{
    const QImage image = GetParam().make();
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.resize(400, 300);
    appearance::ShapeFromMask(&window, image);

    EXPECT_EQ(window.size(), image.size());
    EXPECT_TRUE(sameShape(window.mask(), GetParam().expected));
    EXPECT_TRUE(sameShape(window.mask(), referenceColumnScan(image)));
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
}

INSTANTIATE_TEST_SUITE_P(Pictures, ShapeFromMaskTest, ::testing::ValuesIn(shapeCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The four faces: a card with antialiased rounded corners on white, so the edge pixels come in
// many shades that differ from white by a step or a few.
TEST(ShapeFromMaskFaces, RoundedCardsMatchTheColumnScan)
{
    for (const QSize size : {QSize(300, 180), QSize(180, 110), QSize(174, 214), QSize(220, 130)}) {
        SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height());
        QImage face = picture(size.width(), size.height());
        QPainter painter(&face);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(90, 60, 30), 3));
        painter.setBrush(QColor(250, 235, 200));
        painter.drawRoundedRect(QRectF(4, 4, size.width() - 8, size.height() - 8), 18, 18);
        painter.end();

        QWidget window(nullptr, Qt::FramelessWindowHint);
        appearance::ShapeFromMask(&window, face);
        EXPECT_TRUE(sameShape(window.mask(), referenceColumnScan(face)));
        EXPECT_TRUE(window.mask().contains(QPoint(size.width() / 2, size.height() / 2)));
        EXPECT_FALSE(window.mask().contains(QPoint(5, 5)));
    }
}

TEST(ShapeFromMaskFaces, ScatteredColoursMatchTheColumnScan)
{
    const QRgb palette[] = {qRgb(255, 255, 255), qRgb(254, 255, 255), qRgb(0, 0, 0), qRgb(30, 90, 200)};
    QRandomGenerator random(20240611);
    for (int round = 0; round < 20; ++round) {
        QImage image(1 + random.bounded(40), 1 + random.bounded(40), QImage::Format_RGB32);
        // Mostly background, so that runs of every length occur.
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                image.setPixel(x, y, palette[random.bounded(8) < 5 ? 0 : 1 + random.bounded(3)]);
        SCOPED_TRACE(testing::Message() << "round " << round);
        QWidget window(nullptr, Qt::FramelessWindowHint);
        appearance::ShapeFromMask(&window, image);
        EXPECT_TRUE(sameShape(window.mask(), referenceColumnScan(image)));
    }
}

TEST(ShapeFromMaskAgain, EachLoadScansThePictureAnew)
{
    QImage face = picture(20, 10);
    QPainter(&face).fillRect(3, 2, 10, 6, Qt::darkRed);
    const QRegion expected(3, 2, 10, 6);

    QWidget window(nullptr, Qt::FramelessWindowHint);
    appearance::ShapeFromMask(&window, face);
    appearance::ShapeFromMask(&window, face);
    EXPECT_TRUE(sameShape(window.mask(), expected));

    QWidget reloaded(nullptr, Qt::FramelessWindowHint);
    appearance::ShapeFromMask(&reloaded, face);
    EXPECT_TRUE(sameShape(reloaded.mask(), expected));

    // A new picture without any artwork gives the window its full rectangle back.
    appearance::ShapeFromMask(&window, picture(30, 12));
    EXPECT_TRUE(window.mask().isEmpty());
    EXPECT_EQ(window.size(), QSize(30, 12));
}

TEST(ShapeFromMaskAgain, NullPictureLeavesTheWindowRectangularAndItsSize)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    QImage face = picture(20, 10);
    face.setPixel(5, 5, qRgb(0, 0, 0));
    appearance::ShapeFromMask(&window, face);

    appearance::ShapeFromMask(&window, QImage());
    EXPECT_TRUE(window.mask().isEmpty());
    EXPECT_EQ(window.size(), QSize(20, 10));
}

} // namespace
