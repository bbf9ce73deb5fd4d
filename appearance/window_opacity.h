#pragma once

#include <cstdint>

class QWidget;

namespace appearance {

// Makes the window see-through at a constant opacity: 255 opaque, 0 invisible (the window is
// still there and keeps its place). Values outside 0..255 are taken as one byte, as the course
// stores them.
void ApplyOpacity(QWidget* window, std::int16_t alpha);

} // namespace appearance
