#include "tests/app/main_window_fixture.h"

#include <QMenu>
#include <QTimer>

namespace {

using test::MainWindowTest;

// Records the input that reaches the player's drawing widget behind the hook.
class InputSpy : public QObject {
public:
    std::vector<QEvent::Type> seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ContextMenu:
            seen.push_back(event->type());
            break;
        default:
            break;
        }
        return false;
    }
};

class PlayerHookTest : public MainWindowTest {
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        open();
        form->C_EnterIndex();
        // The hook is installed anew after the spy, so it sees every input first.
        view()->installEventFilter(&spy);
        form->yinyueSUB();
        ASSERT_EQ(app::playerHook().HookedWindow, view());
    }

    // Presses the right button in the player and reports whether the main menu opened.
    bool rightPressOpensMenu()
    {
        bool shown = false;
        QTimer::singleShot(50, form.get(), [&] {
            shown = form->menus.jianZZZ->isVisible();
            form->menus.jianZZZ->close();
        });
        QTest::mousePress(view(), Qt::RightButton, {}, QPoint(100, 100));
        QTest::qWait(100); // the timer fires even when no menu ran its loop
        return shown;
    }

    void key(QEvent::Type type, int key, Qt::KeyboardModifiers modifiers = {})
    {
        QKeyEvent event(type, key, modifiers);
        QCoreApplication::sendEvent(view(), &event);
    }

    InputSpy spy;
};

TEST(PlayerWindowNames, AreTheControlsClassNames)
{
    const std::pair<const char*, bool> names[] = {
        {"MacromediaFlashPlayerActiveX", true}, {"ATL:MovieView", true},       {"ATL:", true},
        {"atl:MovieView", false},              {"MacromediaFlashPlayerActiveX2", false},
        {"Flash1", false},                      {"", false},
    };
    for (const auto& [name, matches] : names) {
        QWidget widget;
        widget.setObjectName(QLatin1String(name));
        EXPECT_EQ(app::EnumPlayerWindow(widget), matches) << name;
    }
}

TEST_F(PlayerHookTest, RightPressOpensTheMainMenuAndNeverReachesThePlayer)
{
    EXPECT_TRUE(rightPressOpensMenu());
    QTest::mouseRelease(view(), Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_TRUE(spy.seen.empty());
}

TEST_F(PlayerHookTest, WithoutTheMenuEnabledRightPressIsStillSwallowed)
{
    app::playerHook().PlayerMenuEnabled = false;
    EXPECT_FALSE(rightPressOpensMenu());
    EXPECT_TRUE(spy.seen.empty());
}

TEST_F(PlayerHookTest, DoubleClicksAndKeyPressesNeverReachThePlayer)
{
    // A double click as the window system delivers it: the second press comes as a double click.
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(5, 5));
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(5, 5), view()->mapToGlobal(QPointF(5, 5)), Qt::LeftButton,
                       Qt::LeftButton, {});
    QCoreApplication::sendEvent(view(), &second);
    QTest::mouseRelease(view(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(spy.seen, (std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                                                   QEvent::MouseButtonRelease}));
    spy.seen.clear();

    key(QEvent::KeyPress, Qt::Key_A);
    key(QEvent::KeyRelease, Qt::Key_A);
    EXPECT_EQ(spy.seen, std::vector<QEvent::Type>{QEvent::KeyRelease});
}

struct KeyStep {
    QEvent::Type type;
    int key;
};

struct CtrlEnterCase {
    const char* name;
    std::vector<KeyStep> steps;
    int toggles;
    bool ctrlDownAfter;
};

void PrintTo(const CtrlEnterCase& c, std::ostream* out)
{
    *out << c.name;
}

class CtrlEnterTest : public PlayerHookTest, public ::testing::WithParamInterface<CtrlEnterCase> {};

