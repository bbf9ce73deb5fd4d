#include "swf/writer/movie_builder.h"

#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "swf/parser/buttons.h"
#include "swf/writer/bit_writer.h"

namespace swf {
namespace {

void append_tag(std::vector<std::uint8_t>& stream, std::uint16_t code, const std::vector<std::uint8_t>& body)
{
    BitWriter w;
    // Definitions that hold bitmaps must use the long header; use it whenever the body needs it.
    bool long_form = body.size() >= 0x3F || code == static_cast<std::uint16_t>(TagCode::DefineBitsLossless)
        || code == static_cast<std::uint16_t>(TagCode::DefineBitsLossless2);
    w.u16(static_cast<std::uint16_t>((code << 6) | (long_form ? 0x3F : body.size())));
    if (long_form)
        w.u32(static_cast<std::uint32_t>(body.size()));
    w.bytes(body);
    std::vector<std::uint8_t> out = w.take();
    stream.insert(stream.end(), out.begin(), out.end());
}

std::vector<std::uint8_t> deflate_bytes(const std::vector<std::uint8_t>& data)
{
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, data.data(), static_cast<uLong>(data.size()), Z_BEST_COMPRESSION) != Z_OK)
        throw std::runtime_error("zlib compression failed");
    out.resize(size);
    return out;
}

} // namespace

// ---- Timeline ----

Timeline& Timeline::tag(std::uint16_t code, const std::vector<std::uint8_t>& body)
{
    append_tag(m_stream, code, body);
    if (code == static_cast<std::uint16_t>(TagCode::ShowFrame)) {
        ++m_frames;
        m_frame_open = false;
    } else {
        m_frame_open = true;
    }
    return *this;
}

Timeline& Timeline::tag(TagCode code, const std::vector<std::uint8_t>& body)
{
    return tag(static_cast<std::uint16_t>(code), body);
}

Timeline& Timeline::place(std::uint16_t character, std::uint16_t depth, const Matrix& matrix)
{
    PlaceOptions o;
    o.character = character;
    o.depth = depth;
    o.matrix = matrix;
    return place(o);
}

Timeline& Timeline::place(const PlaceOptions& o)
{
    BitWriter w;
    std::uint8_t flags = (o.clip_depth ? 0x40 : 0) | (o.name ? 0x20 : 0) | (o.ratio ? 0x10 : 0)
        | (o.color_transform ? 0x08 : 0) | (o.matrix ? 0x04 : 0) | (o.character ? 0x02 : 0)
        | (!o.character || o.replace ? 0x01 : 0);
    w.u8(flags);
    w.u16(o.depth);
    if (o.character)
        w.u16(*o.character);
    if (o.matrix)
        w.matrix(*o.matrix);
    if (o.color_transform)
        w.cxform(*o.color_transform, true);
    if (o.ratio)
        w.u16(*o.ratio);
    if (o.name)
        w.string(*o.name);
    if (o.clip_depth)
        w.u16(*o.clip_depth);
    return tag(TagCode::PlaceObject2, w.take());
}

Timeline& Timeline::move(std::uint16_t depth, const Matrix& matrix)
{
    PlaceOptions o;
    o.depth = depth;
    o.matrix = matrix;
    return place(o);
}

Timeline& Timeline::remove(std::uint16_t depth)
{
    BitWriter w;
    w.u16(depth);
    return tag(TagCode::RemoveObject2, w.take());
}

Timeline& Timeline::label(std::string_view name)
{
    BitWriter w;
    w.string(name);
    return tag(TagCode::FrameLabel, w.take());
}

Timeline& Timeline::actions(const ActionAssembler& code)
{
    return tag(TagCode::DoAction, code.bytes());
}

Timeline& Timeline::start_sound(std::uint16_t sound_id, std::uint16_t loops, bool stop)
{
    BitWriter w;
    w.u16(sound_id);
    bool has_loops = loops != 1;
    w.u8(static_cast<std::uint8_t>((stop ? 0x20 : 0) | (has_loops ? 0x04 : 0)));
    if (has_loops)
        w.u16(loops);
    return tag(TagCode::StartSound, w.take());
}

