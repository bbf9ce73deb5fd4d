#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "swf/parser/shapes.h"

namespace swf {

struct KerningPair {
    std::uint16_t left = 0, right = 0; // character codes
    std::int16_t adjustment = 0;
};

struct FontLayout {
    std::uint16_t ascent = 0, descent = 0;
    std::int16_t leading = 0;
    std::vector<std::int16_t> advances; // per glyph
    std::vector<Rect> bounds;           // per glyph
    std::vector<KerningPair> kerning;
};

// DefineFont and DefineFont2; DefineFontInfo/2 fill in the name, flags and codes of a DefineFont.
// Glyph outlines are in the 1024-unit em square (scaled by 20 in DefineFont3, not read here).
struct DefineFont {
    std::uint16_t id = 0;
    int version = 1;
    std::string_view name;
    bool bold = false, italic = false, small_text = false, shift_jis = false, ansi = false, wide_codes = false;
    std::uint8_t language = 0;
    std::vector<Shape> glyphs;
    std::vector<std::uint16_t> codes; // character code of each glyph (DefineFont2, or from FontInfo)
    std::optional<FontLayout> layout;
};

struct DefineFontInfo {
    std::uint16_t font_id = 0;
    int version = 1;
    std::string_view name;
    bool bold = false, italic = false, small_text = false, shift_jis = false, ansi = false, wide_codes = false;
    std::uint8_t language = 0;
    std::vector<std::uint16_t> codes;
};

struct GlyphEntry {
    std::uint32_t index = 0;
    std::int32_t advance = 0; // twips
};

struct TextRecord {
    std::optional<std::uint16_t> font_id;
    std::optional<Rgba> color;
    std::optional<std::int16_t> x_offset, y_offset;
    std::uint16_t height = 0; // twips; set together with the font
    std::vector<GlyphEntry> glyphs;
};

struct DefineText {
    std::uint16_t id = 0;
    int version = 1;
    Rect bounds;
    Matrix matrix;
    std::vector<TextRecord> records;
};

struct DefineEditText {
    std::uint16_t id = 0;
    Rect bounds;
    bool word_wrap = false, multiline = false, password = false, read_only = false, auto_size = false,
         no_select = false, border = false, was_static = false, html = false, use_outlines = false;
    std::optional<std::uint16_t> font_id;
    std::string_view font_class;
    std::uint16_t font_height = 0;
    std::optional<Rgba> color;
    std::optional<std::uint16_t> max_length;
    bool has_layout = false;
    std::uint8_t align = 0; // 0 left, 1 right, 2 centre, 3 justify
    std::uint16_t left_margin = 0, right_margin = 0, indent = 0;
    std::int16_t leading = 0;
    std::string_view variable_name;
    std::optional<std::string_view> initial_text;
};

bool decode_define_font(const Tag& tag, DefineFont& out); // DefineFont and DefineFont2
bool decode_define_font_info(const Tag& tag, DefineFontInfo& out); // both versions
bool decode_define_text(const Tag& tag, DefineText& out); // DefineText and DefineText2
bool decode_define_edit_text(const Tag& tag, DefineEditText& out);

} // namespace swf
