#pragma once

#include <QBrush>
#include <QImage>
#include <QPainterPath>
#include <QTransform>

#include <cstdint>
#include <optional>
#include <vector>

#include "swf/core/shape_geometry.h"

class QPainter;

namespace swf {

// Where bitmap fills find their pixels: the image of a bitmap character of the shape's movie
// with a colour transform applied, or null when there is none or it cannot be decoded.
class BitmapSource {
public:
    virtual ~BitmapSource() = default;
    virtual const QImage* bitmap(std::uint16_t id, const ColorTransform& cx) = 0;
};

// A shape's geometry converted once into Qt paths (twips) with its styles, ready to draw at
// any transform. Brushes of fills without a colour transform are made once, too.
class ShapePainter {
public:
    explicit ShapePainter(const ShapeGeometry& geometry);

    // Draws fills then lines, layer by layer, under `transform` (shape twips → device).
    void draw(QPainter& painter, const QTransform& transform, const ColorTransform& cx, BitmapSource& bitmaps) const;
    // The filled areas (for masks and for glyphs).
    const QPainterPath& outline() const { return m_outline; }
    bool empty() const { return m_layers.empty(); }
    // What the fills and lines cover, in twips.
    const QRectF& bounds() const { return m_bounds; }
    std::uint64_t id() const { return m_id; }

private:
    struct Part {
        std::uint32_t style;
        QPainterPath path;
        QBrush brush;                             // fills without a colour transform (not bitmaps)
        mutable std::optional<QPainterPath> clip;    // clipped bitmap fills: the path inside the bitmap
        mutable std::optional<QPainterPath> outline; // lines: the area the line covers, stroked once
    };
    struct Layer {
        std::vector<Part> fills, strokes;
    };

    QBrush brush(const FillStyle& fill, const ColorTransform& cx, const Part* part, BitmapSource& bitmaps,
                 const QPainterPath** path) const;
    QPen pen(const LineStyle& line, const QBrush& brush, double width) const;

    std::vector<FillStyle> m_fills;
    std::vector<LineStyle> m_lines;
    std::vector<Layer> m_layers;
    QPainterPath m_outline;
    QRectF m_bounds;
    std::uint64_t m_id;
};

// A gradient or solid fill as a brush in the shape's space (bitmaps give no brush).
QBrush fill_brush(const FillStyle& fill, const ColorTransform& cx);

// Contours as a path; fills are closed, lines only where they return to their start.
QPainterPath contour_path(const std::vector<Contour>& contours, bool fill, bool close_strokes = false);

} // namespace swf
