#pragma once

#include <QString>

#include <cstdint>

namespace platform {
class MediaPlayer;
}

namespace sound {

// Each section's background piece repeats practically without end.
constexpr int kSectionMusicPlayCount = 99'999'999;

// The piece of a section (0 start screen ... 7 ending), relative to the program folder.
QString sectionPiece(std::int16_t section);

// Starts the section's piece from its beginning, repeating.
void playSectionPiece(platform::MediaPlayer& player, std::int16_t section);

} // namespace sound
