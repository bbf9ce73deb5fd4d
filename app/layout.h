#pragma once

#include <QRectF>
#include <QSizeF>

#include <cstdint>

namespace app {

// Sizes of the main window's layout, in twips.
constexpr double kWindowWidth = 12000;   // 800 px at 96 dpi
constexpr double kWindowHeight = 9000;   // 600 px
constexpr double kStartPlayerWidth = 5280;  // 352 px, the start movie's area
constexpr double kStartPlayerHeight = 4320; // 288 px

// Where the main window and its player go, in twips: the window on the screen, the player in
// the window.
struct MainLayout {
    QRectF window;
    QRectF player;
};

// The layout for a screen mode (0 window, 1 full screen) and section on a screen of the given
// size. Window mode centres an 800 x 600 window; full screen covers the screen. The player
// fills the window, except on the start screen (section 0), where it keeps the start movie's
// 352 x 288 area in the centre. Halves are kept: positions are not rounded here.
MainLayout computeMainLayout(std::int16_t screenMode, std::int16_t section, QSizeF screenTwips);

} // namespace app
