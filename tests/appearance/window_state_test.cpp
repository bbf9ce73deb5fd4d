// Opacity and the always-on-top flag as Qt keeps them (offscreen platform).
#include "appearance/always_on_top.h"
#include "appearance/shape_from_mask.h"
#include "appearance/window_drag.h"
#include "appearance/window_opacity.h"

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

struct OpacityCase {
    std::int16_t alpha;
    int applied; // 0..255 as the window keeps it
};

class ApplyOpacityTest : public ::testing::TestWithParam<OpacityCase> {};

TEST_P(ApplyOpacityTest, WindowKeepsTheByteItWasGiven)
{
    QWidget window;
    window.show();
    appearance::ApplyOpacity(&window, 77);
    appearance::ApplyOpacity(&window, GetParam().alpha);
    EXPECT_EQ(std::lround(window.windowOpacity() * 255), GetParam().applied);
    EXPECT_TRUE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Values, ApplyOpacityTest,
                         ::testing::Values(OpacityCase{0, 0}, OpacityCase{1, 1}, OpacityCase{26, 26},
                                           OpacityCase{128, 128}, OpacityCase{180, 180},
                                           OpacityCase{254, 254}, OpacityCase{255, 255},
                                           // Outside 0..255 only the low byte counts.
                                           OpacityCase{-1, 255}, OpacityCase{256, 0}, OpacityCase{300, 44}));

QImage roundedFace()
{
    QImage face(60, 40, QImage::Format_RGB32);
    face.fill(Qt::white);
    QPainter painter(&face);
    painter.setBrush(Qt::darkCyan);
    painter.drawRoundedRect(2, 2, 56, 36, 8, 8);
    return face;
}

TEST(AlwaysOnTopTest, TogglingKeepsTheSameWindowAndEverythingAboutIt)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    appearance::ShapeFromMask(&window, roundedFace());
    appearance::ApplyOpacity(&window, 180);
    window.move(120, 90);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_FALSE(appearance::AlwaysOnTop::get(&window));

    const QWindow* native = window.windowHandle();
    const WId id = window.winId();
    const QRegion mask = window.mask();
    const QRect geometry = window.geometry();
    for (const bool onTop : {true, true, false, false, true}) {
        SCOPED_TRACE(onTop);
        appearance::AlwaysOnTop::set(&window, onTop);
        EXPECT_EQ(appearance::AlwaysOnTop::get(&window), onTop);
        EXPECT_EQ(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint), onTop);
        EXPECT_TRUE(window.windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_EQ(window.windowHandle(), native);
        EXPECT_EQ(window.winId(), id);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(window.mask(), mask);
        EXPECT_EQ(window.geometry(), geometry);
        EXPECT_EQ(std::lround(window.windowOpacity() * 255), 180);
    }
}

TEST(AlwaysOnTopTest, SetBeforeTheFirstShowTheWindowOpensOnTop)
{
    QWidget window(nullptr, Qt::FramelessWindowHint);
    appearance::AlwaysOnTop::set(&window, true);
    EXPECT_FALSE(window.isVisible());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(window.windowHandle()->flags().testFlag(Qt::FramelessWindowHint));
}

// Offscreen there is no window manager to move anything: the press is handled and the window
// stays where it is.
TEST(StartWindowDragTest, WithoutASystemMoveTheWindowStays)
{
    struct Face : QWidget {
        std::optional<bool> started;
        void mousePressEvent(QMouseEvent*) override { started = appearance::StartWindowDrag(this); }
    } window;
    EXPECT_FALSE(appearance::StartWindowDrag(&window)); // not shown yet

    window.setWindowFlag(Qt::FramelessWindowHint);
    window.setGeometry(100, 80, 120, 60);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        window.started.reset();
        QTest::mousePress(&window, button, {}, QPoint(30, 20));
        EXPECT_EQ(window.started, false);
        QTest::mouseMove(&window, QPoint(80, 50));
        QTest::mouseRelease(&window, button, {}, QPoint(80, 50));
        EXPECT_EQ(window.geometry(), QRect(100, 80, 120, 60));
    }
}

} // namespace
