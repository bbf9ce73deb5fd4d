#include "swf/render/text_field_painter.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "swf/render/character_cache.h"
#include "swf/render/device_fonts.h"
#include "swf/render/qt_convert.h"

namespace swf {
namespace {

Rgba rgb(std::uint32_t color, std::uint8_t alpha = 255)
{
    return {std::uint8_t(color >> 16), std::uint8_t(color >> 8), std::uint8_t(color), alpha};
}

// Where each line starts and how its characters are drawn.
class FieldText {
public:
    FieldText(QPainter* painter, const TextField& field, const ColorTransform& cx, CharacterCache* fonts)
        : m_painter(painter), m_field(field), m_cx(cx)
    {
        const EditTextCharacter* edit = field.edit();
        if (edit && edit->def.color)
            m_alpha = edit->def.color->a;
        if (edit && edit->def.has_layout) {
            m_align = edit->def.align;
            m_left = edit->def.left_margin;
            m_right = edit->def.right_margin;
            m_indent = edit->def.indent;
        }
        if (const FontCharacter* font = field.embedded_font(); font && fonts)
            m_glyphs = fonts->font(font->id);
    }

    // The x of a line's first character.
    double line_start(const TextField::Line& line) const
    {
        const Rect& b = m_field.bounds;
        const auto& chars = m_field.chars();
        bool paragraph_start = line.begin == 0 || (line.begin <= chars.size() && chars[line.begin - 1].code == '\r');
        double indent = paragraph_start ? m_indent : 0;
        double left = b.x_min + TextField::kGutter + m_left + indent;
        double room = (b.x_max - TextField::kGutter - m_right) - left;
        double x = left - m_field.hscroll() * 20.0;
        if (m_align == 1)
            x += room - line.width;
        else if (m_align == 2)
            x += (room - line.width) / 2;
        return x;
    }

    QColor color(const TextField::Char& c) const
    {
        bool own = c.color == TextField::kFieldColor;
        return to_qt(rgb(own ? m_field.text_color : c.color, own ? m_alpha : 255), m_cx);
    }

    void draw_line(const TextField::Line& line, double baseline)
    {
        const auto& chars = m_field.chars();
        double x = line_start(line);
        std::size_t end = std::min(line.end, chars.size());
        for (std::size_t i = line.begin; i < end;) {
            // A run: characters drawn alike.
            std::size_t j = i + 1;
            while (j < end && same_format(chars[i], chars[j]))
                ++j;
            double width = 0;
            for (std::size_t k = i; k < j; ++k)
                width += m_field.advance(chars[k]);
            draw_run(i, j, x, baseline);
            if (chars[i].underline)
                m_painter->fillRect(QRectF(x, baseline + chars[i].size * 0.1, width, std::max(20.0, chars[i].size / 16)),
                                   color(chars[i]));
            x += width;
            i = j;
        }
    }

    // The caret's x in a line.
    double caret_x(const TextField::Line& line, std::size_t caret) const
    {
        double x = line_start(line);
        for (std::size_t k = line.begin; k < caret && k < m_field.chars().size(); ++k)
            x += m_field.advance(m_field.chars()[k]);
        return x;
    }

private:
    static bool same_format(const TextField::Char& a, const TextField::Char& b)
    {
        return a.size == b.size && a.color == b.color && a.bold == b.bold && a.italic == b.italic
            && a.underline == b.underline && a.face == b.face && a.code != '\r' && b.code != '\r';
    }

    std::uint32_t shown(std::uint32_t code) const { return m_field.password ? '*' : code; }

