#include "swf/render/renderer.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>

#include "swf/core/button_instance.h"
#include "swf/core/movie_clip.h"
#include "swf/core/text_field.h"
#include "swf/render/qt_convert.h"
#include "swf/render/text_field_painter.h"

namespace swf {
namespace {

const TextField* text_field(const DisplayObject& object)
{
    return const_cast<DisplayObject&>(object).as_text_field();
}

const DisplayList* children(const DisplayObject& object)
{
    if (const MovieClip* clip = object.as_clip())
        return &clip->children();
    if (object.kind() == DisplayObject::Kind::Button)
        return &static_cast<const ButtonInstance&>(object).children();
    return nullptr;
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
    m_caches.clear();
    m_raster.clear();
}

CharacterCache* Renderer::cache_for(const DisplayObject& object)
{
    const Library* library = object.library();
    if (!library)
        return nullptr;
    auto it = m_caches.find(library);
    if (it != m_caches.end() && !it->second.library.expired())
        return it->second.characters.get();
    // The movie is held by the clip it was loaded into (a level's root, or a loadMovie target).
    std::shared_ptr<const Library> owner;
    for (const DisplayObject* o = &object; o && !owner; o = o->parent())
        if (const MovieClip* clip = o->as_clip(); clip && clip->owned_library().get() == library)
            owner = clip->owned_library();
    if (!owner && m_player && m_player->library() == library)
        owner = m_player->shared_library();
    if (!owner)
        return nullptr;
    Cache& cache = m_caches[library];
    cache.library = owner;
    cache.characters = std::make_unique<CharacterCache>(owner);
    return cache.characters.get();
}

void Renderer::draw_graphic(QPainter& painter, const DisplayObject& object, const QTransform& t,
                            const ColorTransform& cx)
{
    CharacterCache* cache = cache_for(object);
    if (const TextField* field = text_field(object)) {
        draw_text_field(painter, *field, t, cx, cache);
        return;
    }
    const Character* c = object.character();
    if (!c || !cache)
        return;
    auto draw_shape = [&](const ShapePainter& shape) {
        if (shape.empty())
            return;
        m_raster.draw(painter, shape.id(), shape.bounds(), t, cx,
                      [&](QPainter& p, const QTransform& at) { shape.draw(p, at, cx, *cache); });
    };
    switch (c->type) {
    case CharacterType::Shape: draw_shape(cache->shape(*static_cast<const ShapeCharacter*>(c))); break;
    case CharacterType::MorphShape:
        draw_shape(cache->morph(*static_cast<const MorphShapeCharacter*>(c), object.ratio));
        break;
    case CharacterType::Text: {
        const DefineText& def = static_cast<const TextCharacter*>(c)->def;
        const TextRuns& text = cache->text(def);
        m_raster.draw(painter, text.id, text.outline.controlPointRect(), to_qt(def.matrix) * t, cx,
                      [&](QPainter& p, const QTransform& at) {
                          p.setTransform(at);
                          for (const TextRuns::Run& run : text.runs)
                              p.fillPath(run.path, to_qt(run.color, cx));
                      });
        break;
    }
    default: break; // bitmaps are drawn through fills; video is not played
    }
}

QPainterPath Renderer::mask_path(const DisplayObject& object, const QTransform& parent)
{
    QTransform t = to_qt(object.matrix) * parent;
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (const DisplayList* list = children(object)) {
        for (const auto& [depth, child] : *list)
            if (child->clip_depth == 0)
                path.addPath(mask_path(*child, t));
        return path;
    }
    if (const TextField* field = text_field(object)) {
        const Rect& b = field->bounds;
        path.addRect(t.mapRect(QRectF(b.x_min, b.y_min, b.width(), b.height())));
        return path;
    }
    const Character* c = object.character();
    CharacterCache* cache = cache_for(object);
    if (!c || !cache)
        return path;
    switch (c->type) {
    case CharacterType::Shape: path.addPath(t.map(cache->shape(*static_cast<const ShapeCharacter*>(c)).outline())); break;
    case CharacterType::MorphShape:
        path.addPath(t.map(cache->morph(*static_cast<const MorphShapeCharacter*>(c), object.ratio).outline()));
        break;
    case CharacterType::Text: {
        const DefineText& def = static_cast<const TextCharacter*>(c)->def;
        path.addPath((to_qt(def.matrix) * t).map(cache->text(def).outline));
        break;
    }
    default: break;
    }
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
            painter.setClipPath(m.path, Qt::IntersectClip);
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
    if (const DisplayList* list = children(object))
        draw_list(painter, *list, t, cx);
    else
        draw_graphic(painter, object, t, cx);
}

void Renderer::render(QPainter& painter, const Player& player, const QRectF& target, const QColor& background)
{
    m_player = &player;
    // Movies that are gone take their caches with them.
    std::erase_if(m_caches, [](const auto& entry) { return entry.second.library.expired(); });
    painter.save();
    Rgba bg = player.background();
    painter.fillRect(target, background.isValid() ? background : QColor(bg.r, bg.g, bg.b));
    if (player.has_movie()) {
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        painter.setClipRect(target, Qt::IntersectClip);
        QTransform stage = stage_transform(player.stage(), target);
        const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
        m_raster.set_stage_pixels(target.width() * target.height() * dpr * dpr);
        for (const auto& [number, level] : player.levels())
            draw_object(painter, *level, stage, ColorTransform{});
        m_raster.end_frame();
    }
    painter.restore();
    m_player = nullptr;
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
