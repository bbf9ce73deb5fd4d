#pragma once

#include <cstdint>

#include "swf/parser/reader.h"

namespace swf {

// Coordinates are twips (1/20 pixel) throughout.
struct Rgba {
    std::uint8_t r = 0, g = 0, b = 0, a = 255;
    bool operator==(const Rgba&) const = default;
};

struct Rect {
    std::int32_t x_min = 0, x_max = 0, y_min = 0, y_max = 0;
    std::int32_t width() const { return x_max - x_min; }
    std::int32_t height() const { return y_max - y_min; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    double x = 0, y = 0;
    bool operator==(const Point&) const = default;
};

// x' = a*x + c*y + tx, y' = b*x + d*y + ty (a, d scale; b, c rotate/skew; translation in twips).
struct Matrix {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;

    Point apply(Point p) const { return {a * p.x + c * p.y + tx, b * p.x + d * p.y + ty}; }
    // this applied after `inner`.
    Matrix operator*(const Matrix& inner) const;
    // The inverse, or the identity if the matrix is singular.
    Matrix inverted(bool* invertible = nullptr) const;
    bool operator==(const Matrix&) const = default;
};

// Colour transform: channel' = channel * mult + add, mult in 1/256 units kept as a factor.
struct ColorTransform {
    double r_mult = 1, g_mult = 1, b_mult = 1, a_mult = 1;
    double r_add = 0, g_add = 0, b_add = 0, a_add = 0;

    Rgba apply(Rgba c) const;
    ColorTransform operator*(const ColorTransform& inner) const;
    bool operator==(const ColorTransform&) const = default;
};

Rgba read_rgb(Reader& r);
Rgba read_rgba(Reader& r);
Rect read_rect(Reader& r);
Matrix read_matrix(Reader& r);
ColorTransform read_cxform(Reader& r, bool with_alpha);

} // namespace swf
