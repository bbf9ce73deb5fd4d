#pragma once

#include "app/main_menus.h"
#include "app/settings.h"

#include <QTimer>
#include <QWidget>

#include <memory>

namespace platform {
class MediaPlayer;
class MoviePlayer;
}

namespace app {

class PlayerWndProc;

// The main window: the course shell. It plays one movie at a time in `Flash1`, the section's
// background music in `WindowsMediaPlayer1`, carries the pop-up menus and the settings, and
// obeys the commands the movies send.
class Form3 : public QWidget {
    Q_OBJECT
public:
    // `withAudioOutput` false keeps the music off the sound card (it can then be rendered offline).
    explicit Form3(bool withAudioOutput = true, QWidget* parent = nullptr);
    ~Form3() override;

    // Places the window and the player for the screen mode and the section.
    void C_Layout();
    // Toggles full screen and window mode, and saves the choice.
    void C_Screen();
    // Leaves the start screen for the main index.
    void C_EnterIndex();
    // Starts the quit sequence: the closing movie with the ending music, or the end at once when
    // the closing movie already plays.
    void ZZTimerCerrado();
    // Ends the program at once.
    void ZZEnd();
    // Applies OpacityLevel to the window and saves it.
    void ZZAlpha();
    // Starts the section's music from its beginning (or pauses it while minimised).
    void yinyueSUB();
    // Writes the stored module to a temporary file, loads it into the player and deletes the file.
    void C_LoadModule(int id, const QString& name);
    // Writes the four settings to "\confg.Ini".
    void C_SaveConfig();

    platform::MoviePlayer* Flash1;
    platform::MediaPlayer* WindowsMediaPlayer1;
    QTimer* Timer1;
    MainMenus menus;
    ConfigValueArray ConfigValues{};
    bool SkipMusicOnResize = false;

signals:
    // The main window has closed: the program ends.
    void programEnded();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
    void Timer1_Timer();
    void Flash1_FSCommand(const QString& command, const QString& args);
    void connectMenus();
    void switchModuleFromMenu(std::int16_t section, int id, const QString& name);
    void switchModuleByCommand(std::int16_t section, int id, const QString& name);
    void SonidoP_Click();
    void Volumen100_Click(int index);
    void SalirZZZ_Click();
    void EntrarAA_Click();
    void setOpacityFromMenu(std::int16_t opacity);
    // The file to load a stored module from: "\" + name + ".dat" beside the program, or a
    // temporary file elsewhere when the program folder cannot be written.
    QString writeModuleFile(int id, const QString& name);

    std::unique_ptr<PlayerWndProc> m_playerHook;
    bool m_leftPressed = false;
    bool m_closing = false;
    bool m_saveFailureReported = false;
};

} // namespace app
