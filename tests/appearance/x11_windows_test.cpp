// The window mechanisms on a real X server with a window manager, read back through a second
// connection of our own: the shape, the click-through, the opacity property, the above state
// and the system move.
#include "appearance/always_on_top.h"
#include "appearance/shape_from_mask.h"
#include "appearance/window_drag.h"
#include "appearance/window_opacity.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegion>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QtGui/qguiapplication_platform.h>

#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace {

constexpr int timeoutMs = 10000; // generous: the tests share two cores with other builds

// Runs the event loop until the condition holds or the time is up. The loop blocks between
// events as the program's own does: that is when Qt sends its buffered requests to the X
// server (QTest::qWaitFor never blocks, and a request can then wait in the buffer for good).
bool waitUntil(const std::function<bool()>& condition)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// A frameless window that shows its face picture, starts a drag from each press of its face, as
// the shaped windows do, and counts the presses and releases it gets.
class Face : public QWidget {
public:
    explicit Face(QImage picture) : QWidget(nullptr, Qt::FramelessWindowHint), m_picture(std::move(picture))
    {
        resize(m_picture.size());
    }

    int presses = 0;
    int releases = 0;
    std::optional<bool> dragStarted;

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).drawImage(0, 0, m_picture); }
    void mousePressEvent(QMouseEvent*) override
    {
        ++presses;
        dragStarted = appearance::StartWindowDrag(this);
    }
    void mouseReleaseEvent(QMouseEvent*) override { ++releases; }

private:
    QImage m_picture;
};

QImage plainPicture(QSize size, QColor colour)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    return picture;
}

// A card with rounded corners on white, with a white hole in it.
QImage cardPicture()
{
    QImage picture = plainPicture({300, 180}, Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 110, 160));
    painter.drawRoundedRect(QRectF(0, 0, 300, 180), 30, 30);
    painter.fillRect(140, 80, 20, 20, Qt::white);
    return picture;
}

bool xdotool(const QStringList& arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool clickAt(QPoint point, int button = 1)
{
    return xdotool({"mousemove", QString::number(point.x()), QString::number(point.y()), "click",
                    QString::number(button)});
}

class X11Windows : public ::testing::Test {
protected:
    static void SetUpTestSuite() { display = XOpenDisplay(nullptr); }
    static void TearDownTestSuite()
    {
        if (display)
            XCloseDisplay(display);
        display = nullptr;
    }
    void SetUp() override { ASSERT_NE(display, nullptr) << "no X server on DISPLAY"; }

    static Atom atom(const char* name) { return XInternAtom(display, name, False); }

    static std::vector<unsigned long> property(Window window, const char* name, Atom type)
    {
        std::vector<unsigned long> values;
        Atom actualType = 0;
        int format = 0;
        unsigned long count = 0, remaining = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, atom(name), 0, 1024, False, type, &actualType, &format, &count,
                               &remaining, &data)
                == Success
            && data) {
            if (actualType == type && format == 32) {
                // Xlib hands 32-bit items over in longs, sign-extended.
                const auto* items = reinterpret_cast<const unsigned long*>(data);
                for (unsigned long i = 0; i < count; ++i)
                    values.push_back(items[i] & 0xFFFFFFFFUL);
            }
            XFree(data);
        }
        return values;
    }

    static std::optional<unsigned long> opacity(Window window)
    {
        const auto values = property(window, "_NET_WM_WINDOW_OPACITY", XA_CARDINAL);
        return values.empty() ? std::nullopt : std::optional(values.front());
    }

    static bool above(Window window)
    {
        for (unsigned long state : property(window, "_NET_WM_STATE", XA_ATOM))
            if (state == atom("_NET_WM_STATE_ABOVE"))
                return true;
        return false;
    }

    // Managed client windows from the bottom of the stacking order to the top.
    static std::vector<unsigned long> stacking()
    {
        return property(DefaultRootWindow(display), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    }

    static unsigned long activeWindow()
    {
        const auto active = property(DefaultRootWindow(display), "_NET_ACTIVE_WINDOW", XA_WINDOW);
        return active.empty() ? 0 : active.front();
    }

    static long stackingIndex(Window window)
    {
        const auto order = stacking();
        const auto found = std::find(order.begin(), order.end(), window);
        return found == order.end() ? -1 : found - order.begin();
    }

    static QRegion shape(Window window)
    {
        QRegion region;
        int count = 0, ordering = 0;
        if (XRectangle* rects = XShapeGetRectangles(display, window, ShapeBounding, &count, &ordering)) {
            for (int i = 0; i < count; ++i)
                region += QRect(rects[i].x, rects[i].y, rects[i].width, rects[i].height);
            XFree(rects);
        }
        return region;
    }

    // Place and size of a window on the screen, as the server has them.
    static QRect geometry(Window window)
    {
        Window root = 0, child = 0;
        int x = 0, y = 0, rootX = 0, rootY = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        if (!XGetGeometry(display, window, &root, &x, &y, &width, &height, &border, &depth))
            return {};
        XTranslateCoordinates(display, window, root, 0, 0, &rootX, &rootY, &child);
        return QRect(rootX, rootY, int(width), int(height));
    }

    static bool viewable(Window window)
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
    }

    // Waits until the window manager has handled every request the program has sent so far.
    // A round trip on the program's own connection gets those requests processed by the server;
    // the manager then answers a frame-extents request of ours only after it has read them.
    static bool windowManagerCaughtUp()
    {
        xcb_connection_t* program = qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
        std::free(xcb_get_input_focus_reply(program, xcb_get_input_focus(program), nullptr));

        const Window root = DefaultRootWindow(display);
        const Window probe = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
        XEvent request {};
        request.xclient.type = ClientMessage;
        request.xclient.window = probe;
        request.xclient.message_type = atom("_NET_REQUEST_FRAME_EXTENTS");
        request.xclient.format = 32;
        XSendEvent(display, root, False, SubstructureRedirectMask | SubstructureNotifyMask, &request);
        XFlush(display);
        const bool answered
            = waitUntil([&] { return !property(probe, "_NET_FRAME_EXTENTS", XA_CARDINAL).empty(); });
        XDestroyWindow(display, probe);
        return answered;
    }

    // Shows a window at a place of its own and waits until the window manager has put it there.
    [[nodiscard]] static bool showAt(QWidget& window, QPoint place)
    {
        window.move(place);
        window.show();
        return QTest::qWaitForWindowExposed(&window, timeoutMs)
            && waitUntil([&] { return geometry(window.winId()).topLeft() == place; });
    }

    static inline Display* display = nullptr;
};

