#include "tools/course_compiler/text_outline.h"

#include <QFontMetricsF>
#include <QPainterPath>

namespace course {
namespace {

QPointF point(const QPainterPath::Element& e)
{
    return {e.x, e.y};
}

// A cubic curve as two quadratic ones (split at its middle, each half approximated by the
// quadratic through the same ends whose control point best matches the half's tangents).
void addCubic(swf::ShapeBuilder& shape, QPointF p0, QPointF c1, QPointF c2, QPointF p3)
{
    const QPointF m01 = (p0 + c1) / 2, m12 = (c1 + c2) / 2, m23 = (c2 + p3) / 2;
    const QPointF m012 = (m01 + m12) / 2, m123 = (m12 + m23) / 2;
    const QPointF mid = (m012 + m123) / 2;
    const QPointF q1 = (3 * (m01 + m012) - p0 - mid) / 4;
    const QPointF q2 = (3 * (m123 + m23) - mid - p3) / 4;
    shape.curve_to(q1.x(), q1.y(), mid.x(), mid.y());
    shape.curve_to(q2.x(), q2.y(), p3.x(), p3.y());
}

} // namespace

QFont fontFor(const TextStyle& style)
{
    QFont font(style.family);
    font.setPixelSize(static_cast<int>(style.pixelSize));
    font.setBold(style.bold);
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

double textWidth(const QString& text, const TextStyle& style)
{
    return QFontMetricsF(fontFor(style)).horizontalAdvance(text);
}

void addText(swf::ShapeBuilder& shape, const QString& text, const TextStyle& style, QPointF baseline)
{
    const double width = textWidth(text, style);
    if (style.align == Align::Center)
        baseline.rx() -= width / 2;
    else if (style.align == Align::Right)
        baseline.rx() -= width;

    QPainterPath path;
    path.addText(baseline, fontFor(style), text);
    shape.fill(style.color);
    QPointF current;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element& e = path.elementAt(i);
        switch (e.type) {
        case QPainterPath::MoveToElement:
            shape.move_to(e.x, e.y);
            current = point(e);
            break;
        case QPainterPath::LineToElement:
            shape.line_to(e.x, e.y);
            current = point(e);
            break;
        case QPainterPath::CurveToElement: {
            const QPointF end = point(path.elementAt(i + 2));
            addCubic(shape, current, point(e), point(path.elementAt(i + 1)), end);
            current = end;
            i += 2;
            break;
        }
        case QPainterPath::CurveToDataElement:
            break;
        }
    }
}

} // namespace course
