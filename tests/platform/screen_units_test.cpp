#include "platform/screen_units.h"

#include <QGuiApplication>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

TEST(ScreenUnits, FifteenTwipsAPixelAtStandardResolution)
{
    const platform::ScreenUnits units(96.0);
    EXPECT_DOUBLE_EQ(units.twipsPerPixel(), 15.0);
    EXPECT_DOUBLE_EQ(units.toPixels(12000), 800.0);
    EXPECT_DOUBLE_EQ(units.toPixels(3360), 224.0);
    EXPECT_DOUBLE_EQ(units.toTwips(352), 5280.0);
}

TEST(ScreenUnits, FollowTheLogicalResolution)
{
    const platform::ScreenUnits units(120.0);
    EXPECT_DOUBLE_EQ(units.twipsPerPixel(), 12.0);
    EXPECT_DOUBLE_EQ(units.toPixels(12000), 1000.0);
    EXPECT_DOUBLE_EQ(platform::ScreenUnits(0.0).twipsPerPixel(), 15.0);
}

TEST(ScreenUnits, ScreenSizeInTwipsMatchesThePrimaryScreen)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    const QSizeF twips = platform::screenSizeInTwips(screen);
    const double perPixel = 1440.0 / screen->logicalDotsPerInch();
    EXPECT_DOUBLE_EQ(twips.width(), screen->geometry().width() * perPixel);
    EXPECT_DOUBLE_EQ(twips.height(), screen->geometry().height() * perPixel);
}

} // namespace
