#include "swf/render/renderer.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"

namespace swf {
namespace {

QTransform to_qt(const Matrix& m)
{
    return QTransform(m.a, m.b, m.c, m.d, m.tx, m.ty);
}

QColor to_qt(Rgba c, const ColorTransform& cx)
{
    Rgba t = cx.apply(c);
    return QColor(t.r, t.g, t.b, t.a);
}

QPainterPath contour_path(const std::vector<Contour>& contours, bool close)
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
        if (close)
            path.closeSubpath();
    }
    return path;
}

QBrush fill_brush(const FillStyle& f, const ColorTransform& cx)
{
    if (f.type == FillStyle::Type::Solid)
        return QBrush(to_qt(f.color, cx));
    if (f.is_gradient()) {
        QGradient gradient;
        // Gradients live in a square of -16384..16384 twips that the fill's matrix places.
        if (f.type == FillStyle::Type::LinearGradient)
            gradient = QLinearGradient(-16384, 0, 16384, 0);
        else
            gradient = QRadialGradient(QPointF(0, 0), 16384, QPointF(f.gradient.focal_point * 16384, 0));
        gradient.setSpread(f.gradient.spread == 1 ? QGradient::ReflectSpread
                           : f.gradient.spread == 2 ? QGradient::RepeatSpread
                                                    : QGradient::PadSpread);
        // Colours blend channel by channel, alpha included, as the format's players do.
        gradient.setInterpolationMode(QGradient::ComponentInterpolation);
        for (const GradientStop& s : f.gradient.stops)
            gradient.setColorAt(s.ratio / 255.0, to_qt(s.color, cx));
        QBrush brush(gradient);
        brush.setTransform(to_qt(f.matrix));
        return brush;
    }
    // Bitmap fills are drawn by the bitmap support; until then they leave the area empty.
    return Qt::NoBrush;
}

} // namespace

QTransform Renderer::stage_transform(const Rect& stage, const QRectF& target)
{
    double sw = std::max(stage.width(), 1), sh = std::max(stage.height(), 1);
    double scale = std::min(target.width() / sw, target.height() / sh);
    QTransform t;
    t.translate(target.center().x() - scale * (stage.x_min + sw / 2), target.center().y() - scale * (stage.y_min + sh / 2));
    t.scale(scale, scale);
    return t;
}

void Renderer::release()
{
    m_shapes.clear();
    m_library.reset();
}

const Renderer::CachedShape& Renderer::shape(const ShapeCharacter& character)
{
    auto it = m_shapes.find(&character);
    if (it != m_shapes.end())
        return it->second;
    CachedShape cached;
    const ShapeGeometry& g = character.geometry();
    for (const ShapeLayer& layer : g.layers) {
        CachedLayer out;
        for (const StyledPath& fill : layer.fills) {
            QPainterPath path = contour_path(fill.contours, true);
            path.setFillRule(g.nonzero_winding ? Qt::WindingFill : Qt::OddEvenFill);
            cached.outline.addPath(path);
            out.fills.push_back({fill.style, path});
        }
        for (const StyledPath& stroke : layer.strokes)
            out.strokes.push_back({stroke.style, contour_path(stroke.contours, false)});
        cached.layers.push_back(std::move(out));
    }
    return m_shapes.emplace(&character, std::move(cached)).first->second;
}

