#include "appearance/window_opacity.h"

#include <QWidget>

namespace appearance {

void ApplyOpacity(QWidget* window, std::int16_t alpha)
{
    window->setWindowOpacity(static_cast<std::uint8_t>(alpha) / 255.0);
}

} // namespace appearance
