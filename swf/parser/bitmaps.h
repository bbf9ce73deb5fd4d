#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "swf/parser/movie.h"

namespace swf {

// DefineBits (JPEG without tables: it uses the movie's JPEGTables), DefineBitsJPEG2 and 3.
// The image data stays encoded; the renderer's image decoder reads it.
struct DefineBitsJpeg {
    std::uint16_t id = 0;
    int version = 1;  // 1 DefineBits, 2 DefineBitsJPEG2, 3 DefineBitsJPEG3
    Bytes image;      // JPEG data (may start with an erroneous EOI+SOI pair, as old tools wrote)
    Bytes alpha_zlib; // version 3: zlib-compressed 8-bit alpha plane, one byte per pixel
};

// DefineBitsLossless and DefineBitsLossless2, pixels still zlib-compressed.
struct DefineBitsLossless {
    enum Format : std::uint8_t { ColorMapped8 = 3, Rgb15 = 4, Rgb24 = 5 };
    std::uint16_t id = 0;
    int version = 1; // 2 has alpha
    Format format = Rgb24;
    std::uint16_t width = 0, height = 0;
    unsigned color_table_size = 0; // format 3: entries in the table
    Bytes zlib_data;
};

struct DecodedBitmap {
    std::uint16_t width = 0, height = 0;
    // Premultiplied 0xAARRGGBB words, row by row (the layout of QImage's ARGB32_Premultiplied).
    std::vector<std::uint32_t> pixels;
};

bool decode_define_bits_jpeg(const Tag& tag, DefineBitsJpeg& out); // all three versions
bool decode_jpeg_tables(const Tag& tag, Bytes& tables);
// Inflates zlib data that must come to exactly `size` bytes (bitmap pixels, alpha planes).
bool inflate_exact(Bytes input, std::vector<std::uint8_t>& out, std::size_t size);
bool decode_define_bits_lossless(const Tag& tag, DefineBitsLossless& out); // both versions

// Inflates and converts the pixels. Refuses (with a reason) damaged or oversized data.
bool decode_lossless_pixels(const DefineBitsLossless& bits, DecodedBitmap& out, std::string* error = nullptr,
                            std::size_t max_pixels = 16u << 20);

} // namespace swf
