#include "app/player_hook.h"

#include "app/form3.h"

#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace app {
namespace {

bool isPlayerName(const QString& name)
{
    return name == QLatin1String("MacromediaFlashPlayerActiveX") || name.startsWith(QLatin1String("ATL:"));
}

bool isEnterKey(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

PlayerHookState& playerHook()
{
    static PlayerHookState state;
    return state;
}

PlayerWndProc::PlayerWndProc(Form3& owner)
    : m_owner(owner)
{
}

bool PlayerWndProc::eventFilter(QObject* watched, QEvent* event)
{
    PlayerHookState& hook = playerHook();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (static_cast<QMouseEvent*>(event)->button() != Qt::RightButton)
            return false;
        // The menu runs its own event loop; its actions may load another movie and so unhook and
        // hook again while this handler is still on the stack, which the filter survives since it
        // keeps no state of its own across the call.
        if (hook.PlayerMenuEnabled)
            m_owner.menus.jianZZZ->exec(QCursor::pos());
        return true;
    case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    case QEvent::MouseButtonRelease:
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    case QEvent::ContextMenu:
        // The player's own context menu never opens.
        return true;
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Control)
            hook.CtrlKeyDown = true;
        return true;
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Held keys repeat their presses only; the releases the system adds to a repeat are not
        // real releases.
        if (key->isAutoRepeat())
            return true;
        if (hook.PlayerMenuEnabled && isEnterKey(key->key()) && hook.CtrlKeyDown)
            m_owner.C_Screen();
        if (key->key() == Qt::Key_Control)
            playerHook().CtrlKeyDown = false;
        return false;
    }
    default:
        return false;
    }
}

bool EnumPlayerWindow(const QWidget& widget)
{
    return isPlayerName(widget.objectName()) || isPlayerName(QLatin1String(widget.metaObject()->className()));
}

void HookPlayer(PlayerWndProc& filter)
{
    playerHook().HookedWindow->installEventFilter(&filter);
}

void UnhookPlayer(PlayerWndProc& filter)
{
    PlayerHookState& hook = playerHook();
    if (hook.HookedWindow)
        hook.HookedWindow->removeEventFilter(&filter);
    hook.HookedWindow = nullptr;
}

void FindAndHookPlayer(Form3& form, PlayerWndProc& filter, bool enableMenu)
{
    PlayerHookState& hook = playerHook();
    if (hook.HookedWindow)
        UnhookPlayer(filter);
    if (enableMenu)
        hook.PlayerMenuEnabled = true;
    // findChildren lists descendants depth first in child order, a stable enumeration.
    const QList<QWidget*> descendants = form.findChildren<QWidget*>();
    for (QWidget* widget : descendants) {
        if (EnumPlayerWindow(*widget)) {
            hook.HookedWindow = widget;
            break;
        }
    }
    if (hook.HookedWindow)
        HookPlayer(filter);
}

} // namespace app