namespace {

unsigned rate_code(std::uint32_t rate)
{
    return rate >= 44100 ? 3 : rate >= 22050 ? 2 : rate >= 11025 ? 1 : 0;
}

void write_sound_info(BitWriter& w, const SoundInfo& info)
{
    w.ub(2, 0);
    w.flag(info.sync_stop);
    w.flag(info.sync_no_multiple);
    w.flag(!info.envelope.empty());
    w.flag(info.has_loops);
    w.flag(info.has_out_point);
    w.flag(info.has_in_point);
    if (info.has_in_point)
        w.u32(info.in_point);
    if (info.has_out_point)
        w.u32(info.out_point);
    if (info.has_loops)
        w.u16(info.loop_count);
    if (!info.envelope.empty()) {
        w.u8(static_cast<std::uint8_t>(std::min<std::size_t>(info.envelope.size(), 255)));
        for (std::size_t i = 0; i < info.envelope.size() && i < 255; ++i) {
            w.u32(info.envelope[i].position44);
            w.u16(info.envelope[i].left);
            w.u16(info.envelope[i].right);
        }
    }
}

} // namespace

Timeline& Timeline::start_sound(std::uint16_t sound_id, const SoundInfo& info)
{
    BitWriter w;
    w.u16(sound_id);
    write_sound_info(w, info);
    return tag(TagCode::StartSound, w.take());
}

Timeline& Timeline::stream_head(const SoundStreamHead& head)
{
    BitWriter w;
    w.ub(4, 0);
    w.ub(2, rate_code(head.playback_rate));
    w.flag(head.playback_sixteen_bit);
    w.flag(head.playback_stereo);
    w.ub(4, static_cast<std::uint32_t>(head.format));
    w.ub(2, rate_code(head.rate));
    w.flag(head.sixteen_bit);
    w.flag(head.stereo);
    w.u16(head.samples_per_block);
    if (head.format == SoundFormat::Mp3)
        w.s16(head.latency_seek);
    bool first_version = head.format == SoundFormat::Adpcm || head.format == SoundFormat::Mp3;
    return tag(first_version ? TagCode::SoundStreamHead : TagCode::SoundStreamHead2, w.take());
}

Timeline& Timeline::stream_block(const std::vector<std::uint8_t>& data)
{
    return tag(TagCode::SoundStreamBlock, data);
}

Timeline& Timeline::show_frame()
{
    return tag(TagCode::ShowFrame, {});
}

std::vector<std::uint8_t> Timeline::closed_stream() const
{
    std::vector<std::uint8_t> stream = m_stream;
    if (m_frame_open || m_frames == 0)
        append_tag(stream, static_cast<std::uint16_t>(TagCode::ShowFrame), {});
    append_tag(stream, static_cast<std::uint16_t>(TagCode::End), {});
    return stream;
}

// ---- ButtonBuilder ----

ButtonBuilder& ButtonBuilder::state(std::uint8_t states, std::uint16_t character, const Matrix& matrix,
                                    std::uint16_t depth, const ColorTransform& color_transform)
{
    m_records.push_back({states, character, depth, matrix, color_transform});
    return *this;
}

ButtonBuilder& ButtonBuilder::on(std::uint16_t conditions, const ActionAssembler& code, std::uint8_t key_code)
{
    m_actions.push_back({conditions, key_code, code.bytes()});
    return *this;
}

ButtonBuilder& ButtonBuilder::track_as_menu(bool menu)
{
    m_menu = menu;
    return *this;
}

ButtonBuilder& ButtonBuilder::version(int v)
{
    m_version = v == 1 ? 1 : 2;
    return *this;
}

// ---- FontBuilder ----

FontBuilder& FontBuilder::glyph(std::uint16_t code, const ShapeBuilder& outline, std::int16_t advance)
{
    m_glyphs.push_back({code, outline, advance});
    return *this;
}

int FontBuilder::index_of(std::uint16_t code) const
{
    for (std::size_t i = 0; i < m_glyphs.size(); ++i)
        if (m_glyphs[i].code == code)
            return static_cast<int>(i);
    return -1;
}

// ---- MovieBuilder ----

MovieBuilder::MovieBuilder(const MovieOptions& options) : m_options(options) {}

MovieBuilder& MovieBuilder::background(Rgba color)
{
    BitWriter w;
    w.rgb(color);
    tag(TagCode::SetBackgroundColor, w.take());
    return *this;
}

