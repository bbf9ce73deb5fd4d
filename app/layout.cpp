#include "app/layout.h"

#include "app/course_state.h"
#include "app/settings.h"

namespace app {

MainLayout computeMainLayout(std::int16_t screenMode, std::int16_t section, QSizeF screenTwips)
{
    MainLayout layout;
    if (screenMode != kWindowMode)
        layout.window = QRectF(QPointF(0, 0), screenTwips);
    else
        layout.window = QRectF((screenTwips.width() - kWindowWidth) / 2, (screenTwips.height() - kWindowHeight) / 2,
                               kWindowWidth, kWindowHeight);

    if (section != kStartScreen) {
        layout.player = QRectF(QPointF(0, 0), layout.window.size());
    } else {
        layout.player = QRectF((layout.window.width() - kStartPlayerWidth) / 2,
                               (layout.window.height() - kStartPlayerHeight) / 2, kStartPlayerWidth,
                               kStartPlayerHeight);
    }
    return layout;
}

} // namespace app
