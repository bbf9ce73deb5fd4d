#pragma once

#include <cstdint>
#include <span>

namespace swf::fuzz {

// Loads bytes as a movie and plays it as the program would, with the interpreter, drawing each
// frame small and mixing its sound offline, with mouse and key input between frames.
void play(std::span<const std::uint8_t> data);

} // namespace swf::fuzz