std::uint16_t MovieBuilder::shape(const ShapeBuilder& shape, int version)
{
    int v = std::max(version, shape.minimum_version());
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    w.rect(shape.bounds());
    v = std::clamp(v, 1, 4);
    if (v == 4) {
        w.rect(shape.bounds()); // edge bounds
        w.u8(0);                // even-odd fills, no stroke scaling hints
    }
    shape.write_shape_with_style(w, v);
    static constexpr TagCode codes[] = {TagCode::DefineShape, TagCode::DefineShape2, TagCode::DefineShape3,
                                        TagCode::DefineShape4};
    tag(codes[v - 1], w.take());
    return id;
}

std::uint16_t MovieBuilder::morph_shape(const ShapeBuilder& start, const ShapeBuilder& end)
{
    const auto& fills = start.fill_styles();
    const auto& lines = start.line_styles();
    if (end.fill_styles().size() != fills.size() || end.line_styles().size() != lines.size())
        throw std::invalid_argument("morph shapes need the same styles at both ends");
    std::uint16_t id = allocate_id();
    BitWriter styles;
    auto count = [&styles](std::size_t n) {
        if (n >= 255) {
            styles.u8(255);
            styles.u16(static_cast<std::uint16_t>(n));
        } else {
            styles.u8(static_cast<std::uint8_t>(n));
        }
    };
    count(fills.size());
    for (std::size_t i = 0; i < fills.size(); ++i) {
        const FillStyle &a = fills[i], &b = end.fill_styles()[i];
        if (a.type != b.type || a.gradient.stops.size() != b.gradient.stops.size())
            throw std::invalid_argument("morph fills differ in kind");
        styles.u8(static_cast<std::uint8_t>(a.type));
        if (a.type == FillStyle::Type::Solid) {
            styles.rgba(a.color);
            styles.rgba(b.color);
        } else if (a.is_gradient()) {
            styles.matrix(a.matrix);
            styles.matrix(b.matrix);
            styles.u8(static_cast<std::uint8_t>(a.gradient.stops.size()));
            for (std::size_t k = 0; k < a.gradient.stops.size(); ++k) {
                styles.u8(a.gradient.stops[k].ratio);
                styles.rgba(a.gradient.stops[k].color);
                styles.u8(b.gradient.stops[k].ratio);
                styles.rgba(b.gradient.stops[k].color);
            }
        } else {
            styles.u16(a.bitmap_id);
            styles.matrix(a.matrix);
            styles.matrix(b.matrix);
        }
    }
    count(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        styles.u16(lines[i].width);
        styles.u16(end.line_styles()[i].width);
        styles.rgba(lines[i].color);
        styles.rgba(end.line_styles()[i].color);
    }
    start.write_morph_edges(styles, true);
    std::vector<std::uint8_t> before_end = styles.take();
    BitWriter end_edges;
    end.write_morph_edges(end_edges, false);

    BitWriter w;
    w.u16(id);
    w.rect(start.bounds());
    w.rect(end.bounds());
    w.u32(static_cast<std::uint32_t>(before_end.size()));
    w.bytes(before_end);
    w.bytes(end_edges.take());
    tag(TagCode::DefineMorphShape, w.take());
    return id;
}

std::uint16_t MovieBuilder::sprite(const SpriteBuilder& sprite)
{
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    std::vector<std::uint8_t> stream = sprite.closed_stream();
    w.u16(static_cast<std::uint16_t>(std::max(sprite.m_frames + (sprite.m_frame_open ? 1 : 0), 1)));
    w.bytes(stream);
    tag(TagCode::DefineSprite, w.take());
    return id;
}

std::uint16_t MovieBuilder::button(const ButtonBuilder& b)
{
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    bool v2 = b.m_version == 2;
    std::size_t offset_at = 0;
    if (v2) {
        w.u8(b.m_menu ? 1 : 0);
        offset_at = w.size();
        w.u16(0); // action offset, patched below
    }
    for (const auto& r : b.m_records) {
        w.u8(r.states & 0x0F);
        w.u16(r.character);
        w.u16(r.depth);
        w.matrix(r.matrix);
        if (v2)
            w.cxform(r.color_transform, true);
    }
    w.u8(0);
    std::vector<std::uint8_t> body = w.take();
    if (!v2) {
        for (const auto& a : b.m_actions)
            if (a.conditions & OverDownToOverUp) {
                body.insert(body.end(), a.code.begin(), a.code.end());
                break;
            }
        if (b.m_actions.empty())
            body.push_back(0);
        tag(TagCode::DefineButton, body);
        return id;
    }
    if (!b.m_actions.empty()) {
        std::size_t offset = body.size() - offset_at;
        body[offset_at] = offset & 0xFF;
        body[offset_at + 1] = (offset >> 8) & 0xFF;
    }
    for (std::size_t i = 0; i < b.m_actions.size(); ++i) {
        const auto& a = b.m_actions[i];
        BitWriter c;
        bool last = i + 1 == b.m_actions.size();
        c.u16(last ? 0 : static_cast<std::uint16_t>(4 + a.code.size()));
        c.u16(static_cast<std::uint16_t>((a.conditions & 0x1FF) | (a.key << 9)));
        c.bytes(a.code);
        std::vector<std::uint8_t> cond = c.take();
        body.insert(body.end(), cond.begin(), cond.end());
    }
    tag(TagCode::DefineButton2, body);
    return id;
}

