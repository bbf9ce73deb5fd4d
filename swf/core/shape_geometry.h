#pragma once

#include <cstdint>
#include <vector>

#include "swf/parser/shapes.h"

namespace swf {

// A shape's edges assembled into drawable paths, in twips.
//
// The file stores edges with a fill style on each side (fill 0 left, fill 1 right) and a line
// style; a figure's outline is spread over many records. For each fill style the edges that
// have it on the right are taken as they are and those that have it on the left are reversed,
// so every edge of one style runs the same way round; they are then chained end to start into
// closed contours, filled with the even-odd rule.

struct PathSegment {
    bool curved = false;
    Point control; // curves only
    Point to;
};

struct Contour {
    Point start;
    std::vector<PathSegment> segments;
    bool closed = false; // fills: the chain returned to its start
};

struct StyledPath {
    std::uint32_t style = 0; // index into ShapeGeometry::fills or ::lines (0-based)
    std::vector<Contour> contours;
};

// Styles introduced together (the initial set, or a "new styles" record) form a layer: its
// fills are drawn first, then its lines, then the next layer.
struct ShapeLayer {
    std::vector<StyledPath> fills;
    std::vector<StyledPath> strokes;
};

struct ShapeGeometry {
    std::vector<FillStyle> fills; // all layers' styles, in order
    std::vector<LineStyle> lines;
    std::vector<ShapeLayer> layers;
    bool nonzero_winding = false;
};

ShapeGeometry build_shape_geometry(const Shape& shape, bool nonzero_winding = false);

// Whether `p` (twips, the shape's own space) lies inside a filled area, or, with
// `include_strokes`, on a line.
bool geometry_contains(const ShapeGeometry& geometry, Point p, bool include_strokes = true);

} // namespace swf
