#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace app {

class Form3;

// The player draws into a child widget of its own, so input there never reaches the main window.
// The hook filters that widget's input to give the player area the program's own behaviour: a
// right-button press opens the main menu, Ctrl+Enter toggles the screen mode, and right-button
// releases, left double clicks and key presses never reach the player.
//
// One hook for the whole program: the widget hooked now and the two flags.
struct PlayerHookState {
    QPointer<QWidget> HookedWindow;
    bool PlayerMenuEnabled = false; // the right button opens the menu and Ctrl+Enter works
    bool CtrlKeyDown = false;       // Ctrl went down in the player and has not come up there
};
PlayerHookState& playerHook();

// The input filter installed on the hooked widget.
class PlayerWndProc : public QObject {
public:
    explicit PlayerWndProc(Form3& owner);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Form3& m_owner;
};

// Unhooks, then hooks the first descendant of `form` that is the player's drawing widget.
// `enableMenu` sets PlayerMenuEnabled, as every run but the one of the window's load sequence does.
void FindAndHookPlayer(Form3& form, PlayerWndProc& filter, bool enableMenu);

// Whether a widget is the player's drawing widget, by its object name or class name: exactly
// "MacromediaFlashPlayerActiveX" or beginning with "ATL:".
bool EnumPlayerWindow(const QWidget& widget);

void HookPlayer(PlayerWndProc& filter);
void UnhookPlayer(PlayerWndProc& filter);

} // namespace app