void Renderer::draw_shape(QPainter& painter, const ShapeCharacter& character, const QTransform& transform,
                          const ColorTransform& cx)
{
    const CachedShape& cached = shape(character);
    const ShapeGeometry& g = character.geometry();
    painter.setTransform(transform);
    // Lines are at least one device pixel wide, as hairlines are.
    double scale = std::sqrt(std::abs(transform.determinant()));
    for (const CachedLayer& layer : cached.layers) {
        painter.setPen(Qt::NoPen);
        for (const CachedFill& fill : layer.fills) {
            QBrush brush = fill_brush(g.fills[fill.style], cx);
            if (brush.style() == Qt::NoBrush)
                continue;
            painter.setBrush(brush);
            painter.drawPath(fill.path);
        }
        painter.setBrush(Qt::NoBrush);
        for (const CachedStroke& stroke : layer.strokes) {
            const LineStyle& l = g.lines[stroke.style];
            QPen pen(to_qt(l.color, cx));
            double width = l.width;
            if (width * scale < 1.0) {
                pen.setCosmetic(true);
                width = 1.0;
            }
            pen.setWidthF(width);
            pen.setCapStyle(l.start_cap == LineStyle::NoCap ? Qt::FlatCap
                            : l.start_cap == LineStyle::SquareCap ? Qt::SquareCap
                                                                   : Qt::RoundCap);
            pen.setJoinStyle(l.join == LineStyle::BevelJoin ? Qt::BevelJoin
                             : l.join == LineStyle::MiterJoin ? Qt::MiterJoin
                                                              : Qt::RoundJoin);
            if (l.join == LineStyle::MiterJoin)
                pen.setMiterLimit(l.miter_limit);
            painter.setPen(pen);
            painter.drawPath(stroke.path);
        }
    }
}

QPainterPath Renderer::mask_path(const DisplayObject& object, const QTransform& parent)
{
    QTransform t = to_qt(object.matrix) * parent;
    QPainterPath path;
    if (object.kind() == DisplayObject::Kind::Graphic) {
        const Character* c = object.character();
        if (c && c->type == CharacterType::Shape)
            path = t.map(shape(*static_cast<const ShapeCharacter*>(c)).outline);
    } else if (object.kind() == DisplayObject::Kind::MovieClip) {
        for (const auto& [depth, child] : static_cast<const MovieClip&>(object).children())
            path.addPath(mask_path(*child, t));
    } else {
        for (const auto& [depth, child] : static_cast<const ButtonInstance&>(object).children())
            path.addPath(mask_path(*child, t));
    }
    path.setFillRule(Qt::WindingFill);
    return path;
}

void Renderer::draw_list(QPainter& painter, const DisplayList& list, const QTransform& transform,
                         const ColorTransform& cx)
{
    struct Mask {
        int until;
        QPainterPath path;
    };
    std::vector<Mask> masks;
    for (const auto& [depth, object] : list) {
        while (!masks.empty() && depth > masks.back().until)
            masks.pop_back();
        if (object->clip_depth > 0) {
            masks.push_back({object->clip_depth, mask_path(*object, transform)});
            continue;
        }
        if (masks.empty()) {
            draw_object(painter, *object, transform, cx);
            continue;
        }
        painter.save();
        painter.resetTransform();
        for (const Mask& m : masks)
            painter.setClipPath(m.path, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
        draw_object(painter, *object, transform, cx);
        painter.restore();
    }
}

void Renderer::draw_object(QPainter& painter, const DisplayObject& object, const QTransform& parent,
                           const ColorTransform& parent_cx)
{
    if (!object.visible)
        return;
    QTransform t = to_qt(object.matrix) * parent;
    ColorTransform cx = parent_cx * object.color_transform;
    switch (object.kind()) {
    case DisplayObject::Kind::Graphic: {
        const Character* c = object.character();
        if (c && c->type == CharacterType::Shape)
            draw_shape(painter, *static_cast<const ShapeCharacter*>(c), t, cx);
        break;
    }
    case DisplayObject::Kind::MovieClip:
        draw_list(painter, static_cast<const MovieClip&>(object).children(), t, cx);
        break;
    case DisplayObject::Kind::Button:
        draw_list(painter, static_cast<const ButtonInstance&>(object).children(), t, cx);
        break;
    }
}

void Renderer::render(QPainter& painter, const Player& player, const QRectF& target, const QColor& background)
{
    if (player.shared_library() != m_library) {
        release();
        m_library = player.shared_library();
    }
    painter.save();
    Rgba bg = player.background();
    painter.fillRect(target, background.isValid() ? background : QColor(bg.r, bg.g, bg.b));
    if (const MovieClip* root = player.root()) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setClipRect(target, Qt::IntersectClip);
        draw_object(painter, *root, stage_transform(player.stage(), target), ColorTransform{});
    }
    painter.restore();
}

QImage Renderer::render_image(const Player& player, QSize size, const QColor& background)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    QPainter painter(&image);
    render(painter, player, QRectF(QPointF(0, 0), QSizeF(size)), background);
    return image;
}

} // namespace swf