std::uint16_t MovieBuilder::font(const FontBuilder& font)
{
    std::uint16_t id = allocate_id();
    std::vector<std::vector<std::uint8_t>> glyphs;
    for (const auto& g : font.m_glyphs) {
        BitWriter gw;
        g.outline.write_glyph(gw);
        glyphs.push_back(gw.take());
    }
    std::size_t count = glyphs.size();
    std::size_t table = 4 * (count + 1);
    for (const auto& g : glyphs)
        table += g.size();
    BitWriter w;
    w.u16(id);
    w.u8(0x80 | 0x08 | 0x04); // layout, wide offsets, wide codes
    w.u8(0);                  // language
    w.u8(static_cast<std::uint8_t>(font.m_name.size()));
    w.bytes(reinterpret_cast<const std::uint8_t*>(font.m_name.data()), font.m_name.size());
    w.u16(static_cast<std::uint16_t>(count));
    std::uint32_t offset = static_cast<std::uint32_t>(4 * (count + 1));
    for (const auto& g : glyphs) {
        w.u32(offset);
        offset += static_cast<std::uint32_t>(g.size());
    }
    w.u32(offset); // code table offset
    for (const auto& g : glyphs)
        w.bytes(g);
    for (const auto& g : font.m_glyphs)
        w.u16(g.code);
    w.u16(1024 * 4 / 5); // ascent
    w.u16(1024 / 5);     // descent
    w.s16(0);            // leading
    for (const auto& g : font.m_glyphs)
        w.s16(g.advance);
    for (const auto& g : font.m_glyphs)
        w.rect(g.outline.bounds());
    w.u16(0); // kerning pairs
    tag(TagCode::DefineFont2, w.take());
    return id;
}

std::uint16_t MovieBuilder::text(std::uint16_t font_id, const FontBuilder& font, std::string_view text, double height,
                                 Rgba color, double x, double y)
{
    std::uint16_t id = allocate_id();
    double scale = height * 20 / 1024.0;
    std::vector<std::pair<std::uint32_t, std::int32_t>> entries;
    std::int32_t width = 0;
    for (unsigned char ch : text) {
        int index = font.index_of(ch);
        if (index < 0)
            continue;
        std::int32_t advance = static_cast<std::int32_t>(std::lround(font.advance(index) * scale));
        entries.emplace_back(static_cast<std::uint32_t>(index), advance);
        width += advance;
    }
    bool alpha = color.a != 255;
    std::int32_t x0 = static_cast<std::int32_t>(std::lround(x * 20)), y0 = static_cast<std::int32_t>(std::lround(y * 20));
    std::int32_t h = static_cast<std::int32_t>(std::lround(height * 20));
    BitWriter w;
    w.u16(id);
    w.rect({x0, x0 + width, y0 - h, y0 + h / 4});
    w.matrix({});
    unsigned glyph_bits = std::max(1u, BitWriter::unsigned_bits(static_cast<std::uint32_t>(font.m_glyphs.size())));
    unsigned advance_bits = 1;
    for (const auto& e : entries)
        advance_bits = std::max(advance_bits, BitWriter::signed_bits(e.second));
    w.u8(static_cast<std::uint8_t>(glyph_bits));
    w.u8(static_cast<std::uint8_t>(advance_bits));
    for (std::size_t start = 0; start < entries.size() || start == 0; start += 255) {
        std::size_t n = std::min<std::size_t>(255, entries.size() - start);
        w.u8(0x80 | (start == 0 ? 0x08 | 0x04 | 0x02 | 0x01 : 0));
        if (start == 0) {
            w.u16(font_id);
            if (alpha)
                w.rgba(color);
            else
                w.rgb(color);
            w.s16(static_cast<std::int16_t>(x0));
            w.s16(static_cast<std::int16_t>(y0));
            w.u16(static_cast<std::uint16_t>(h));
        }
        w.u8(static_cast<std::uint8_t>(n));
        for (std::size_t i = start; i < start + n; ++i) {
            w.ub(glyph_bits, entries[i].first);
            w.sb(advance_bits, entries[i].second);
        }
        w.align();
        if (entries.empty())
            break;
    }
    w.u8(0);
    tag(alpha ? TagCode::DefineText2 : TagCode::DefineText, w.take());
    return id;
}

