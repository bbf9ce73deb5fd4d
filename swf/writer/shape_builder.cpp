#include "swf/writer/shape_builder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "swf/writer/bit_writer.h"

namespace swf {

std::int32_t ShapeBuilder::twips(double v) const
{
    return static_cast<std::int32_t>(std::lround(v * m_unit));
}

ShapeBuilder& ShapeBuilder::fill(Rgba color)
{
    FillStyle f;
    f.color = color;
    m_fills.push_back(f);
    m_fill = static_cast<std::uint32_t>(m_fills.size());
    return *this;
}

ShapeBuilder& ShapeBuilder::linear_gradient(const std::vector<GradientStop>& stops, Point from, Point to)
{
    FillStyle f;
    f.type = FillStyle::Type::LinearGradient;
    f.gradient.stops = stops;
    double dx = (to.x - from.x) * m_unit, dy = (to.y - from.y) * m_unit;
    double scale = std::hypot(dx, dy) / 32768.0;
    double angle = std::atan2(dy, dx);
    f.matrix = {std::cos(angle) * scale, std::sin(angle) * scale, -std::sin(angle) * scale, std::cos(angle) * scale,
                (from.x + to.x) / 2 * m_unit, (from.y + to.y) / 2 * m_unit};
    m_fills.push_back(f);
    m_fill = static_cast<std::uint32_t>(m_fills.size());
    return *this;
}

ShapeBuilder& ShapeBuilder::radial_gradient(const std::vector<GradientStop>& stops, Point center, double radius)
{
    FillStyle f;
    f.type = FillStyle::Type::RadialGradient;
    f.gradient.stops = stops;
    double scale = radius * m_unit / 16384.0;
    f.matrix = {scale, 0, 0, scale, center.x * m_unit, center.y * m_unit};
    m_fills.push_back(f);
    m_fill = static_cast<std::uint32_t>(m_fills.size());
    return *this;
}

ShapeBuilder& ShapeBuilder::focal_gradient(const std::vector<GradientStop>& stops, Point center, double radius,
                                           double focal_point)
{
    radial_gradient(stops, center, radius);
    m_fills.back().type = FillStyle::Type::FocalGradient;
    m_fills.back().gradient.focal_point = std::clamp(focal_point, -1.0, 1.0);
    return *this;
}

ShapeBuilder& ShapeBuilder::bitmap_fill(std::uint16_t bitmap_id, const Matrix& matrix, bool clipped, bool smoothed)
{
    FillStyle f;
    f.type = clipped ? (smoothed ? FillStyle::Type::ClippedBitmap : FillStyle::Type::ClippedBitmapHard)
                     : (smoothed ? FillStyle::Type::RepeatingBitmap : FillStyle::Type::RepeatingBitmapHard);
    f.bitmap_id = bitmap_id;
    f.matrix = matrix;
    return fill(f);
}

ShapeBuilder& ShapeBuilder::fill(const FillStyle& style)
{
    m_fills.push_back(style);
    m_fill = static_cast<std::uint32_t>(m_fills.size());
    return *this;
}

ShapeBuilder& ShapeBuilder::no_fill()
{
    m_fill = 0;
    return *this;
}

ShapeBuilder& ShapeBuilder::line(double width, Rgba color)
{
    LineStyle l;
    l.width = static_cast<std::uint16_t>(std::clamp<std::int32_t>(twips(width), 0, 0xFFFF));
    l.color = color;
    m_lines.push_back(l);
    m_line = static_cast<std::uint32_t>(m_lines.size());
    return *this;
}

ShapeBuilder& ShapeBuilder::line(const LineStyle& style)
{
    m_lines.push_back(style);
    m_line = static_cast<std::uint32_t>(m_lines.size());
    return *this;
}

ShapeBuilder& ShapeBuilder::no_line()
{
    m_line = 0;
    return *this;
}

ShapeBuilder::Path& ShapeBuilder::current()
{
    if (!m_open)
        move_to(0, 0);
    return m_paths.back();
}

ShapeBuilder& ShapeBuilder::move_to(double x, double y)
{
    Path p;
    p.fill = m_fill;
    p.line = m_line;
    p.x = twips(x);
    p.y = twips(y);
    m_paths.push_back(p);
    m_open = true;
    return *this;
}

ShapeBuilder& ShapeBuilder::line_to(double x, double y)
{
    current().segments.push_back({false, 0, 0, twips(x), twips(y)});
    return *this;
}

ShapeBuilder& ShapeBuilder::curve_to(double cx, double cy, double x, double y)
{
    current().segments.push_back({true, twips(cx), twips(cy), twips(x), twips(y)});
    return *this;
}

ShapeBuilder& ShapeBuilder::close()
{
    if (m_open) {
        Path& p = m_paths.back();
        std::int32_t lx = p.segments.empty() ? p.x : p.segments.back().x;
        std::int32_t ly = p.segments.empty() ? p.y : p.segments.back().y;
        if (lx != p.x || ly != p.y)
            p.segments.push_back({false, 0, 0, p.x, p.y});
    }
    m_open = false;
    return *this;
}

ShapeBuilder& ShapeBuilder::rect(double x, double y, double w, double h)
{
    move_to(x, y);
    line_to(x + w, y);
    line_to(x + w, y + h);
    line_to(x, y + h);
    return close();
}

ShapeBuilder& ShapeBuilder::ellipse(double cx, double cy, double rx, double ry)
{
    // Eight quadratic arcs of 45 degrees each; the control point lies on the tangents' crossing.
    const double step = std::numbers::pi / 4;
    const double control = 1 / std::cos(step / 2);
    move_to(cx + rx, cy);
    for (int i = 0; i < 8; ++i) {
        double mid = step * i + step / 2, end = step * (i + 1);
        curve_to(cx + rx * control * std::cos(mid), cy + ry * control * std::sin(mid), cx + rx * std::cos(end),
                 cy + ry * std::sin(end));
    }
    return close();
}

ShapeBuilder& ShapeBuilder::polygon(const std::vector<Point>& points)
{
    if (points.empty())
        return *this;
    move_to(points[0].x, points[0].y);
    for (std::size_t i = 1; i < points.size(); ++i)
        line_to(points[i].x, points[i].y);
    return close();
}

Rect ShapeBuilder::bounds() const
{
    if (m_paths.empty())
        return {};
    Rect r{INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    auto include = [&r](std::int32_t x, std::int32_t y, std::int32_t pad) {
        r.x_min = std::min(r.x_min, x - pad);
        r.x_max = std::max(r.x_max, x + pad);
        r.y_min = std::min(r.y_min, y - pad);
        r.y_max = std::max(r.y_max, y + pad);
    };
    for (const Path& p : m_paths) {
        std::int32_t pad = p.line ? m_lines[p.line - 1].width / 2 : 0;
        include(p.x, p.y, pad);
        for (const Segment& s : p.segments) {
            if (s.curved)
                include(s.cx, s.cy, pad);
            include(s.x, s.y, pad);
        }
    }
    return r;
}

namespace {

bool needs_line_style2(const LineStyle& l)
{
    return l.start_cap != LineStyle::RoundCap || l.end_cap != LineStyle::RoundCap || l.join != LineStyle::RoundJoin
        || l.has_fill || l.no_h_scale || l.no_v_scale || l.pixel_hinting || l.no_close;
}

} // namespace

int ShapeBuilder::minimum_version() const
{
    bool alpha = false;
    for (const FillStyle& f : m_fills) {
        if (f.type == FillStyle::Type::FocalGradient || f.type == FillStyle::Type::RepeatingBitmapHard
            || f.type == FillStyle::Type::ClippedBitmapHard)
            return 4;
        alpha |= f.color.a != 255;
        for (const GradientStop& s : f.gradient.stops)
            alpha |= s.color.a != 255;
    }
    for (const LineStyle& l : m_lines) {
        if (needs_line_style2(l))
            return 4;
        alpha |= l.color.a != 255;
    }
    if (alpha)
        return 3;
    return m_fills.size() >= 255 || m_lines.size() >= 255 ? 2 : 1;
}

namespace {

void write_color(BitWriter& w, Rgba c, int version)
{
    if (version >= 3)
        w.rgba(c);
    else
        w.rgb(c);
}

void write_count(BitWriter& w, std::size_t count)
{
    if (count >= 255) {
        w.u8(255);
        w.u16(static_cast<std::uint16_t>(count));
    } else {
        w.u8(static_cast<std::uint8_t>(count));
    }
}

void write_fill_style(BitWriter& w, const FillStyle& f, int version)
{
    w.u8(static_cast<std::uint8_t>(f.type));
    if (f.type == FillStyle::Type::Solid) {
        write_color(w, f.color, version);
    } else if (f.is_gradient()) {
        w.matrix(f.matrix);
        w.ub(2, f.gradient.spread);
        w.ub(2, f.gradient.interpolation);
        w.ub(4, static_cast<std::uint32_t>(std::min<std::size_t>(f.gradient.stops.size(), 15)));
        for (std::size_t i = 0; i < f.gradient.stops.size() && i < 15; ++i) {
            w.u8(f.gradient.stops[i].ratio);
            write_color(w, f.gradient.stops[i].color, version);
        }
        if (f.type == FillStyle::Type::FocalGradient)
            w.s16(static_cast<std::int16_t>(std::lround(f.gradient.focal_point * 256)));
    } else {
        w.u16(f.bitmap_id);
        w.matrix(f.matrix);
    }
}

} // namespace

void ShapeBuilder::write_shape_with_style(BitWriter& w, int version) const
{
    write_count(w, m_fills.size());
    for (const FillStyle& f : m_fills)
        write_fill_style(w, f, version);
    write_count(w, m_lines.size());
    for (const LineStyle& l : m_lines) {
        w.u16(l.width);
        if (version < 4) {
            write_color(w, l.color, version);
            continue;
        }
        w.ub(2, l.start_cap);
        w.ub(2, l.join);
        w.flag(l.has_fill);
        w.flag(l.no_h_scale);
        w.flag(l.no_v_scale);
        w.flag(l.pixel_hinting);
        w.ub(5, 0);
        w.flag(l.no_close);
        w.ub(2, l.end_cap);
        if (l.join == LineStyle::MiterJoin)
            w.u16(static_cast<std::uint16_t>(std::lround(l.miter_limit * 256)));
        if (l.has_fill)
            write_fill_style(w, l.fill, version);
        else
            w.rgba(l.color);
    }
    write_records(w, BitWriter::unsigned_bits(static_cast<std::uint32_t>(m_fills.size())),
                  BitWriter::unsigned_bits(static_cast<std::uint32_t>(m_lines.size())), Records::Styled);
}

void ShapeBuilder::write_glyph(BitWriter& w) const
{
    write_records(w, 1, 0, Records::Glyph);
}

void ShapeBuilder::write_morph_edges(BitWriter& w, bool start) const
{
    if (start)
        write_records(w, BitWriter::unsigned_bits(static_cast<std::uint32_t>(m_fills.size())),
                      BitWriter::unsigned_bits(static_cast<std::uint32_t>(m_lines.size())), Records::Styled);
    else
        write_records(w, 0, 0, Records::MovesOnly);
}

void ShapeBuilder::write_records(BitWriter& w, unsigned fill_bits, unsigned line_bits, Records kind) const
{
    const bool glyph = kind == Records::Glyph, styled = kind != Records::MovesOnly;
    w.ub(4, fill_bits);
    w.ub(4, line_bits);
    for (const Path& p : m_paths) {
        // The fill goes on the side the path encloses: right of the direction of travel
        // (fill 1) when the path runs clockwise on screen, left (fill 0) otherwise.
        double area = 0;
        std::int32_t px = p.x, py = p.y;
        for (const Segment& s : p.segments) {
            area += double(px) * s.y - double(s.x) * py;
            px = s.x;
            py = s.y;
        }
        std::uint32_t fill = glyph ? (p.fill ? 1 : 0) : p.fill;
        std::uint32_t fill0 = area < 0 ? fill : 0, fill1 = area < 0 ? 0 : fill;
        w.ub(1, 0);
        w.flag(false);            // new styles
        w.flag(styled && !glyph); // line style
        w.flag(styled);           // fill 1
        w.flag(styled);           // fill 0
        w.flag(true);             // move to
        unsigned move_bits = std::max(BitWriter::signed_bits(p.x), BitWriter::signed_bits(p.y));
        w.ub(5, move_bits);
        w.sb(move_bits, p.x);
        w.sb(move_bits, p.y);
        if (styled) {
            w.ub(fill_bits, fill0);
            w.ub(fill_bits, fill1);
        }
        if (styled && !glyph)
            w.ub(line_bits, p.line);
        px = p.x;
        py = p.y;
        for (const Segment& s : p.segments) {
            w.ub(1, 1);
            if (s.curved) {
                std::int32_t v[4] = {s.cx - px, s.cy - py, s.x - s.cx, s.y - s.cy};
                unsigned bits = 2;
                for (std::int32_t d : v)
                    bits = std::max(bits, BitWriter::signed_bits(d));
                w.ub(1, 0);
                w.ub(4, bits - 2);
                for (std::int32_t d : v)
                    w.sb(bits, d);
            } else {
                std::int32_t dx = s.x - px, dy = s.y - py;
                unsigned bits = std::max({2u, BitWriter::signed_bits(dx), BitWriter::signed_bits(dy)});
                w.ub(1, 1);
                w.ub(4, bits - 2);
                if (dx != 0 && dy != 0) {
                    w.flag(true);
                    w.sb(bits, dx);
                    w.sb(bits, dy);
                } else {
                    w.flag(false);
                    w.flag(dx == 0); // vertical
                    w.sb(bits, dx == 0 ? dy : dx);
                }
            }
            px = s.x;
            py = s.y;
        }
    }
    w.ub(6, 0); // end of shape
    w.align();
}

} // namespace swf
