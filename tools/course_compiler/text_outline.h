#pragma once

#include "swf/writer/shape_builder.h"

#include <QFont>
#include <QPointF>
#include <QString>

namespace course {

enum class Align { Left, Center, Right };

// How a line of text looks. Text goes into the movies as filled outlines, so it looks the same
// in every player whatever fonts the learner's system has.
struct TextStyle {
    double pixelSize = 20;
    swf::Rgba color{0, 0, 0};
    bool bold = false;
    Align align = Align::Left;
    QString family = QStringLiteral("DejaVu Sans");
};

QFont fontFor(const TextStyle& style);

// Adds one line of text to `shape` as filled outlines, its baseline at `baseline` (pixels): the
// start, centre or end of the line as the alignment says.
void addText(swf::ShapeBuilder& shape, const QString& text, const TextStyle& style, QPointF baseline);

// Width of a line of text in pixels.
double textWidth(const QString& text, const TextStyle& style);

} // namespace course
