#include "appearance/window_drag.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace appearance {

namespace {

// On X11 the window manager takes the pointer only when the move request reaches it. A quick
// click can be over by then: the release goes to the window, and the manager would go on moving
// the window with the button up until the next click. So every left-button release that still
// reaches the window after a move request tells the manager to cancel its move. A move that
// really ran has ended before that (the manager held the pointer until its own release), and
// the manager ignores the cancel.
class CancelMoveOnRelease : public QObject {
public:
    CancelMoveOnRelease(QWindow* window, xcb_connection_t* connection)
        : QObject(window), m_window(window), m_connection(connection)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease
            && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            sendCancel();
            m_window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    void sendCancel()
    {
        static constexpr char name[] = "_NET_WM_MOVERESIZE";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr);
        if (!atom)
            return;
        xcb_client_message_event_t message {};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = static_cast<xcb_window_t>(m_window->winId());
        message.type = atom->atom;
        message.data.data32[2] = 11; // _NET_WM_MOVERESIZE_CANCEL
        message.data.data32[3] = 1; // the left button
        message.data.data32[4] = 1; // sent by an ordinary application
        std::free(atom);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        xcb_send_event(m_connection, 0, root,
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(m_connection);
    }

    QWindow* m_window;
    xcb_connection_t* m_connection;
};

} // namespace

bool StartWindowDrag(QWidget* window)
{
    QWindow* native = window->window()->windowHandle();
    if (!native || !(QGuiApplication::mouseButtons() & Qt::LeftButton) || !native->startSystemMove())
        return false;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 && !native->findChild<CancelMoveOnRelease*>(QString(), Qt::FindDirectChildrenOnly))
        new CancelMoveOnRelease(native, x11->connection());
    return true;
}

} // namespace appearance
