// The windows listed in course_windows.h are added one at a time, each in its own folder. Until
// a window exists, the main window's requests to it change nothing, so the course runs without it.
#include "app/course_windows.h"

namespace app {

void FirstRunSetup() {}
void CreateDesktopShortcut() {}

void FormControl_Show() {}
void FormControl_SetCaption(const QString&) {}
void FormControl_FollowMinimised(bool) {}
void FormControl_Call() {}

void FormSistema_SetMinimised(bool) {}
void FormSistema_SetShown(bool) {}
void FormEScribir_SetMinimised(bool) {}
void FormEScribir_Show() {}
void FormBuscar_Show() {}
void FormAyuda2_Show() {}
void FrmAbout_Show() {}
void QorMusic_PlaySong(const sound::Song&) {}

} // namespace app
