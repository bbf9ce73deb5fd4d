// The main window's background music: the section's piece, the sound switch and the volume.
#include "app/course_state.h"
#include "app/form3.h"
#include "app/player_hook.h"
#include "platform/media_player.h"
#include "sound/section_music.h"

#include <QAction>

namespace app {

void Form3::yinyueSUB()
{
    if (isMinimized()) {
        WindowsMediaPlayer1->controls.pause();
        return;
    }
    FindAndHookPlayer(*this, *m_playerHook, true);
    WindowsMediaPlayer1->controls.stop();
    if (ConfigValues[SoundSwitch] == kSoundOn) {
        menus.SonidoP->setChecked(true);
        sound::playSectionPiece(*WindowsMediaPlayer1, CurrentSection);
    } else {
        menus.SonidoP->setChecked(false);
        WindowsMediaPlayer1->controls.stop();
    }
}

void Form3::SonidoP_Click()
{
    // The item has already inverted its check mark.
    ConfigValues[SoundSwitch] = menus.SonidoP->isChecked() ? kSoundOn : kSoundOff;
    C_SaveConfig();
    yinyueSUB();
}

void Form3::Volumen100_Click(int index)
{
    const auto volume = static_cast<std::int16_t>((index + 1) * 10);
    WindowsMediaPlayer1->settings.setVolume(volume);
    ConfigValues[Volume] = volume;
    C_SaveConfig();
    // Choosing a volume switches the sound on; the switch is saved with the next change.
    if (ConfigValues[SoundSwitch] == kSoundOff) {
        menus.SonidoP->setChecked(true);
        ConfigValues[SoundSwitch] = kSoundOn;
        yinyueSUB();
    }
}

} // namespace app