    void draw_run(std::size_t begin, std::size_t end, double x, double baseline)
    {
        const auto& chars = m_field.chars();
        const TextField::Char& first = chars[begin];
        if (m_field.embed_fonts) {
            if (!m_glyphs)
                return; // embedded text whose font is missing draws nothing, as in Flash
            QPainterPath path;
            path.setFillRule(Qt::OddEvenFill);
            double scale = first.size / 1024.0;
            for (std::size_t k = begin; k < end; ++k) {
                int index = m_glyphs->index_of(shown(chars[k].code));
                if (const QPainterPath* glyph = index >= 0 ? m_glyphs->glyph(std::uint32_t(index)) : nullptr)
                    path.addPath(QTransform(scale, 0, 0, scale, x, baseline).map(*glyph));
                x += m_field.advance(chars[k]);
            }
            m_painter->fillPath(path, color(first));
            return;
        }
        QString text;
        for (std::size_t k = begin; k < end; ++k) {
            if (chars[k].code == '\r')
                continue;
            char32_t code = shown(chars[k].code);
            text += QString::fromUcs4(&code, 1);
        }
        if (text.isEmpty())
            return;
        m_painter->setFont(device_font(m_field.style(first), first.size));
        m_painter->setPen(color(first));
        m_painter->drawText(QPointF(x, baseline), text);
    }

    QPainter* m_painter; // null when only measuring
    const TextField& m_field;
    ColorTransform m_cx;
    GlyphSet* m_glyphs = nullptr;
    std::uint8_t m_alpha = 255;
    int m_align = 0;
    double m_left = 0, m_right = 0, m_indent = 0;
};

} // namespace

void draw_text_field(QPainter& painter, const TextField& field, const QTransform& transform, const ColorTransform& cx,
                     CharacterCache* fonts)
{
    const Rect& b = field.bounds;
    QRectF box(b.x_min, b.y_min, b.width(), b.height());
    if (box.isEmpty())
        return;
    painter.save();
    painter.setTransform(transform);
    if (field.background)
        painter.fillRect(box, to_qt(rgb(field.background_color), cx));
    if (field.border) {
        // A crisp one-pixel frame on the field's edge pixels.
        QPen pen(to_qt(rgb(field.border_color), cx), 1.0);
        pen.setCosmetic(true);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawRect(box);
        painter.setRenderHint(QPainter::Antialiasing, true);
    }
    painter.setClipRect(box, Qt::IntersectClip);

    FieldText text(&painter, field, cx, fonts);
    std::vector<TextField::Line> lines = field.layout();
    double y = b.y_min + TextField::kGutter;
    for (std::size_t i = std::size_t(std::max(field.scroll() - 1, 0)); i < lines.size() && y < b.y_max; ++i) {
        const TextField::Line& line = lines[i];
        double baseline = y + line.ascent;
        text.draw_line(line, baseline);
        if (field.caret && *field.caret >= line.begin && *field.caret <= line.end
            && (i + 1 == lines.size() || *field.caret < lines[i + 1].begin)) {
            double x = text.caret_x(line, *field.caret);
            QPen pen(to_qt(rgb(field.text_color), cx), 1.0);
            pen.setCosmetic(true);
            painter.setPen(pen);
            painter.drawLine(QPointF(x, y), QPointF(x, y + line.height - (line.height - line.ascent) * 0.3));
        }
        y += line.height;
    }
    painter.restore();
}

std::size_t text_index_at(const TextField& field, Point local)
{
    FieldText text(nullptr, field, {}, nullptr);
    std::vector<TextField::Line> lines = field.layout();
    if (lines.empty())
        return 0;
    // The line under the point, counting from the first one shown; above or below: the nearest.
    std::size_t i = std::size_t(std::max(field.scroll() - 1, 0));
    double y = field.bounds.y_min + TextField::kGutter;
    while (i + 1 < lines.size() && local.y > y + lines[i].height) {
        y += lines[i].height;
        ++i;
    }
    const TextField::Line& line = lines[i];
    const auto& chars = field.chars();
    double x = text.line_start(line);
    std::size_t index = line.begin;
    for (; index < line.end && index < chars.size(); ++index) {
        double w = field.advance(chars[index]);
        if (local.x < x + w / 2)
            break;
        x += w;
    }
    return index;
}

} // namespace swf
