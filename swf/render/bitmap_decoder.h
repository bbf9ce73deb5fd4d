#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

#include "swf/core/characters.h"

namespace swf {

// A bitmap character's pixels as a premultiplied ARGB image (JPEG without alpha: RGB32).
// Damaged, truncated or oversized data gives a null image, never a crash.
QImage decode_bitmap(const BitmapCharacter& bitmap, std::size_t max_pixels = 16u << 20);

// One plain JPEG stream from the format's pieces: the movie's shared tables (DefineBits) and
// the image data, without the extra start and end markers that tools leave between and
// before them. Empty if the data holds no image scan.
std::vector<std::uint8_t> joined_jpeg(Bytes tables, Bytes image);

// The image with a colour transform applied to every pixel.
QImage color_transformed(const QImage& image, const ColorTransform& cx);

} // namespace swf
