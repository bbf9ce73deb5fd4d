#include "swf/parser/shapes.h"

#include "swf/parser/tag_codes.h"

namespace swf {
namespace {

Rgba read_color(Reader& r, int version)
{
    return version >= 3 ? read_rgba(r) : read_rgb(r);
}

void read_gradient(Reader& r, int version, bool focal, Gradient& g)
{
    g.spread = static_cast<std::uint8_t>(r.ub(2));
    g.interpolation = static_cast<std::uint8_t>(r.ub(2));
    unsigned count = r.ub(4);
    for (unsigned i = 0; i < count && r.ok(); ++i) {
        GradientStop stop;
        stop.ratio = r.u8();
        stop.color = read_color(r, version);
        g.stops.push_back(stop);
    }
    if (focal)
        g.focal_point = r.fixed8();
}

FillStyle read_fill_style(Reader& r, int version)
{
    FillStyle f;
    std::uint8_t type = r.u8();
    f.type = static_cast<FillStyle::Type>(type);
    switch (type) {
    case 0x00: f.color = read_color(r, version); break;
    case 0x10:
    case 0x12:
    case 0x13:
        f.matrix = read_matrix(r);
        read_gradient(r, version, type == 0x13, f.gradient);
        break;
    case 0x40:
    case 0x41:
    case 0x42:
    case 0x43:
        f.bitmap_id = r.u16();
        f.matrix = read_matrix(r);
        break;
    default: r.fail(); break;
    }
    return f;
}

std::uint16_t read_count(Reader& r, int version)
{
    std::uint16_t count = r.u8();
    if (count == 0xFF && version >= 2)
        count = r.u16();
    return count;
}

void read_styles(Reader& r, int version, std::vector<FillStyle>& fills, std::vector<LineStyle>& lines)
{
    std::uint16_t fill_count = read_count(r, version);
    for (unsigned i = 0; i < fill_count && r.ok(); ++i)
        fills.push_back(read_fill_style(r, version));
    std::uint16_t line_count = read_count(r, version);
    for (unsigned i = 0; i < line_count && r.ok(); ++i) {
        LineStyle l;
        l.width = r.u16();
        if (version >= 4) {
            l.start_cap = static_cast<LineStyle::Cap>(r.ub(2));
            l.join = static_cast<LineStyle::Join>(r.ub(2));
            l.has_fill = r.flag();
            l.no_h_scale = r.flag();
            l.no_v_scale = r.flag();
            l.pixel_hinting = r.flag();
            r.ub(5);
            l.no_close = r.flag();
            l.end_cap = static_cast<LineStyle::Cap>(r.ub(2));
            if (l.join == LineStyle::MiterJoin)
                l.miter_limit = r.fixed8();
            if (l.has_fill) {
                l.fill = read_fill_style(r, version);
                l.color = l.fill.type == FillStyle::Type::Solid ? l.fill.color : Rgba{};
            } else {
                l.color = read_rgba(r);
            }
        } else {
            l.color = read_color(r, version);
        }
        lines.push_back(l);
    }
}

} // namespace

bool read_shape(Reader& r, int version, bool with_styles, Shape& out)
{
    if (with_styles)
        read_styles(r, version, out.fills, out.lines);
    unsigned fill_bits = r.ub(4);
    unsigned line_bits = r.ub(4);
    while (r.ok()) {
        if (r.flag()) {
            Edge e;
            e.curved = !r.flag();
            unsigned bits = r.ub(4) + 2;
            if (e.curved) {
                e.control_dx = r.sb(bits);
                e.control_dy = r.sb(bits);
                e.anchor_dx = r.sb(bits);
                e.anchor_dy = r.sb(bits);
            } else if (r.flag()) {
                e.anchor_dx = r.sb(bits);
                e.anchor_dy = r.sb(bits);
            } else if (r.flag()) {
                e.anchor_dy = r.sb(bits);
            } else {
                e.anchor_dx = r.sb(bits);
            }
            out.records.push_back(e);
            continue;
        }
        unsigned flags = r.ub(5);
        if (flags == 0)
            break;
        StyleChange s;
        if (flags & 0x01) {
            unsigned bits = r.ub(5);
            s.has_move = true;
            s.move_x = r.sb(bits);
            s.move_y = r.sb(bits);
        }
        if (flags & 0x02) {
            s.has_fill0 = true;
            s.fill0 = r.ub(fill_bits);
        }
        if (flags & 0x04) {
            s.has_fill1 = true;
            s.fill1 = r.ub(fill_bits);
        }
        if (flags & 0x08) {
            s.has_line = true;
            s.line = r.ub(line_bits);
        }
        if ((flags & 0x10) && with_styles) {
            auto styles = std::make_shared<NewStyles>();
            read_styles(r, version, styles->fills, styles->lines);
            s.new_styles = std::move(styles);
            fill_bits = r.ub(4);
            line_bits = r.ub(4);
        }
        out.records.push_back(std::move(s));
    }
    r.align();
    out.records.shrink_to_fit(); // shapes stay loaded as long as the movie: no spare room
    return r.ok();
}

bool decode_define_shape(const Tag& tag, DefineShape& out)
{
    switch (static_cast<TagCode>(tag.code)) {
    case TagCode::DefineShape: out.version = 1; break;
    case TagCode::DefineShape2: out.version = 2; break;
    case TagCode::DefineShape3: out.version = 3; break;
    case TagCode::DefineShape4: out.version = 4; break;
    default: return false;
    }
    Reader r(tag.body);
    out.id = r.u16();
    out.bounds = read_rect(r);
    if (out.version == 4) {
        out.edge_bounds = read_rect(r);
        r.ub(5);
        out.uses_fill_winding_rule = r.flag();
        r.ub(2);
    }
    return read_shape(r, out.version, true, out.shape);
}

bool decode_define_morph_shape(const Tag& tag, DefineMorphShape& out)
{
    if (tag.code != static_cast<std::uint16_t>(TagCode::DefineMorphShape))
        return false;
    Reader r(tag.body);
    out.id = r.u16();
    out.start_bounds = read_rect(r);
    out.end_bounds = read_rect(r);
    std::uint32_t end_edges_offset = r.u32();
    std::size_t offset_base = r.position();
    std::uint16_t fill_count = read_count(r, 2);
    for (unsigned i = 0; i < fill_count && r.ok(); ++i) {
        MorphFillStyle f;
        std::uint8_t type = r.u8();
        f.type = static_cast<FillStyle::Type>(type);
        if (type == 0x00) {
            f.start_color = read_rgba(r);
            f.end_color = read_rgba(r);
        } else if (type == 0x10 || type == 0x12) {
            f.start_matrix = read_matrix(r);
            f.end_matrix = read_matrix(r);
            std::uint8_t stops = r.u8();
            for (unsigned k = 0; k < stops && r.ok(); ++k) {
                GradientStop a, b;
                a.ratio = r.u8();
                a.color = read_rgba(r);
                b.ratio = r.u8();
                b.color = read_rgba(r);
                f.start_stops.push_back(a);
                f.end_stops.push_back(b);
            }
        } else if (type >= 0x40 && type <= 0x43) {
            f.bitmap_id = r.u16();
            f.start_matrix = read_matrix(r);
            f.end_matrix = read_matrix(r);
        } else {
            return false;
        }
        out.fills.push_back(std::move(f));
    }
    std::uint16_t line_count = read_count(r, 2);
    for (unsigned i = 0; i < line_count && r.ok(); ++i) {
        MorphLineStyle l;
        l.start_width = r.u16();
        l.end_width = r.u16();
        l.start_color = read_rgba(r);
        l.end_color = read_rgba(r);
        out.lines.push_back(l);
    }
    if (!r.ok() || !read_shape(r, 1, false, out.start))
        return false;
    std::size_t end_start = offset_base + end_edges_offset;
    if (end_start > tag.body.size())
        return false;
    Reader end_reader(tag.body.subspan(end_start));
    // Both edge lists index the morph's own style arrays.
    return read_shape(end_reader, 1, false, out.end);
}

} // namespace swf
