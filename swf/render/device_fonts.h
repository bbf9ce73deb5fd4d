#pragma once

#include <QFont>

#include <memory>

#include "swf/core/text_field.h"

namespace swf {

// The system font that stands in for a font the movie names but does not embed. The generic
// names (_sans, _serif, _typewriter) and the common Windows and Chinese font names map to
// installed families; Chinese characters fall back to an installed CJK font. Sizes are twips,
// so text drawn with it is laid out in the movie's own units.
QFont device_font(const FontStyle& style, double size);

// Text metrics measured with those fonts, for the core's text layout.
std::shared_ptr<const TextMetrics> device_text_metrics();

} // namespace swf
