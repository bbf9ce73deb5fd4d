#include "swf/render/shape_painter.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

#include "swf/render/qt_convert.h"
#include "swf/render/raster_cache.h"

namespace swf {

QPainterPath contour_path(const std::vector<Contour>& contours, bool fill, bool close_strokes)
{
    QPainterPath path;
    for (const Contour& c : contours) {
        path.moveTo(c.start.x, c.start.y);
        for (const PathSegment& s : c.segments) {
            if (s.curved)
                path.quadTo(s.control.x, s.control.y, s.to.x, s.to.y);
            else
                path.lineTo(s.to.x, s.to.y);
        }
        // A line that comes back to its start is joined there rather than capped twice.
        bool returns = !c.segments.empty() && c.segments.back().to == c.start;
        if (fill || (close_strokes && returns))
            path.closeSubpath();
    }
    return path;
}

namespace {

Qt::PenCapStyle cap(LineStyle::Cap c)
{
    return c == LineStyle::NoCap ? Qt::FlatCap : c == LineStyle::SquareCap ? Qt::SquareCap : Qt::RoundCap;
}

} // namespace

QBrush fill_brush(const FillStyle& f, const ColorTransform& cx)
{
    if (f.type == FillStyle::Type::Solid)
        return QBrush(to_qt(f.color, cx));
    if (!f.is_gradient() || f.gradient.stops.empty())
        return Qt::NoBrush;
    if (f.gradient.stops.size() == 1)
        return QBrush(to_qt(f.gradient.stops.front().color, cx));
    bool invertible = false;
    f.matrix.inverted(&invertible);
    if (!invertible)
        return Qt::NoBrush;
    QGradient gradient;
    // Gradients live in a square of -16384..16384 twips that the fill's matrix places.
    if (f.type == FillStyle::Type::LinearGradient)
        gradient = QLinearGradient(-16384, 0, 16384, 0);
    else
        gradient = QRadialGradient(QPointF(0, 0), 16384,
                                   QPointF(f.type == FillStyle::Type::FocalGradient ? f.gradient.focal_point * 16384 : 0, 0));
    gradient.setSpread(f.gradient.spread == 1   ? QGradient::ReflectSpread
                       : f.gradient.spread == 2 ? QGradient::RepeatSpread
                                                : QGradient::PadSpread);
    // Colours blend channel by channel, alpha included, as the format's players do. With
    // opaque stops that is what Qt's faster default does.
    bool opaque = true;
    for (const GradientStop& s : f.gradient.stops) {
        QColor c = to_qt(s.color, cx);
        opaque &= c.alpha() == 255;
        gradient.setColorAt(s.ratio / 255.0, c);
    }
    if (!opaque)
        gradient.setInterpolationMode(QGradient::ComponentInterpolation);
    QBrush brush(gradient);
    brush.setTransform(to_qt(f.matrix));
    return brush;
}

ShapePainter::ShapePainter(const ShapeGeometry& g) : m_fills(g.fills), m_lines(g.lines), m_id(RasterCache::new_id())
{
    for (const ShapeLayer& layer : g.layers) {
        Layer out;
        for (const StyledPath& fill : layer.fills) {
            if (fill.style >= m_fills.size())
                continue;
            QPainterPath path = contour_path(fill.contours, true, false);
            path.setFillRule(g.nonzero_winding ? Qt::WindingFill : Qt::OddEvenFill);
            m_outline.addPath(path);
            m_bounds |= path.controlPointRect();
            const FillStyle& style = m_fills[fill.style];
            out.fills.push_back({fill.style, path, style.is_bitmap() ? QBrush() : fill_brush(style, {}), {}});
        }
        for (const StyledPath& stroke : layer.strokes) {
            if (stroke.style >= m_lines.size())
                continue;
            const LineStyle& l = m_lines[stroke.style];
            QPainterPath path = contour_path(stroke.contours, false, !l.no_close);
            QBrush brush = l.has_fill ? (l.fill.is_bitmap() ? QBrush() : fill_brush(l.fill, {})) : QBrush(to_qt(l.color));
            // Half the width each side; corners of square caps and mitres reach further.
            double reach = l.width * std::max(1.0, l.join == LineStyle::MiterJoin ? l.miter_limit : 1.5) / 2;
            m_bounds |= path.controlPointRect().adjusted(-reach, -reach, reach, reach);
            out.strokes.push_back({stroke.style, path, brush, {}});
        }
        if (!out.fills.empty() || !out.strokes.empty())
            m_layers.push_back(std::move(out));
    }
    m_outline.setFillRule(Qt::WindingFill);
}

QBrush ShapePainter::brush(const FillStyle& f, const ColorTransform& cx, const Part* part, BitmapSource& bitmaps,
                           const QPainterPath** path) const
{
    if (!f.is_bitmap())
        return part && is_identity(cx) ? part->brush : fill_brush(f, cx);
    const QImage* image = bitmaps.bitmap(f.bitmap_id, cx);
    if (!image || image->isNull())
        return Qt::NoBrush;
    QBrush brush(*image);
    brush.setTransform(to_qt(f.matrix));
    bool clipped = f.type == FillStyle::Type::ClippedBitmap || f.type == FillStyle::Type::ClippedBitmapHard;
    if (clipped && part && path) {
        // A clipped bitmap is not repeated: the area outside it stays empty.
        if (!part->clip) {
            QPainterPath area;
            area.addRect(QRectF(image->rect()));
            part->clip = part->path.intersected(to_qt(f.matrix).map(area));
        }
        *path = &*part->clip;
    }
    return brush;
}

QPen ShapePainter::pen(const LineStyle& l, const QBrush& brush, double width) const
{
    QPen pen(brush, width);
    pen.setCapStyle(cap(l.start_cap));
    pen.setJoinStyle(l.join == LineStyle::BevelJoin   ? Qt::BevelJoin
                     : l.join == LineStyle::MiterJoin ? Qt::MiterJoin
                                                      : Qt::RoundJoin);
    if (l.join == LineStyle::MiterJoin)
        pen.setMiterLimit(l.miter_limit);
    return pen;
}

void ShapePainter::draw(QPainter& painter, const QTransform& transform, const ColorTransform& cx,
                        BitmapSource& bitmaps) const
{
    painter.setTransform(transform);
    // Lines are at least one device pixel wide, as hairlines are.
    double scale = std::sqrt(std::abs(transform.determinant()));
    for (const Layer& layer : m_layers) {
        painter.setPen(Qt::NoPen);
        for (const Part& fill : layer.fills) {
            const FillStyle& style = m_fills[fill.style];
            const QPainterPath* path = &fill.path;
            if (!style.is_bitmap()) {
                QBrush b = brush(style, cx, &fill, bitmaps, &path);
                if (b.style() != Qt::NoBrush) {
                    painter.setBrush(b);
                    painter.drawPath(*path);
                }
                continue;
            }
            // A fade (alpha multiplied, nothing else) draws the bitmap as it is, translucent,
            // rather than making a transformed copy per step.
            bool fade = cx.r_mult == 1 && cx.g_mult == 1 && cx.b_mult == 1 && cx.r_add == 0 && cx.g_add == 0
                && cx.b_add == 0 && cx.a_add == 0;
            QBrush b = brush(style, fade ? ColorTransform{} : cx, &fill, bitmaps, &path);
            if (b.style() == Qt::NoBrush)
                continue;
            painter.setRenderHint(QPainter::SmoothPixmapTransform,
                                  style.type == FillStyle::Type::RepeatingBitmap || style.type == FillStyle::Type::ClippedBitmap);
            double opacity = painter.opacity();
            if (fade)
                painter.setOpacity(opacity * std::clamp(cx.a_mult, 0.0, 1.0));
            painter.setBrush(b);
            painter.drawPath(*path);
            painter.setOpacity(opacity);
        }
        painter.setBrush(Qt::NoBrush);
        for (const Part& stroke : layer.strokes) {
            const LineStyle& l = m_lines[stroke.style];
            QBrush b = l.has_fill ? brush(l.fill, cx, &stroke, bitmaps, nullptr)
                                  : is_identity(cx) ? stroke.brush
                                                    : QBrush(to_qt(l.color, cx));
            if (b.style() == Qt::NoBrush)
                continue;
            if (l.width * scale < 1.0) {
                // Thinner than a pixel on screen: a one-pixel hairline.
                QPen hairline = pen(l, b, 1.0);
                hairline.setCosmetic(true);
                painter.setPen(hairline);
                painter.drawPath(stroke.path);
                continue;
            }
            // Lines scale with the shape: the area they cover is worked out once and filled.
            if (!stroke.outline) {
                QPainterPathStroker stroker(pen(l, b, l.width));
                stroker.setCurveThreshold(2); // a tenth of a pixel at the stage's own size
                stroke.outline = stroker.createStroke(stroke.path);
            }
            painter.setPen(Qt::NoPen);
            painter.setBrush(b);
            painter.drawPath(*stroke.outline);
            painter.setBrush(Qt::NoBrush);
        }
    }
}

} // namespace swf
