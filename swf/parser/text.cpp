#include "swf/parser/text.h"

#include "swf/parser/tag_codes.h"

namespace swf {
namespace {

bool read_glyph(Bytes table, std::size_t start, std::size_t end, Shape& out)
{
    if (start > end || end > table.size())
        return false;
    Reader r(table.subspan(start, end - start));
    return read_shape(r, 1, false, out);
}

void read_font_flags(std::uint8_t flags, bool& small_text, bool& shift_jis, bool& ansi, bool& italic, bool& bold,
                     bool& wide)
{
    small_text = flags & 0x20;
    shift_jis = flags & 0x10;
    ansi = flags & 0x08;
    italic = flags & 0x04;
    bold = flags & 0x02;
    wide = flags & 0x01;
}

bool decode_font1(Reader& r, DefineFont& out)
{
    Bytes table = r.rest();
    Reader offsets(table);
    std::uint16_t first = offsets.u16();
    if (!offsets.ok())
        return table.empty(); // a font without glyphs
    std::size_t count = first / 2;
    if (count == 0 || first > table.size())
        return false;
    std::vector<std::size_t> starts;
    starts.push_back(first);
    for (std::size_t i = 1; i < count; ++i)
        starts.push_back(offsets.u16());
    if (!offsets.ok())
        return false;
    starts.push_back(table.size());
    for (std::size_t i = 0; i < count; ++i) {
        Shape glyph;
        if (!read_glyph(table, starts[i], starts[i + 1], glyph))
            return false;
        out.glyphs.push_back(std::move(glyph));
    }
    return true;
}

bool decode_font2(Reader& r, DefineFont& out)
{
    std::uint8_t flags = r.u8();
    bool has_layout = flags & 0x80;
    out.shift_jis = flags & 0x40;
    out.small_text = flags & 0x20;
    out.ansi = flags & 0x10;
    bool wide_offsets = flags & 0x08;
    out.wide_codes = flags & 0x04;
    out.italic = flags & 0x02;
    out.bold = flags & 0x01;
    out.language = r.u8();
    std::uint8_t name_length = r.u8();
    Bytes name = r.bytes(name_length);
    // Names are stored with or without a terminating NUL.
    std::size_t shown = name.size();
    while (shown > 0 && name[shown - 1] == 0)
        --shown;
    out.name = {reinterpret_cast<const char*>(name.data()), shown};
    std::uint16_t count = r.u16();
    if (!r.ok())
        return false;
    Bytes table = r.rest();
    Reader t(table);
    std::size_t entry = wide_offsets ? 4 : 2;
    if (std::size_t(count + 1) * entry > table.size())
        return count == 0;
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i <= count; ++i)
        offsets.push_back(wide_offsets ? t.u32() : t.u16());
    std::size_t code_offset = offsets.back();
    if (code_offset > table.size())
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        Shape glyph;
        if (!read_glyph(table, offsets[i], i + 1 < count ? offsets[i + 1] : code_offset, glyph))
            return false;
        out.glyphs.push_back(std::move(glyph));
    }
    Reader rest(table.subspan(code_offset));
    for (std::size_t i = 0; i < count && rest.ok(); ++i)
        out.codes.push_back(out.wide_codes ? rest.u16() : rest.u8());
    if (has_layout && rest.ok()) {
        FontLayout layout;
        layout.ascent = rest.u16();
        layout.descent = rest.u16();
        layout.leading = rest.s16();
        for (std::size_t i = 0; i < count && rest.ok(); ++i)
            layout.advances.push_back(rest.s16());
        for (std::size_t i = 0; i < count && rest.ok(); ++i)
            layout.bounds.push_back(read_rect(rest));
        std::uint16_t pairs = rest.u16();
        for (std::size_t i = 0; i < pairs && rest.ok(); ++i) {
            KerningPair k;
            k.left = out.wide_codes ? rest.u16() : rest.u8();
            k.right = out.wide_codes ? rest.u16() : rest.u8();
            k.adjustment = rest.s16();
            layout.kerning.push_back(k);
        }
        // Some tools truncate the kerning table; keep the layout when its main parts are whole.
        if (layout.bounds.size() == count)
            out.layout = std::move(layout);
    }
    return out.codes.size() == count;
}

} // namespace

