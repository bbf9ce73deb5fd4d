#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace music {

constexpr int kTicksPerBeat = 480;

struct Note {
    int tick = 0;     // start, from the beginning of the piece
    int length = 0;   // written length in ticks
    int key = 0;      // MIDI key
    int velocity = 0; // 1..127
    bool slide = false; // glides up into the note from a whole tone below
};

struct Part {
    std::string name;
    bool drums = false;
    int program = 1; // General MIDI program as the GM lists number them, 1..128
    int volume = 100;
    int pan = 0; // -64 (left) .. 63 (right)
    int reverb = 40;
    int chorus = 0;
    int vibrato = 0;
    int gate = 95; // percent of the written length a note sounds
    bool sustain = false; // the sustain pedal stays down: notes ring out (plucked strings)
    std::vector<Note> notes;
};

struct Piece {
    std::string title;
    int tempo = 72; // beats (quarter notes) per minute
    int beatsPerBar = 4;
    int lengthTicks = 0; // every part has exactly this length, a whole number of bars
    std::vector<Part> parts;

    double seconds() const { return lengthTicks / double(kTicksPerBeat) * 60.0 / tempo; }
};

// A mistake in a score, with the line it was found on.
class ScoreError : public std::runtime_error {
public:
    ScoreError(int line, const std::string& message)
        : std::runtime_error("line " + std::to_string(line) + ": " + message)
    {
    }
};

// Reads a score in the notation described in tools/music/README.md.
Piece parseScore(std::string_view text);

} // namespace music
