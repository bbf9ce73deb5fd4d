#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "swf/parser/reader.h"
#include "swf/parser/types.h"

namespace swf {

struct Header {
    bool compressed = false; // "CWS" (zlib after the first 8 bytes) rather than "FWS"
    std::uint8_t version = 0;
    std::uint32_t file_length = 0; // as declared: the uncompressed length of the whole file
    Rect stage;                    // twips
    double frame_rate = 0;         // frames per second (8.8 fixed point in the file)
    std::uint16_t frame_count = 0;
};

// One tag of a tag stream: its code and a view of its body inside the movie's data.
struct Tag {
    std::uint16_t code = 0;
    Bytes body;
    std::size_t offset = 0; // of the tag header, from the start of the stream it came from
    bool long_header = false;
};

struct ParseLimits {
    // Largest uncompressed movie accepted (a CWS file can declare anything).
    std::size_t max_file_length = 256u << 20;
};

// A whole movie: the uncompressed file and its top-level tag stream. Tags view `data`, so a
// Movie is never copied; share it through the pointer that parse_movie returns.
struct Movie {
    Header header;
    std::vector<std::uint8_t> data; // the uncompressed file, header included
    std::vector<Tag> tags;          // up to and without the End tag
    std::vector<std::string> warnings; // damage that was skipped

    Movie() = default;
    Movie(const Movie&) = delete;
    Movie& operator=(const Movie&) = delete;
};

struct ParseResult {
    std::shared_ptr<const Movie> movie; // null when the file was refused
    std::string error;                  // why it was refused
};

// Reads a whole SWF file (FWS or CWS). A file that is not a movie or is damaged beyond use is
// refused with a reason; a damaged tag stream keeps the tags before the damage.
ParseResult parse_movie(std::vector<std::uint8_t> file, const ParseLimits& limits = {});

// Splits a tag stream into tags, stopping at the End tag or the end of the data. A tag whose
// length runs past the data ends the stream and is reported in `warnings`.
std::vector<Tag> read_tags(Bytes stream, std::vector<std::string>* warnings = nullptr);

// Reads a movie file into `bytes` in one piece, sized from the file, so a large movie is held
// once. A folder, a missing or unreadable file, or one larger than any movie can be, is refused
// with a reason.
bool read_movie_file(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error,
                     const ParseLimits& limits = {});

} // namespace swf
