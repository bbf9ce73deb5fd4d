#include "swf/render/morph.h"

#include <cmath>
#include <variant>

namespace swf {
namespace {

double lerp(double a, double b, double t)
{
    return a + (b - a) * t;
}

Rgba lerp(Rgba a, Rgba b, double t)
{
    auto c = [t](std::uint8_t x, std::uint8_t y) { return static_cast<std::uint8_t>(std::lround(lerp(x, y, t))); };
    return {c(a.r, b.r), c(a.g, b.g), c(a.b, b.b), c(a.a, b.a)};
}

Matrix lerp(const Matrix& a, const Matrix& b, double t)
{
    return {lerp(a.a, b.a, t), lerp(a.b, b.b, t), lerp(a.c, b.c, t),
            lerp(a.d, b.d, t), lerp(a.tx, b.tx, t), lerp(a.ty, b.ty, t)};
}

FillStyle fill_at(const MorphFillStyle& m, double t)
{
    FillStyle f;
    f.type = m.type;
    f.color = lerp(m.start_color, m.end_color, t);
    f.matrix = lerp(m.start_matrix, m.end_matrix, t);
    f.bitmap_id = m.bitmap_id;
    for (std::size_t i = 0; i < m.start_stops.size() && i < m.end_stops.size(); ++i)
        f.gradient.stops.push_back(
            {static_cast<std::uint8_t>(std::lround(lerp(m.start_stops[i].ratio, m.end_stops[i].ratio, t))),
             lerp(m.start_stops[i].color, m.end_stops[i].color, t)});
    return f;
}

// An edge in absolute twips; a straight one has its control point halfway.
struct Absolute {
    Point from, control, to;
};

Absolute absolute(const Edge& e, Point pen)
{
    Point control{pen.x + e.control_dx, pen.y + e.control_dy};
    Point to{control.x + e.anchor_dx, control.y + e.anchor_dy};
    if (!e.curved) {
        to = {pen.x + e.anchor_dx, pen.y + e.anchor_dy};
        control = {(pen.x + to.x) / 2, (pen.y + to.y) / 2};
    }
    return {pen, control, to};
}

Point lerp(Point a, Point b, double t)
{
    return {lerp(a.x, b.x, t), lerp(a.y, b.y, t)};
}

std::int32_t round(double v)
{
    return static_cast<std::int32_t>(std::lround(v));
}

} // namespace

Shape morph_at(const DefineMorphShape& morph, std::uint16_t ratio)
{
    const double t = ratio / 65535.0;
    Shape out;
    for (const MorphFillStyle& f : morph.fills)
        out.fills.push_back(fill_at(f, t));
    for (const MorphLineStyle& l : morph.lines) {
        LineStyle line;
        line.width = static_cast<std::uint16_t>(std::lround(lerp(l.start_width, l.end_width, t)));
        line.color = lerp(l.start_color, l.end_color, t);
        out.lines.push_back(line);
    }

    // The end's records are only pen moves and edges; they pair up with the start's in order.
    Point start_pen, end_pen;
    std::int32_t pen_x = 0, pen_y = 0; // the blended pen, in whole twips as records store it
    std::size_t j = 0;
    const auto& end = morph.end.records;
    for (const ShapeRecord& record : morph.start.records) {
        if (const auto* s = std::get_if<StyleChange>(&record)) {
            StyleChange change = *s;
            change.new_styles.reset(); // a morph has one set of styles
            if (j < end.size() && std::holds_alternative<StyleChange>(end[j])) {
                const auto& e = std::get<StyleChange>(end[j++]);
                if (e.has_move)
                    end_pen = {double(e.move_x), double(e.move_y)};
            }
            if (s->has_move) {
                start_pen = {double(s->move_x), double(s->move_y)};
                change.move_x = round(lerp(start_pen.x, end_pen.x, t));
                change.move_y = round(lerp(start_pen.y, end_pen.y, t));
                pen_x = change.move_x;
                pen_y = change.move_y;
            }
            out.records.push_back(std::move(change));
            continue;
        }
        while (j < end.size() && std::holds_alternative<StyleChange>(end[j])) {
            const auto& e = std::get<StyleChange>(end[j++]);
            if (e.has_move)
                end_pen = {double(e.move_x), double(e.move_y)};
        }
        const Edge& a = std::get<Edge>(record);
        Absolute from = absolute(a, start_pen);
        start_pen = from.to;
        Absolute to = from;
        bool curved = a.curved;
        if (j < end.size()) {
            const Edge& b = std::get<Edge>(end[j++]);
            to = absolute(b, end_pen);
            end_pen = to.to;
            curved |= b.curved;
        }
        Edge blended;
        Point anchor = lerp(from.to, to.to, t);
        std::int32_t ax = round(anchor.x), ay = round(anchor.y);
        if (curved) {
            Point control = lerp(from.control, to.control, t);
            std::int32_t cx = round(control.x), cy = round(control.y);
            blended.curved = true;
            blended.control_dx = cx - pen_x;
            blended.control_dy = cy - pen_y;
            blended.anchor_dx = ax - cx;
            blended.anchor_dy = ay - cy;
        } else {
            blended.anchor_dx = ax - pen_x;
            blended.anchor_dy = ay - pen_y;
        }
        pen_x = ax;
        pen_y = ay;
        out.records.push_back(blended);
    }
    return out;
}

} // namespace swf
