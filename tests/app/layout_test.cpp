#include "app/layout.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
    const char* name;
    std::int16_t screenMode;
    std::int16_t section;
    QSizeF screen; // twips
    QRectF window;
    QRectF player;
};

void PrintTo(const LayoutCase& c, std::ostream* out)
{
    *out << c.name;
}

class MainLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(MainLayoutTest, PlacesWindowAndPlayer)
{
    const LayoutCase& c = GetParam();
    const app::MainLayout layout = app::computeMainLayout(c.screenMode, c.section, c.screen);
    EXPECT_EQ(layout.window, c.window);
    EXPECT_EQ(layout.player, c.player);
}

// 1024 x 768 pixels is 15360 x 11520 twips; 1280 x 1024 is 19200 x 15360.
INSTANTIATE_TEST_SUITE_P(
    Modes, MainLayoutTest,
    ::testing::Values(
        LayoutCase{"window_start_screen", 0, 0, {15360, 11520}, {1680, 1260, 12000, 9000}, {3360, 2340, 5280, 4320}},
        LayoutCase{"window_course", 0, 3, {15360, 11520}, {1680, 1260, 12000, 9000}, {0, 0, 12000, 9000}},
        LayoutCase{"window_ending", 0, 7, {19200, 15360}, {3600, 3180, 12000, 9000}, {0, 0, 12000, 9000}},
        LayoutCase{"full_start_screen", 1, 0, {15360, 11520}, {0, 0, 15360, 11520}, {5040, 3600, 5280, 4320}},
        LayoutCase{"full_course", 1, 1, {19200, 15360}, {0, 0, 19200, 15360}, {0, 0, 19200, 15360}},
        // Halves stay: an odd screen width centres on a half twip.
        LayoutCase{"window_halves", 0, 0, {15001, 11521}, {1500.5, 1260.5, 12000, 9000}, {3360, 2340, 5280, 4320}},
        LayoutCase{"full_halves", 1, 0, {15001, 11521}, {0, 0, 15001, 11521}, {4860.5, 3600.5, 5280, 4320}},
        // A screen smaller than the window puts it partly off screen, as centring gives.
        LayoutCase{"small_screen", 0, 1, {9600, 7200}, {-1200, -900, 12000, 9000}, {0, 0, 12000, 9000}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