bool decode_define_font(const Tag& tag, DefineFont& out)
{
    Reader r(tag.body);
    out.id = r.u16();
    if (!r.ok())
        return false;
    if (tag.code == static_cast<std::uint16_t>(TagCode::DefineFont)) {
        out.version = 1;
        return decode_font1(r, out);
    }
    if (tag.code == static_cast<std::uint16_t>(TagCode::DefineFont2)) {
        out.version = 2;
        return decode_font2(r, out);
    }
    return false;
}

bool decode_define_font_info(const Tag& tag, DefineFontInfo& out)
{
    bool v2 = tag.code == static_cast<std::uint16_t>(TagCode::DefineFontInfo2);
    if (!v2 && tag.code != static_cast<std::uint16_t>(TagCode::DefineFontInfo))
        return false;
    out.version = v2 ? 2 : 1;
    Reader r(tag.body);
    out.font_id = r.u16();
    std::uint8_t name_length = r.u8();
    Bytes name = r.bytes(name_length);
    std::size_t shown = name.size();
    while (shown > 0 && name[shown - 1] == 0)
        --shown;
    out.name = {reinterpret_cast<const char*>(name.data()), shown};
    read_font_flags(r.u8(), out.small_text, out.shift_jis, out.ansi, out.italic, out.bold, out.wide_codes);
    if (v2) {
        out.language = r.u8();
        out.wide_codes = true;
    }
    while (r.ok() && !r.at_end())
        out.codes.push_back(out.wide_codes ? r.u16() : r.u8());
    return r.ok();
}

bool decode_define_text(const Tag& tag, DefineText& out)
{
    bool v2 = tag.code == static_cast<std::uint16_t>(TagCode::DefineText2);
    if (!v2 && tag.code != static_cast<std::uint16_t>(TagCode::DefineText))
        return false;
    out.version = v2 ? 2 : 1;
    Reader r(tag.body);
    out.id = r.u16();
    out.bounds = read_rect(r);
    out.matrix = read_matrix(r);
    unsigned glyph_bits = r.u8();
    unsigned advance_bits = r.u8();
    if (glyph_bits > 32 || advance_bits > 32)
        return false;
    while (r.ok()) {
        std::uint8_t flags = r.u8();
        if (flags == 0)
            break;
        TextRecord rec;
        if (flags & 0x08)
            rec.font_id = r.u16();
        if (flags & 0x04)
            rec.color = v2 ? read_rgba(r) : read_rgb(r);
        if (flags & 0x01)
            rec.x_offset = r.s16();
        if (flags & 0x02)
            rec.y_offset = r.s16();
        if (flags & 0x08)
            rec.height = r.u16();
        std::uint8_t count = r.u8();
        for (unsigned i = 0; i < count && r.ok(); ++i) {
            GlyphEntry g;
            g.index = r.ub(glyph_bits);
            g.advance = r.sb(advance_bits);
            rec.glyphs.push_back(g);
        }
        r.align();
        out.records.push_back(std::move(rec));
    }
    return r.ok();
}

bool decode_define_edit_text(const Tag& tag, DefineEditText& out)
{
    if (tag.code != static_cast<std::uint16_t>(TagCode::DefineEditText))
        return false;
    Reader r(tag.body);
    out.id = r.u16();
    out.bounds = read_rect(r);
    std::uint8_t a = r.u8();
    std::uint8_t b = r.u8();
    out.word_wrap = a & 0x40;
    out.multiline = a & 0x20;
    out.password = a & 0x10;
    out.read_only = a & 0x08;
    out.auto_size = b & 0x40;
    out.no_select = b & 0x10;
    out.border = b & 0x08;
    out.was_static = b & 0x04;
    out.html = b & 0x02;
    out.use_outlines = b & 0x01;
    if (a & 0x01)
        out.font_id = r.u16();
    if (b & 0x80)
        out.font_class = r.string();
    if (a & 0x01)
        out.font_height = r.u16();
    if (a & 0x04)
        out.color = read_rgba(r);
    if (a & 0x02)
        out.max_length = r.u16();
    if (b & 0x20) {
        out.has_layout = true;
        out.align = r.u8();
        out.left_margin = r.u16();
        out.right_margin = r.u16();
        out.indent = r.u16();
        out.leading = r.s16();
    }
    out.variable_name = r.string();
    if (a & 0x80)
        out.initial_text = r.string();
    return r.ok();
}

} // namespace swf
