#include "swf/render/character_cache.h"

#include <cmath>

#include "swf/render/bitmap_decoder.h"
#include "swf/render/morph.h"
#include "swf/render/raster_cache.h"

namespace swf {
namespace {

// Morph tweens show a few dozen ratios each; a morph driven through more forgets the older.
constexpr std::size_t kMorphRatiosKept = 128;
// Colour-transformed copies of one bitmap (a fade makes a new one per frame).
constexpr std::size_t kTransformedBitmapsKept = 8;

} // namespace

GlyphSet::GlyphSet(const FontCharacter& font) : m_font(font), m_paths(font.def.glyphs.size())
{
    const std::vector<std::uint16_t>& codes = font.def.codes.empty() && font.info ? font.info->codes : font.def.codes;
    for (std::size_t i = 0; i < codes.size() && i < m_paths.size(); ++i)
        m_codes.emplace(codes[i], int(i));
}

const QPainterPath* GlyphSet::glyph(std::uint32_t index)
{
    if (index >= m_paths.size())
        return nullptr;
    if (!m_paths[index]) {
        // Glyph records select fill style 1 of a style array they do not carry.
        Shape outline = m_font.def.glyphs[index];
        outline.fills.assign(1, FillStyle{});
        ShapeGeometry g = build_shape_geometry(outline);
        QPainterPath path;
        for (const ShapeLayer& layer : g.layers)
            for (const StyledPath& fill : layer.fills)
                path.addPath(contour_path(fill.contours, true));
        // Even-odd, as shapes are filled: a contour inside another is a hole.
        path.setFillRule(Qt::OddEvenFill);
        m_paths[index] = std::move(path);
    }
    return &*m_paths[index];
}

int GlyphSet::index_of(std::uint32_t code) const
{
    auto it = m_codes.find(code);
    return it == m_codes.end() ? -1 : it->second;
}

const ShapePainter& CharacterCache::shape(const ShapeCharacter& shape)
{
    auto it = m_shapes.find(&shape);
    if (it == m_shapes.end())
        it = m_shapes.emplace(&shape, ShapePainter(shape.geometry())).first;
    return it->second;
}

const ShapePainter& CharacterCache::morph(const MorphShapeCharacter& morph, std::uint16_t ratio)
{
    auto& ratios = m_morphs[&morph];
    auto it = ratios.find(ratio);
    if (it != ratios.end())
        return it->second;
    if (ratios.size() >= kMorphRatiosKept)
        ratios.clear();
    return ratios.emplace(ratio, ShapePainter(build_shape_geometry(morph_at(morph.def, ratio)))).first->second;
}

GlyphSet* CharacterCache::font(std::uint16_t id)
{
    auto it = m_fonts.find(id);
    if (it != m_fonts.end())
        return it->second.get();
    const Character* c = m_library->find(id);
    auto set = c && c->type == CharacterType::Font ? std::make_unique<GlyphSet>(*static_cast<const FontCharacter*>(c))
                                                   : nullptr;
    return m_fonts.emplace(id, std::move(set)).first->second.get();
}

const TextRuns& CharacterCache::text(const DefineText& text)
{
    auto it = m_texts.find(&text);
    if (it != m_texts.end())
        return it->second;
    TextRuns out;
    GlyphSet* font = nullptr;
    double scale = 0, x = 0, y = 0;
    Rgba color;
    for (const TextRecord& record : text.records) {
        if (record.font_id) {
            font = this->font(*record.font_id);
            scale = record.height / 1024.0;
        }
        if (record.color)
            color = *record.color;
        if (record.x_offset)
            x = *record.x_offset;
        if (record.y_offset)
            y = *record.y_offset;
        if (out.runs.empty() || !(out.runs.back().color == color))
            out.runs.push_back({color, {}});
        QPainterPath& path = out.runs.back().path;
        path.setFillRule(Qt::OddEvenFill);
        for (const GlyphEntry& g : record.glyphs) {
            if (const QPainterPath* glyph = font ? font->glyph(g.index) : nullptr)
                path.addPath(QTransform(scale, 0, 0, scale, x, y).map(*glyph));
            x += g.advance;
        }
    }
    for (const TextRuns::Run& run : out.runs)
        out.outline.addPath(run.path);
    out.id = RasterCache::new_id();
    out.outline.setFillRule(Qt::OddEvenFill);
    return m_texts.emplace(&text, std::move(out)).first->second;
}

const QImage* CharacterCache::bitmap(std::uint16_t id, const ColorTransform& cx)
{
    auto it = m_bitmaps.find(id);
    if (it == m_bitmaps.end()) {
        const Character* c = m_library->find(id);
        QImage image;
        if (c && c->type == CharacterType::Bitmap)
            image = decode_bitmap(*static_cast<const BitmapCharacter*>(c));
        it = m_bitmaps.emplace(id, Bitmap{std::move(image), {}}).first;
    }
    Bitmap& b = it->second;
    if (b.image.isNull())
        return nullptr;
    if (cx == ColorTransform{})
        return &b.image;
    std::vector<double> key{cx.r_mult, cx.g_mult, cx.b_mult, cx.a_mult, cx.r_add, cx.g_add, cx.b_add, cx.a_add};
    auto t = b.transformed.find(key);
    if (t == b.transformed.end()) {
        if (b.transformed.size() >= kTransformedBitmapsKept)
            b.transformed.clear();
        t = b.transformed.emplace(key, color_transformed(b.image, cx)).first;
    }
    return &t->second;
}

} // namespace swf
