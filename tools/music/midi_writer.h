#pragma once

#include "score.h"

#include <cstdint>
#include <vector>

namespace music {

// A standard MIDI file (format 1) of the piece: a first track with the title, tempo and meter,
// then one track per part on a channel of its own (percussion on channel 10). Every track sets
// its instrument and controllers at the start and ends exactly at the piece's length, so the
// file repeats without a seam.
std::vector<std::uint8_t> writeMidi(const Piece& piece);

} // namespace music