TEST_F(X11Windows, ServerShapeIsTheMask)
{
    Face window(cardPicture());
    appearance::ShapeFromMask(&window, cardPicture());
    ASSERT_TRUE(showAt(window, {100, 100}));

    const QRegion expected = window.mask();
    ASSERT_FALSE(expected.isEmpty());
    ASSERT_TRUE(waitUntil([&] { return shape(window.winId()).xored(expected).isEmpty(); }));
    EXPECT_FALSE(shape(window.winId()).contains(QPoint(0, 0)));
    EXPECT_FALSE(shape(window.winId()).contains(QPoint(150, 90)));
    EXPECT_TRUE(shape(window.winId()).contains(QPoint(150, 20)));
}

TEST_F(X11Windows, ClickOnACutAwayPartReachesTheWindowBeneath)
{
    Face beneath(plainPicture({400, 300}, Qt::darkGray));
    ASSERT_TRUE(showAt(beneath, {100, 100}));
    Face shaped(cardPicture());
    appearance::ShapeFromMask(&shaped, cardPicture());
    appearance::AlwaysOnTop::set(&shaped, true);
    ASSERT_TRUE(showAt(shaped, {150, 150}));

    const QPoint origin(150, 150);
    for (const QPoint spot : {QPoint(2, 2), QPoint(297, 177), QPoint(150, 90)}) { // two corners and the hole
        SCOPED_TRACE(testing::Message() << spot.x() << "," << spot.y());
        const int before = beneath.releases;
        ASSERT_TRUE(clickAt(origin + spot));
        EXPECT_TRUE(waitUntil([&] { return beneath.releases == before + 1; }));
        ASSERT_TRUE(windowManagerCaughtUp());
    }
    EXPECT_EQ(shaped.presses, 0);

    ASSERT_TRUE(clickAt(origin + QPoint(150, 20)));
    EXPECT_TRUE(waitUntil([&] { return shaped.presses == 1; }));
    EXPECT_EQ(beneath.presses, 3);
}

TEST_F(X11Windows, OpacityPropertyFollowsApplyOpacity)
{
    Face window(plainPicture({200, 120}, Qt::darkGreen));
    appearance::ApplyOpacity(&window, 180);
    ASSERT_TRUE(showAt(window, {120, 120}));
    const long place = stackingIndex(window.winId());

    // 0 hides the window's pixels but leaves it mapped and in its place in the stacking order;
    // 255 afterwards keeps the property, at fully opaque.
    for (const int alpha : {180, 0, 26, 255, 230}) {
        SCOPED_TRACE(alpha);
        appearance::ApplyOpacity(&window, std::int16_t(alpha));
        const unsigned long expected = 0x01010101UL * unsigned(alpha);
        EXPECT_TRUE(waitUntil([&] { return opacity(window.winId()) == expected; }))
            << std::hex << opacity(window.winId()).value_or(0);
        EXPECT_TRUE(viewable(window.winId()));
        EXPECT_EQ(stackingIndex(window.winId()), place);
    }
}