TEST_P(CtrlEnterTest, TogglesTheScreenModeOnTheEnterRelease)
{
    const CtrlEnterCase& c = GetParam();
    for (const KeyStep& step : c.steps)
        key(step.type, step.key);
    EXPECT_EQ(form->ConfigValues[app::ScreenMode], c.toggles % 2);
    EXPECT_EQ(app::playerHook().CtrlKeyDown, c.ctrlDownAfter);
}

constexpr auto Down = QEvent::KeyPress;
constexpr auto Up = QEvent::KeyRelease;

INSTANTIATE_TEST_SUITE_P(
    Sequences, CtrlEnterTest,
    ::testing::Values(
        CtrlEnterCase{"ctrl_enter", {{Down, Qt::Key_Control}, {Down, Qt::Key_Return}, {Up, Qt::Key_Return}, {Up, Qt::Key_Control}}, 1, false},
        CtrlEnterCase{"keypad_enter", {{Down, Qt::Key_Control}, {Down, Qt::Key_Enter}, {Up, Qt::Key_Enter}}, 1, true},
        CtrlEnterCase{"twice_while_held", {{Down, Qt::Key_Control}, {Up, Qt::Key_Return}, {Up, Qt::Key_Return}}, 2, true},
        CtrlEnterCase{"enter_alone", {{Down, Qt::Key_Return}, {Up, Qt::Key_Return}}, 0, false},
        CtrlEnterCase{"ctrl_released_first", {{Down, Qt::Key_Control}, {Up, Qt::Key_Control}, {Up, Qt::Key_Return}}, 0, false},
        // Ctrl let go outside the player: the player never hears of it.
        CtrlEnterCase{"ctrl_released_elsewhere", {{Down, Qt::Key_Control}, {Down, Qt::Key_Return}, {Up, Qt::Key_Return}, {Down, Qt::Key_Return}, {Up, Qt::Key_Return}}, 2, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PlayerHookTest, EnterReleaseWithoutCtrlReachesThePlayer)
{
    key(Up, Qt::Key_Return);
    EXPECT_EQ(spy.seen, std::vector<QEvent::Type>{QEvent::KeyRelease});
    EXPECT_EQ(form->ConfigValues[app::ScreenMode], 0);
}

TEST_F(PlayerHookTest, OtherInputReachesThePlayer)
{
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(spy.seen, (std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseButtonRelease}));
}

TEST_F(PlayerHookTest, AMenuActionMayRehookFromInsideTheHook)
{
    // Choosing a module inside the menu loads it and hooks the player again while the hook's
    // own handler still waits for the menu to close.
    QTimer::singleShot(50, form.get(), [&] {
        form->menus.Pronuciaciones1->trigger();
        form->menus.jianZZZ->close();
    });
    QTest::mousePress(view(), Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_EQ(app::CurrentSection, 2);
    EXPECT_EQ(app::playerHook().HookedWindow, view());
    EXPECT_TRUE(rightPressOpensMenu()); // and it still works
}

TEST_F(PlayerHookTest, TheFirstMatchingWidgetIsHookedEvenWhenItIsNotThePlayer)
{
    auto* other = new QWidget(form->Flash1);
    other->setObjectName(QStringLiteral("ATL:Other"));
    // Put the player's own widget after it in the child order.
    view()->setParent(nullptr);
    view()->setParent(form->Flash1);
    view()->show();
    form->yinyueSUB();
    EXPECT_EQ(app::playerHook().HookedWindow, other);
    QTest::mousePress(view(), Qt::RightButton, {}, QPoint(100, 100)); // no longer filtered
    EXPECT_EQ(spy.seen, std::vector<QEvent::Type>{QEvent::MouseButtonPress});
}

TEST_F(PlayerHookTest, ClosingTheWindowUnhooks)
{
    form->ZZEnd();
    EXPECT_EQ(app::playerHook().HookedWindow, nullptr);
    QTest::mousePress(view(), Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_EQ(spy.seen, std::vector<QEvent::Type>{QEvent::MouseButtonPress});
}

} // namespace