std::uint16_t MovieBuilder::bitmap(std::uint16_t width, std::uint16_t height, const std::vector<std::uint8_t>& rgba)
{
    std::size_t pixels = std::size_t(width) * height;
    if (rgba.size() < pixels * 4)
        throw std::invalid_argument("bitmap pixels shorter than width x height x 4");
    bool alpha = false;
    for (std::size_t i = 0; i < pixels && !alpha; ++i)
        alpha = rgba[i * 4 + 3] != 255;
    std::vector<std::uint8_t> raw(pixels * 4);
    for (std::size_t i = 0; i < pixels; ++i) {
        const std::uint8_t* p = &rgba[i * 4];
        std::uint8_t a = alpha ? p[3] : 255;
        raw[i * 4] = a; // the reserved byte of 24-bit pixels, alpha in version 2
        for (int c = 0; c < 3; ++c)
            raw[i * 4 + 1 + c] = static_cast<std::uint8_t>(alpha ? (p[c] * a + 127) / 255 : p[c]);
    }
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    w.u8(5);
    w.u16(width);
    w.u16(height);
    w.bytes(deflate_bytes(raw));
    tag(alpha ? TagCode::DefineBitsLossless2 : TagCode::DefineBitsLossless, w.take());
    return id;
}

std::uint16_t MovieBuilder::bitmap(const LosslessData& b)
{
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    w.u8(static_cast<std::uint8_t>(b.format));
    w.u16(b.width);
    w.u16(b.height);
    if (b.format == DefineBitsLossless::ColorMapped8)
        w.u8(static_cast<std::uint8_t>(std::clamp(b.color_table_size, 1u, 256u) - 1));
    w.bytes(deflate_bytes(b.data));
    tag(b.alpha ? TagCode::DefineBitsLossless2 : TagCode::DefineBitsLossless, w.take());
    return id;
}

void MovieBuilder::jpeg_tables(const std::vector<std::uint8_t>& tables)
{
    tag(TagCode::JPEGTables, tables);
}

std::uint16_t MovieBuilder::jpeg(const std::vector<std::uint8_t>& data, int version, const std::vector<std::uint8_t>& alpha)
{
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    if (version == 3)
        w.u32(static_cast<std::uint32_t>(data.size()));
    w.bytes(data);
    if (version == 3 && !alpha.empty())
        w.bytes(deflate_bytes(alpha));
    tag(version == 1 ? TagCode::DefineBits : version == 3 ? TagCode::DefineBitsJPEG3 : TagCode::DefineBitsJPEG2, w.take());
    return id;
}

std::uint16_t MovieBuilder::font_with_info(const FontBuilder& font)
{
    std::uint16_t id = allocate_id();
    std::vector<std::vector<std::uint8_t>> glyphs;
    for (const auto& g : font.m_glyphs) {
        BitWriter gw;
        g.outline.write_glyph(gw);
        glyphs.push_back(gw.take());
    }
    BitWriter w;
    w.u16(id);
    std::uint16_t offset = static_cast<std::uint16_t>(2 * glyphs.size());
    for (const auto& g : glyphs) {
        w.u16(offset);
        offset = static_cast<std::uint16_t>(offset + g.size());
    }
    for (const auto& g : glyphs)
        w.bytes(g);
    tag(TagCode::DefineFont, w.take());

    BitWriter info;
    info.u16(id);
    info.u8(static_cast<std::uint8_t>(font.m_name.size()));
    info.bytes(reinterpret_cast<const std::uint8_t*>(font.m_name.data()), font.m_name.size());
    info.u8(0x01); // wide codes
    for (const auto& g : font.m_glyphs)
        info.u16(g.code);
    tag(TagCode::DefineFontInfo, info.take());
    return id;
}

