#pragma once

#include <cstdint>

#include "swf/core/player.h"

namespace swf {

// A hash of everything that decides how the stage looks: the objects on every level with
// their characters, matrices, colour transforms, ratios, masks and visibility, the text and
// state of text fields, and the background. Equal signatures draw the same picture, so a
// view need not repaint a frame whose signature has not changed.
std::uint64_t scene_signature(const Player& player);

} // namespace swf
