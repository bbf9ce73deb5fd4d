#pragma once

#include <QString>

namespace sound {
struct Song;
}

namespace app {

// The course's other windows as the main window reaches them: the control bar `FormControl`,
// the personalise panel `FormSistema`, the writing pad `FormEScribir`, the sound finder
// `FormBuscar`, help `FormAyuda2`, the about box `FrmAbout` and the song window `QorMusic`, plus
// the first-run step. Each window is created on first use.
void FirstRunSetup();
void CreateDesktopShortcut();

void FormControl_Show();
void FormControl_SetCaption(const QString& caption);
// Follows the main window into and out of the minimised state (its pointer watch and slide).
void FormControl_FollowMinimised(bool minimised);
// Brings the bar in (menu item "&Control"): focus when it is on screen, otherwise slide it in.
void FormControl_Call();

void FormSistema_SetMinimised(bool minimised);
void FormSistema_SetShown(bool shown);
void FormEScribir_SetMinimised(bool minimised);
void FormEScribir_Show();
void FormBuscar_Show();
void FormAyuda2_Show();
void FrmAbout_Show();
void QorMusic_PlaySong(const sound::Song& song);

} // namespace app
