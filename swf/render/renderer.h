#pragma once

#include <QColor>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QTransform>

#include <memory>
#include <unordered_map>

#include "swf/core/display_object.h"
#include "swf/core/player.h"
#include "swf/render/character_cache.h"
#include "swf/render/raster_cache.h"

class QPainter;

namespace swf {

// Draws a player's display tree with QPainter (antialiased): every level, shapes, morph shapes,
// bitmap fills, static and edit text, masks, matrices and colour transforms down the tree.
// The stage is shown whole ("show all": one uniform scale, centred); the background colour
// fills the whole target. What can be kept between frames (shape paths, morph shapes per
// ratio, decoded bitmaps, glyphs) is kept per movie for as long as that movie lives.
class Renderer {
public:
    // `background`, when valid, replaces the movie's background colour.
    void render(QPainter& painter, const Player& player, const QRectF& target, const QColor& background = {});
    // The whole target as an image of `size` pixels.
    QImage render_image(const Player& player, QSize size, const QColor& background = {});

    // Forgets everything kept and lets the movies go.
    void release();

    // Stage twips → target coordinates, and back.
    static QTransform stage_transform(const Rect& stage, const QRectF& target);

private:
    struct Cache {
        std::weak_ptr<const Library> library; // expired: the movie is gone and so is the cache
        std::unique_ptr<CharacterCache> characters;
    };

    // The cache of the object's movie; null if its movie cannot be found.
    CharacterCache* cache_for(const DisplayObject& object);
    void draw_list(QPainter& painter, const DisplayList& list, const QTransform& transform, const ColorTransform& cx);
    void draw_object(QPainter& painter, const DisplayObject& object, const QTransform& parent, const ColorTransform& cx);
    void draw_graphic(QPainter& painter, const DisplayObject& object, const QTransform& transform,
                      const ColorTransform& cx);
    // The area an object covers, in the painter's device space (for clip-depth masks).
    QPainterPath mask_path(const DisplayObject& object, const QTransform& parent);

    const Player* m_player = nullptr;
    std::unordered_map<const Library*, Cache> m_caches;
    RasterCache m_raster;
};

} // namespace swf
