#pragma once

#include "tools/course_compiler/text_outline.h"

#include "swf/writer/movie_builder.h"

#include <QRectF>
#include <QString>

#include <vector>

namespace course {

// Colours of one part of the course: each module has its own, so the learner knows at a glance
// where they are.
struct Palette {
    swf::Rgba background;
    swf::Rgba panel;
    swf::Rgba accent;
    swf::Rgba text;
    swf::Rgba buttonText{255, 255, 255};
};

// A button of the course: a rounded plate with a caption that lights up under the pointer and
// runs its actions when released.
struct ButtonSpec {
    QString caption;
    QRectF box; // pixels
    swf::ActionAssembler onRelease;
};

// Actions that send a command to the program.
swf::ActionAssembler command(const char* command, const char* args = "");

// A rectangle over the whole stage in the movie's background colour, placed at depth 1 below
// everything: the program shows every movie on black, whatever the movie's own background.
void placeBackground(swf::MovieBuilder& movie, double width, double height, swf::Rgba color);

// A rounded rectangle as one closed path of the current fill.
void addRoundedRect(swf::ShapeBuilder& shape, const QRectF& box, double radius);

// Defines the button and returns its character id.
std::uint16_t defineButton(swf::MovieBuilder& movie, const ButtonSpec& button, const Palette& palette,
                           const TextStyle& captionStyle);

// A shape holding lines of text, one after another from `firstBaseline` down by `lineHeight`.
std::uint16_t defineTextBlock(swf::MovieBuilder& movie, const std::vector<QString>& lines, const TextStyle& style,
                              QPointF firstBaseline, double lineHeight);

} // namespace course
