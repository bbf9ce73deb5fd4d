// Turns a score (tools/music/README.md) into a standard MIDI file:
//   lumavo_music_gen <score> <output.mid>
#include "midi_writer.h"
#include "score.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::cerr << "usage: " << argv[0] << " <score> <output.mid>\n";
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << argv[1] << ": cannot be read\n";
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    music::Piece piece;
    try {
        piece = music::parseScore(text.str());
    } catch (const music::ScoreError& error) {
        std::cerr << argv[1] << ": " << error.what() << '\n';
        return 1;
    }

    // Written beside the target and renamed over it, so a failed run leaves no half file.
    const std::string temporary = std::string(argv[2]) + ".part";
    const auto bytes = music::writeMidi(piece);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.flush()) {
            std::cerr << temporary << ": cannot be written\n";
            return 1;
        }
    }
    if (std::rename(temporary.c_str(), argv[2]) != 0) {
        std::cerr << argv[2] << ": cannot be written\n";
        return 1;
    }
    std::printf("%s: %d bars, %.1f s\n", argv[2], piece.lengthTicks / (piece.beatsPerBar * music::kTicksPerBeat),
                piece.seconds());
    return 0;
}
