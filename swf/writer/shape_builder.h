#pragma once

#include <cstdint>
#include <vector>

#include "swf/parser/shapes.h"

namespace swf {

// Builds the outline and styles of a shape from convenient figures. Coordinates are given in
// pixels by default (20 twips each); pass another unit to the constructor, e.g. 1 for glyph
// outlines in the 1024-unit em square. The current fill and line apply to the figures and
// paths started after they are set.
//
//   ShapeBuilder s;
//   s.fill({255, 0, 0}).rect(10, 10, 100, 50);
//   s.no_fill().line(2, {0, 0, 0}).move_to(0, 0).curve_to(50, -40, 100, 0);
class ShapeBuilder {
public:
    explicit ShapeBuilder(double twips_per_unit = 20) : m_unit(twips_per_unit) {}

    ShapeBuilder& fill(Rgba color);
    ShapeBuilder& linear_gradient(const std::vector<GradientStop>& stops, Point from, Point to);
    ShapeBuilder& radial_gradient(const std::vector<GradientStop>& stops, Point center, double radius);
    // A radial gradient whose focus lies `focal_point` (-1..1) of the radius along the x axis
    // (DefineShape4).
    ShapeBuilder& focal_gradient(const std::vector<GradientStop>& stops, Point center, double radius,
                                 double focal_point);
    // The bitmap's pixels are mapped into the shape by `matrix` (1 unit = 1 twip: scale 20 draws
    // one bitmap pixel per stage pixel). Unsmoothed fills are those of DefineShape4's era.
    ShapeBuilder& bitmap_fill(std::uint16_t bitmap_id, const Matrix& matrix, bool clipped = false,
                              bool smoothed = true);
    // Any fill style, as the format stores it (matrices in twips).
    ShapeBuilder& fill(const FillStyle& style);
    ShapeBuilder& no_fill();
    ShapeBuilder& line(double width, Rgba color);
    // Any line style; caps, joins, a fill or the scaling flags need DefineShape4. Width in twips.
    ShapeBuilder& line(const LineStyle& style);
    ShapeBuilder& no_line();

    ShapeBuilder& rect(double x, double y, double w, double h);
    ShapeBuilder& ellipse(double cx, double cy, double rx, double ry);
    ShapeBuilder& circle(double cx, double cy, double r) { return ellipse(cx, cy, r, r); }
    ShapeBuilder& polygon(const std::vector<Point>& points);
    ShapeBuilder& move_to(double x, double y);
    ShapeBuilder& line_to(double x, double y);
    ShapeBuilder& curve_to(double cx, double cy, double x, double y); // quadratic
    ShapeBuilder& close();

    Rect bounds() const; // twips, including half the widest line
    // The lowest DefineShape version that holds these styles (3 when a colour has alpha).
    int minimum_version() const;
    // Style arrays, then the records with their style and pen changes.
    void write_shape_with_style(class BitWriter& w, int version) const;
    // Records only, with fill style 1 for filled paths (font glyphs).
    void write_glyph(class BitWriter& w) const;
    // The records of a morph shape's start (with the style selections) or of its end (pen
    // moves and edges only); both index the morph's own style arrays.
    void write_morph_edges(class BitWriter& w, bool start) const;

    const std::vector<FillStyle>& fill_styles() const { return m_fills; }
    const std::vector<LineStyle>& line_styles() const { return m_lines; }

private:
    struct Segment {
        bool curved = false;
        std::int32_t cx = 0, cy = 0, x = 0, y = 0; // twips, absolute
    };
    struct Path {
        std::uint32_t fill = 0, line = 0; // 1-based style indexes, 0 none
        std::int32_t x = 0, y = 0;         // start, twips
        std::vector<Segment> segments;
    };
    std::int32_t twips(double v) const;
    Path& current();
    enum class Records : std::uint8_t { Styled, Glyph, MovesOnly };
    void write_records(class BitWriter& w, unsigned fill_bits, unsigned line_bits, Records kind) const;

    double m_unit;
    std::vector<FillStyle> m_fills;
    std::vector<LineStyle> m_lines;
    std::uint32_t m_fill = 0, m_line = 0;
    std::vector<Path> m_paths;
    bool m_open = false;
};

} // namespace swf
