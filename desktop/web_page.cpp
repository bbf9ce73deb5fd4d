#include "desktop/web_page.h"

#include <QDesktopServices>
#include <QUrl>

namespace desktop {

void OpenWebPage(const QString& url)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(url));
}

} // namespace desktop
