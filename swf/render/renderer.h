#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <memory>
#include <unordered_map>
#include <vector>

#include "swf/core/display_object.h"
#include "swf/core/player.h"

class QPainter;

namespace swf {

struct ShapeCharacter;

// Draws a player's display tree with QPainter (antialiased). The stage is shown whole
// ("show all": one uniform scale, centred); the background colour fills the whole target.
// Converted shape paths are cached per shape for as long as the movie lives.
class Renderer {
public:
    // `background`, when valid, replaces the movie's background colour.
    void render(QPainter& painter, const Player& player, const QRectF& target, const QColor& background = {});
    // The whole target as an image of `size` pixels.
    QImage render_image(const Player& player, QSize size, const QColor& background = {});

    // Forgets the cached paths and lets the last movie's characters go.
    void release();

    // Stage twips → target coordinates, and back.
    static QTransform stage_transform(const Rect& stage, const QRectF& target);

private:
    struct CachedStroke {
        std::uint32_t style;
        QPainterPath path;
    };
    struct CachedFill {
        std::uint32_t style;
        QPainterPath path;
    };
    struct CachedLayer {
        std::vector<CachedFill> fills;
        std::vector<CachedStroke> strokes;
    };
    struct CachedShape {
        std::vector<CachedLayer> layers;
        QPainterPath outline; // union of the filled areas, for masks
    };

    const CachedShape& shape(const ShapeCharacter& character);
    void draw_list(QPainter& painter, const DisplayList& list, const QTransform& transform, const ColorTransform& cx);
    void draw_object(QPainter& painter, const DisplayObject& object, const QTransform& parent, const ColorTransform& cx);
    void draw_shape(QPainter& painter, const ShapeCharacter& character, const QTransform& transform,
                    const ColorTransform& cx);
    // The area an object covers, in the painter's device space (for clip-depth masks).
    QPainterPath mask_path(const DisplayObject& object, const QTransform& parent);

    std::shared_ptr<const Library> m_library; // keeps the cached characters' addresses valid
    std::unordered_map<const ShapeCharacter*, CachedShape> m_shapes;
};

} // namespace swf