TEST_F(X11Windows, AboveStateFollowsAlwaysOnTopOnTheSameWindow)
{
    Face window(cardPicture());
    appearance::ShapeFromMask(&window, cardPicture());
    appearance::ApplyOpacity(&window, 180);
    ASSERT_TRUE(showAt(window, {200, 150}));
    const Window id = window.winId();
    ASSERT_TRUE(waitUntil([&] { return !shape(id).isEmpty(); }));
    const QRegion serverShape = shape(id);
    const QRect serverGeometry = geometry(id);
    XSelectInput(display, id, StructureNotifyMask);

    // An ordinary window, active and over it before each step, so that the raise and the
    // activation are seen.
    Face other(plainPicture({300, 300}, Qt::darkYellow));
    ASSERT_TRUE(showAt(other, {250, 200}));

    for (const bool onTop : {true, true, false, false, true, false}) {
        SCOPED_TRACE(onTop);
        other.raise();
        other.activateWindow();
        ASSERT_TRUE(waitUntil([&] { return activeWindow() == other.winId(); }));
        if (!above(id)) {
            ASSERT_TRUE(waitUntil([&] { return stackingIndex(other.winId()) > stackingIndex(id); }));
        }

        appearance::AlwaysOnTop::set(&window, onTop);
        EXPECT_EQ(appearance::AlwaysOnTop::get(&window), onTop);
        EXPECT_TRUE(waitUntil([&] { return above(id) == onTop; }));
        EXPECT_TRUE(waitUntil([&] { return stackingIndex(id) > stackingIndex(other.winId()); }));
        EXPECT_TRUE(waitUntil([&] { return activeWindow() == id; }));
        const auto order = stacking();
        EXPECT_EQ(std::count(order.begin(), order.end(), id), 1);
        EXPECT_EQ(window.winId(), id);
        EXPECT_EQ(geometry(id), serverGeometry);
        EXPECT_TRUE(shape(id).xored(serverShape).isEmpty());
        EXPECT_EQ(opacity(id), 0x01010101UL * 180);
        EXPECT_TRUE(viewable(id));
    }

    // The window was never unmapped nor destroyed on the way.
    XSync(display, False);
    XEvent event;
    while (XCheckWindowEvent(display, id, StructureNotifyMask, &event)) {
        EXPECT_NE(event.type, UnmapNotify);
        EXPECT_NE(event.type, DestroyNotify);
    }
    XSelectInput(display, id, NoEventMask);
}

struct DragCase {
    const char* name;
    int button;
    bool moves;
};

void PrintTo(const DragCase& dragCase, std::ostream* out) { *out << dragCase.name; }

class X11Drag : public X11Windows, public ::testing::WithParamInterface<DragCase> {};

TEST_P(X11Drag, FaceDragMovesTheWindowWithTheLeftButtonOnly)
{
    Face window(plainPicture({160, 100}, Qt::darkBlue));
    const QPoint start(300, 300);
    ASSERT_TRUE(showAt(window, start));

    const QPoint grip = start + QPoint(50, 40);
    const QPoint distance(60, 40);
    const QString button = QString::number(GetParam().button);
    ASSERT_TRUE(xdotool({"mousemove", QString::number(grip.x()), QString::number(grip.y())}));
    ASSERT_TRUE(xdotool({"mousedown", button}));
    ASSERT_TRUE(waitUntil([&] { return window.presses == 1; }));
    EXPECT_EQ(window.dragStarted, GetParam().moves);

    // The move follows pointer motion once the window manager has taken the pointer; step onto
    // the target until the window arrives there.
    const QPoint target = grip + distance;
    const auto moveTo = [](QPoint point) {
        return xdotool({"mousemove", QString::number(point.x()), QString::number(point.y())});
    };
    if (GetParam().moves) {
        EXPECT_TRUE(waitUntil([&] {
                moveTo(target - QPoint(1, 0));
                moveTo(target);
                return geometry(window.winId()).topLeft() == start + distance;
            }))
            << "the window is at " << geometry(window.winId()).x() << "," << geometry(window.winId()).y();
    } else {
        moveTo(target);
    }
    ASSERT_TRUE(xdotool({"mouseup", button}));
    EXPECT_TRUE(waitUntil([&] { return window.releases == 1; }));
    EXPECT_EQ(geometry(window.winId()).topLeft(), GetParam().moves ? start + distance : start);
    EXPECT_TRUE(waitUntil([&] { return window.geometry().topLeft() == geometry(window.winId()).topLeft(); }));
}

// The window manager gets the move request after the button is already up: no move may be left
// running, or the window would follow the pointer and swallow the next click.
TEST_F(X11Windows, QuickClickOnTheFaceLeavesNoMoveBehind)
{
    Face window(plainPicture({160, 100}, Qt::darkBlue));
    ASSERT_TRUE(showAt(window, {300, 300}));
    Face probe(plainPicture({100, 100}, Qt::darkMagenta));
    ASSERT_TRUE(showAt(probe, {600, 300}));

    ASSERT_TRUE(clickAt({350, 340}));
    ASSERT_TRUE(waitUntil([&] { return window.releases == 1; }));
    EXPECT_EQ(window.dragStarted, true);
    ASSERT_TRUE(windowManagerCaughtUp());
    ASSERT_TRUE(clickAt({650, 350}));
    EXPECT_TRUE(waitUntil([&] { return probe.presses == 1; }));
    EXPECT_EQ(geometry(window.winId()).topLeft(), QPoint(300, 300));
}

INSTANTIATE_TEST_SUITE_P(Buttons, X11Drag,
                         ::testing::Values(DragCase{"LeftButton", 1, true}, DragCase{"RightButton", 3, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
