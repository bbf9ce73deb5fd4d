#include "swf/render/raster_cache.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <vector>

namespace swf {
namespace {

constexpr double kMaxSide = 4096;          // device pixels; larger drawings are not kept

} // namespace

void RasterCache::draw(QPainter& painter, std::uint64_t what, const QRectF& bounds, const QTransform& transform,
                       const ColorTransform& cx, const Draw& draw)
{
    const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    QTransform device = transform * QTransform::fromScale(dpr, dpr);
    if (!device.isAffine() || !std::isfinite(device.dx()) || !std::isfinite(device.dy())) {
        draw(painter, transform);
        return;
    }
    // Whole pixels and quarters of the translation.
    double fx = std::floor(device.dx() * 4 + 0.5) / 4, fy = std::floor(device.dy() * 4 + 0.5) / 4;
    double whole_x = std::floor(fx), whole_y = std::floor(fy);
    QTransform local(device.m11(), device.m12(), device.m21(), device.m22(), fx - whole_x, fy - whole_y);
    QTransform snapped = local * QTransform::fromTranslate(whole_x, whole_y) * QTransform::fromScale(1 / dpr, 1 / dpr);

    QRectF area = local.mapRect(bounds).adjusted(-2, -2, 2, 2);
    if (bounds.isEmpty() || !area.isValid() || area.width() > kMaxSide || area.height() > kMaxSide
        || !std::isfinite(area.left()) || !std::isfinite(area.top())) {
        draw(painter, snapped);
        return;
    }
    Key key{what,
            {device.m11(), device.m12(), device.m21(), device.m22()},
            std::uint8_t((fx - whole_x) * 4),
            std::uint8_t((fy - whole_y) * 4),
            {cx.r_mult, cx.g_mult, cx.b_mult, cx.a_mult, cx.r_add, cx.g_add, cx.b_add, cx.a_add}};
    auto [it, fresh] = m_entries.try_emplace(key);
    Entry& e = it->second;
    bool seen_before = !fresh && e.last_frame != m_frame;
    e.last_frame = m_frame;
    if (e.image.isNull() && !seen_before) {
        draw(painter, snapped);
        return;
    }
    if (e.image.isNull()) {
        QRect pixels(QPoint(int(std::floor(area.left())), int(std::floor(area.top()))),
                     QPoint(int(std::ceil(area.right())), int(std::ceil(area.bottom()))));
        // Never past the budget, not even within a frame: what does not fit is drawn directly.
        if (m_bytes + std::size_t(pixels.width()) * std::size_t(pixels.height()) * 4 > m_budget) {
            m_full = true;
            draw(painter, snapped);
            return;
        }
        e.image = QImage(pixels.size(), QImage::Format_ARGB32_Premultiplied);
        if (e.image.isNull()) {
            draw(painter, snapped);
            return;
        }
        e.image.fill(Qt::transparent);
        e.origin = pixels.topLeft();
        QPainter p(&e.image);
        p.setRenderHints(painter.renderHints());
        draw(p, local * QTransform::fromTranslate(-pixels.left(), -pixels.top()));
        p.end();
        e.image.setDevicePixelRatio(dpr);
        m_bytes += e.image.sizeInBytes();
    }
    painter.setTransform(QTransform());
    painter.drawImage(QPointF((whole_x + e.origin.x()) / dpr, (whole_y + e.origin.y()) / dpr), e.image);
}

void RasterCache::set_stage_pixels(double device_pixels)
{
    const double layers = 4 * 4 * std::clamp(device_pixels, 0.0, 1e9); // four layers of 4-byte pixels
    m_budget = std::max(kMinBudget, std::size_t(layers));
}

void RasterCache::end_frame()
{
    // Keys seen once and not again are dropped at once. Kept pixels go, least recently drawn
    // first, when over three quarters of the budget; when something did not fit, all that was
    // not drawn in this frame goes, to make room for what is on the stage now.
    std::vector<std::pair<std::uint64_t, std::map<Key, Entry>::iterator>> kept;
    for (auto it = m_entries.begin(); it != m_entries.end();) {
        if (it->second.image.isNull() && it->second.last_frame + 1 < m_frame) {
            it = m_entries.erase(it);
            continue;
        }
        if (!it->second.image.isNull())
            kept.push_back({it->second.last_frame, it});
        ++it;
    }
    std::sort(kept.begin(), kept.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (auto& [frame, it] : kept) {
        const bool stale = frame != m_frame;
        if (!(m_bytes > m_budget * 3 / 4 || (m_full && stale)))
            break;
        m_bytes -= it->second.image.sizeInBytes();
        m_entries.erase(it);
    }
    m_full = false;
    ++m_frame;
}

std::uint64_t RasterCache::new_id()
{
    static std::atomic<std::uint64_t> next{1};
    return next++;
}

void RasterCache::clear()
{
    m_entries.clear();
    m_bytes = 0;
    m_full = false;
}

} // namespace swf
