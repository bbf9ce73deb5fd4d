#include "swf/core/shape_geometry.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

namespace swf {
namespace {

struct DirectedEdge {
    Point from, control, to;
    bool curved = false;
};

std::uint64_t key(Point p)
{
    auto x = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(p.x)));
    auto y = static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(p.y)));
    return (std::uint64_t(x) << 32) | y;
}

std::vector<Contour> link_edges(const std::vector<DirectedEdge>& edges)
{
    std::unordered_multimap<std::uint64_t, std::size_t> by_start;
    by_start.reserve(edges.size());
    for (std::size_t i = 0; i < edges.size(); ++i)
        by_start.emplace(key(edges[i].from), i);
    std::vector<bool> used(edges.size(), false);
    std::vector<Contour> contours;
    for (std::size_t first = 0; first < edges.size(); ++first) {
        if (used[first])
            continue;
        Contour c;
        c.start = edges[first].from;
        std::uint64_t start_key = key(c.start);
        std::size_t current = first;
        while (true) {
            used[current] = true;
            const DirectedEdge& e = edges[current];
            c.segments.push_back({e.curved, e.control, e.to});
            std::uint64_t end_key = key(e.to);
            if (end_key == start_key) {
                c.closed = true;
                break;
            }
            auto [lo, hi] = by_start.equal_range(end_key);
            std::size_t next = edges.size();
            for (auto it = lo; it != hi; ++it)
                if (!used[it->second]) {
                    next = it->second;
                    break;
                }
            if (next == edges.size())
                break;
            current = next;
        }
        contours.push_back(std::move(c));
    }
    return contours;
}

struct LayerBuilder {
    std::size_t fill_base = 0, line_base = 0, fill_count = 0, line_count = 0;
    std::vector<std::vector<DirectedEdge>> fill_edges; // per style of the layer
    std::vector<std::vector<Contour>> strokes;         // per style of the layer
    std::vector<bool> stroke_open;                     // a contour of that style continues at the pen

    void start(std::size_t fbase, std::size_t fcount, std::size_t lbase, std::size_t lcount)
    {
        fill_base = fbase;
        line_base = lbase;
        fill_count = fcount;
        line_count = lcount;
        fill_edges.assign(fcount, {});
        strokes.assign(lcount, {});
        stroke_open.assign(lcount, false);
    }

    ShapeLayer finish() const
    {
        ShapeLayer layer;
        for (std::size_t i = 0; i < fill_edges.size(); ++i)
            if (!fill_edges[i].empty())
                layer.fills.push_back({static_cast<std::uint32_t>(fill_base + i), link_edges(fill_edges[i])});
        for (std::size_t i = 0; i < strokes.size(); ++i)
            if (!strokes[i].empty())
                layer.strokes.push_back({static_cast<std::uint32_t>(line_base + i), strokes[i]});
        return layer;
    }
};

} // namespace

ShapeGeometry build_shape_geometry(const Shape& shape, bool nonzero_winding)
{
    ShapeGeometry g;
    g.nonzero_winding = nonzero_winding;
    g.fills = shape.fills;
    g.lines = shape.lines;
    LayerBuilder layer;
    layer.start(0, shape.fills.size(), 0, shape.lines.size());
    std::uint32_t fill0 = 0, fill1 = 0, line = 0;
    Point pen;
    auto end_strokes = [&layer] { std::fill(layer.stroke_open.begin(), layer.stroke_open.end(), false); };

    for (const ShapeRecord& record : shape.records) {
        if (const auto* s = std::get_if<StyleChange>(&record)) {
            if (const NewStyles* styles = s->new_styles.get()) {
                g.layers.push_back(layer.finish());
                layer.start(g.fills.size(), styles->fills.size(), g.lines.size(), styles->lines.size());
                g.fills.insert(g.fills.end(), styles->fills.begin(), styles->fills.end());
                g.lines.insert(g.lines.end(), styles->lines.begin(), styles->lines.end());
                fill0 = fill1 = line = 0;
            }
            if (s->has_fill0)
                fill0 = s->fill0;
            if (s->has_fill1)
                fill1 = s->fill1;
            if (s->has_line) {
                line = s->line;
                end_strokes();
            }
            if (s->has_move) {
                pen = {double(s->move_x), double(s->move_y)};
                end_strokes();
            }
            continue;
        }
        const Edge& e = std::get<Edge>(record);
        DirectedEdge d;
        d.from = pen;
        d.curved = e.curved;
        d.control = {pen.x + e.control_dx, pen.y + e.control_dy};
        d.to = {d.control.x + e.anchor_dx, d.control.y + e.anchor_dy};
        if (!e.curved)
            d.control = d.to;
        pen = d.to;
        if (fill1 >= 1 && fill1 <= layer.fill_count)
            layer.fill_edges[fill1 - 1].push_back(d);
        if (fill0 >= 1 && fill0 <= layer.fill_count && fill0 != fill1)
            layer.fill_edges[fill0 - 1].push_back({d.to, d.control, d.from, d.curved});
        if (line >= 1 && line <= layer.line_count) {
            auto& contours = layer.strokes[line - 1];
            if (!layer.stroke_open[line - 1]) {
                end_strokes();
                contours.push_back({d.from, {}, false});
                layer.stroke_open[line - 1] = true;
            }
            contours.back().segments.push_back({d.curved, d.control, d.to});
        }
    }
    g.layers.push_back(layer.finish());
    return g;
}

namespace {

constexpr int kCurveSteps = 8;

// Flattened copy of a contour's points (curves split into short lines).
std::vector<Point> flatten(const Contour& c)
{
    std::vector<Point> points{c.start};
    Point p = c.start;
    for (const PathSegment& s : c.segments) {
        if (s.curved) {
            for (int i = 1; i <= kCurveSteps; ++i) {
                double t = double(i) / kCurveSteps, u = 1 - t;
                points.push_back({u * u * p.x + 2 * u * t * s.control.x + t * t * s.to.x,
                                  u * u * p.y + 2 * u * t * s.control.y + t * t * s.to.y});
            }
        } else {
            points.push_back(s.to);
        }
        p = s.to;
    }
    return points;
}

double distance_to_segment(Point p, Point a, Point b)
{
    double dx = b.x - a.x, dy = b.y - a.y;
    double length2 = dx * dx + dy * dy;
    double t = length2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length2, 0.0, 1.0) : 0;
    return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

} // namespace

bool geometry_contains(const ShapeGeometry& g, Point p, bool include_strokes)
{
    for (const ShapeLayer& layer : g.layers) {
        for (const StyledPath& fill : layer.fills) {
            int winding = 0;
            for (const Contour& c : fill.contours) {
                std::vector<Point> pts = flatten(c);
                for (std::size_t i = 0; i < pts.size(); ++i) {
                    Point a = pts[i], b = pts[(i + 1) % pts.size()];
                    if ((a.y <= p.y) != (b.y <= p.y)) {
                        double x = a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y);
                        if (x > p.x)
                            winding += a.y < b.y ? 1 : -1;
                    }
                }
            }
            if (g.nonzero_winding ? winding != 0 : (winding % 2) != 0)
                return true;
        }
        if (!include_strokes)
            continue;
        for (const StyledPath& stroke : layer.strokes) {
            double half = std::max(g.lines[stroke.style].width / 2.0, 10.0);
            for (const Contour& c : stroke.contours) {
                std::vector<Point> pts = flatten(c);
                for (std::size_t i = 0; i + 1 < pts.size(); ++i)
                    if (distance_to_segment(p, pts[i], pts[i + 1]) <= half)
                        return true;
            }
        }
    }
    return false;
}

} // namespace swf
