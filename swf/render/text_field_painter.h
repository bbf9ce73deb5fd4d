#pragma once

#include <QTransform>

#include "swf/core/text_field.h"

class QPainter;

namespace swf {

class CharacterCache;

// Draws a dynamic or input text field as its state stands: background and border, the lines
// the field lays out from its scroll position (embedded glyphs from `fonts`, which is the
// field's movie, or system fonts), alignment, margins and indent, and the caret when the
// field has the keyboard focus. The text is clipped to the field's bounds.
void draw_text_field(QPainter& painter, const TextField& field, const QTransform& transform, const ColorTransform& cx,
                     CharacterCache* fonts);

// The place between characters nearest to a point in the field's own space (twips), as the
// field is drawn: where a click puts the caret.
std::size_t text_index_at(const TextField& field, Point local);

} // namespace swf
