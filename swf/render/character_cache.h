#pragma once

#include <QImage>
#include <QPainterPath>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "swf/core/characters.h"
#include "swf/render/shape_painter.h"

namespace swf {

// An embedded font's glyph outlines as paths in the 1024-unit em square, made on first use.
class GlyphSet {
public:
    explicit GlyphSet(const FontCharacter& font);
    // Null when the font has no such glyph.
    const QPainterPath* glyph(std::uint32_t index);
    // The glyph of a character code, -1 if the font lacks it.
    int index_of(std::uint32_t code) const;

private:
    const FontCharacter& m_font;
    std::vector<std::optional<QPainterPath>> m_paths;
    std::unordered_map<std::uint32_t, int> m_codes;
};

// A static text's glyphs laid out in its own space (twips), one path per colour run.
struct TextRuns {
    struct Run {
        Rgba color;
        QPainterPath path;
    };
    std::vector<Run> runs;
    QPainterPath outline;
    std::uint64_t id = 0; // for the raster cache
};

// What the renderer keeps of one movie's characters: shape paths, morph shapes per ratio,
// decoded bitmaps (and their colour-transformed copies), glyphs and laid-out static texts.
// It holds the movie, so the characters it points at stay valid.
class CharacterCache : public BitmapSource {
public:
    explicit CharacterCache(std::shared_ptr<const Library> library) : m_library(std::move(library)) {}

    const Library& library() const { return *m_library; }
    const ShapePainter& shape(const ShapeCharacter& shape);
    const ShapePainter& morph(const MorphShapeCharacter& morph, std::uint16_t ratio);
    const TextRuns& text(const DefineText& text);
    // Null if the id is not a font.
    GlyphSet* font(std::uint16_t id);
    const QImage* bitmap(std::uint16_t id, const ColorTransform& cx) override;

private:
    struct Bitmap {
        QImage image; // null: damaged or missing
        std::map<std::vector<double>, QImage> transformed;
    };

    std::shared_ptr<const Library> m_library;
    std::unordered_map<const ShapeCharacter*, ShapePainter> m_shapes;
    std::unordered_map<const MorphShapeCharacter*, std::map<std::uint16_t, ShapePainter>> m_morphs;
    std::unordered_map<const DefineText*, TextRuns> m_texts;
    std::unordered_map<std::uint16_t, std::unique_ptr<GlyphSet>> m_fonts;
    std::unordered_map<std::uint16_t, Bitmap> m_bitmaps;
};

} // namespace swf
