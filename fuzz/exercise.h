#pragma once

#include <cstdint>
#include <span>

namespace swf::fuzz {

// Feeds bytes through everything that reads movie data: the header and tag stream, every
// tag decoder, the action decoder, the library and a player running a few frames with input.
void exercise(std::span<const std::uint8_t> data);

} // namespace swf::fuzz
