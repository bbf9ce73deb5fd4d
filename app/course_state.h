#pragma once

#include <cstdint>

namespace app {

// The section the main window shows: 0 start screen, 1 main index, 2 pronunciation, 3 Chinese
// writing, 4 and 5 usual phrases and grammar (numbered differently by the menu and by the
// movies' commands), 6 annexes, 7 ending.
inline std::int16_t CurrentSection = 0;

// The main window's opacity, 0 (invisible) to 255 (opaque), last chosen by the learner.
inline std::int16_t OpacityLevel = 255;

constexpr std::int16_t kStartScreen = 0;
constexpr std::int16_t kMainIndex = 1;
constexpr std::int16_t kEnding = 7;

} // namespace app
