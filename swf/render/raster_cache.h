#pragma once

#include <QImage>
#include <QPoint>
#include <QRectF>
#include <QTransform>

#include <array>
#include <cstdint>
#include <functional>
#include <map>

#include "swf/parser/types.h"

class QPainter;

namespace swf {

// The pixels of things drawn the same way in more than one frame: a shape that stays where it
// is, or only moves, is copied from its earlier drawing rather than drawn again. What counts
// as the same: the thing itself (an id), its transform apart from whole pixels of
// translation, and its colour transform. Translations are kept to quarter pixels, so a
// moving shape finds its pixels, and a first drawing and a later copy land alike. A thing is
// kept from its second frame on, so one-off drawings (a shape growing at every step) cost
// nothing extra; the pixels kept never pass a budget, the least recently used go first.
class RasterCache {
public:
    using Draw = std::function<void(QPainter& painter, const QTransform& transform)>;

    // Draws `what` (bounds in its own space, transform to the painter's logical space) through
    // the cache; `draw` paints it for a given transform.
    void draw(QPainter& painter, std::uint64_t what, const QRectF& bounds, const QTransform& transform,
              const ColorTransform& cx, const Draw& draw);
    // A frame is done: forgets what was not drawn lately when over its budget.
    void end_frame();
    void clear();

    // Sizes the budget for a stage drawn over this many device pixels: four layers of them,
    // and never less than a small floor.
    void set_stage_pixels(double device_pixels);
    std::size_t bytes() const { return m_bytes; }
    // Bytes of pixels never passed.
    std::size_t budget() const { return m_budget; }
    // A new id for something drawable, never given twice.
    static std::uint64_t new_id();

private:
    struct Key {
        std::uint64_t what;
        std::array<double, 4> linear;
        std::uint8_t quarter_x, quarter_y;
        std::array<double, 8> cx;
        auto operator<=>(const Key&) const = default;
    };
    struct Entry {
        QImage image;     // null until the second frame that draws it
        QPoint origin;    // of the image, from the whole-pixel translation
        std::uint64_t last_frame = 0;
    };

    std::map<Key, Entry> m_entries;
    static constexpr std::size_t kMinBudget = 8u << 20;
    std::size_t m_budget = kMinBudget;
    std::size_t m_bytes = 0;
    bool m_full = false; // something was not kept in this frame for want of room
    std::uint64_t m_frame = 1;
};

} // namespace swf
