#pragma once

#include <QString>

namespace desktop {

// Shows the page in the learner's web browser, through the desktop's own opener.
void OpenWebPage(const QString& url);

} // namespace desktop