std::uint16_t MovieBuilder::edit_text(const DefineEditText& d)
{
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    w.rect(d.bounds);
    w.u8(static_cast<std::uint8_t>((d.initial_text ? 0x80 : 0) | (d.word_wrap ? 0x40 : 0) | (d.multiline ? 0x20 : 0)
                                   | (d.password ? 0x10 : 0) | (d.read_only ? 0x08 : 0) | (d.color ? 0x04 : 0)
                                   | (d.max_length ? 0x02 : 0) | (d.font_id ? 0x01 : 0)));
    w.u8(static_cast<std::uint8_t>((d.auto_size ? 0x40 : 0) | (d.has_layout ? 0x20 : 0) | (d.no_select ? 0x10 : 0)
                                   | (d.border ? 0x08 : 0) | (d.was_static ? 0x04 : 0) | (d.html ? 0x02 : 0)
                                   | (d.use_outlines ? 0x01 : 0)));
    if (d.font_id) {
        w.u16(*d.font_id);
        w.u16(d.font_height);
    }
    if (d.color)
        w.rgba(*d.color);
    if (d.max_length)
        w.u16(*d.max_length);
    if (d.has_layout) {
        w.u8(d.align);
        w.u16(d.left_margin);
        w.u16(d.right_margin);
        w.u16(d.indent);
        w.s16(d.leading);
    }
    w.string(d.variable_name);
    if (d.initial_text)
        w.string(*d.initial_text);
    tag(TagCode::DefineEditText, w.take());
    return id;
}

std::uint16_t MovieBuilder::sound(const std::vector<std::int16_t>& samples, std::uint32_t rate, bool stereo)
{
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    w.ub(4, 3); // uncompressed little-endian
    w.ub(2, rate_code(rate));
    w.flag(true); // 16 bit
    w.flag(stereo);
    w.u32(static_cast<std::uint32_t>(stereo ? samples.size() / 2 : samples.size()));
    for (std::int16_t s : samples)
        w.s16(s);
    tag(TagCode::DefineSound, w.take());
    return id;
}

std::uint16_t MovieBuilder::sound(const SoundData& sound)
{
    std::uint16_t id = allocate_id();
    BitWriter w;
    w.u16(id);
    w.ub(4, static_cast<std::uint32_t>(sound.format));
    w.ub(2, rate_code(sound.rate));
    w.flag(sound.sixteen_bit);
    w.flag(sound.stereo);
    w.u32(sound.sample_count);
    w.bytes(sound.data);
    tag(TagCode::DefineSound, w.take());
    return id;
}

void MovieBuilder::button_sound(std::uint16_t button_id, const DefineButtonSound& sounds)
{
    BitWriter w;
    w.u16(button_id);
    for (int i = 0; i < 4; ++i) {
        w.u16(sounds.sound[i]);
        if (sounds.sound[i])
            write_sound_info(w, sounds.info[i]);
    }
    tag(TagCode::DefineButtonSound, w.take());
}

std::vector<std::uint8_t> MovieBuilder::bytes() const
{
    BitWriter header;
    header.rect({0, static_cast<std::int32_t>(std::lround(m_options.width * 20)), 0,
                 static_cast<std::int32_t>(std::lround(m_options.height * 20))});
    header.u16(static_cast<std::uint16_t>(std::clamp(std::lround(m_options.frame_rate * 256), 0L, 65535L)));
    int frames = m_frames + ((m_frame_open || m_frames == 0) ? 1 : 0);
    header.u16(static_cast<std::uint16_t>(frames));
    std::vector<std::uint8_t> body = header.take();
    std::vector<std::uint8_t> stream = closed_stream();
    body.insert(body.end(), stream.begin(), stream.end());

    std::uint32_t length = static_cast<std::uint32_t>(8 + body.size());
    std::vector<std::uint8_t> out = {static_cast<std::uint8_t>(m_options.compressed ? 'C' : 'F'), 'W', 'S',
                                     m_options.version,
                                     static_cast<std::uint8_t>(length),
                                     static_cast<std::uint8_t>(length >> 8),
                                     static_cast<std::uint8_t>(length >> 16),
                                     static_cast<std::uint8_t>(length >> 24)};
    if (m_options.compressed)
        body = deflate_bytes(body);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

bool MovieBuilder::save(const std::string& path, std::string* error) const
{
    std::vector<std::uint8_t> data = bytes();
    std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
        if (!out) {
            if (error)
                *error = "cannot write " + temporary;
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::filesystem::remove(temporary, ec);
        if (error)
            *error = "cannot replace " + path;
        return false;
    }
    return true;
}

} // namespace swf
