#pragma once

#include <QString>

#include <span>

namespace sound {

// One of the ten songs of the annexes: the command the movie sends, the song window's caption,
// the song's movie beside the program, and whether it starts at frame 24.
struct Song {
    const char* command;
    const char* caption;
    const char* movie;
    bool startsAtFrame24;
};

std::span<const Song> SongTable();

// The song a movie command asks for, or nullptr.
const Song* findSong(const QString& command);

} // namespace sound
