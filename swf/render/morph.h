#pragma once

#include <cstdint>

#include "swf/parser/shapes.h"

namespace swf {

// The shape a morph shows at `ratio` (0 its start, 65535 its end): edges, fills and lines
// blended. An edge straight at one end and curved at the other is blended as a curve.
Shape morph_at(const DefineMorphShape& morph, std::uint16_t ratio);

} // namespace swf
