// MovieView driven by real mouse and key events: clicks, cursors, menu buttons, typing into
// input fields, the frame timer and repainting only what changed.
#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>

#include "swf/core/movie_clip.h"
#include "swf/core/text_field.h"
#include "swf/view/movie_view.h"
#include "swf/writer/movie_builder.h"

using namespace swf;

namespace {

// A 200 x 200 stage with a button on its middle square (50..150).
std::vector<std::uint8_t> button_movie()
{
    MovieOptions o;
    o.width = 200;
    o.height = 200;
    MovieBuilder m(o);
    ShapeBuilder s;
    s.fill({0, 0, 255}).rect(0, 0, 100, 100);
    ButtonBuilder b;
    b.state(ButtonRecord::Up | ButtonRecord::Over | ButtonRecord::Down | ButtonRecord::HitTest, m.shape(s));
    b.on(OverDownToOverUp, ActionAssembler().fscommand("clicked", "yes"));
    m.place(m.button(b), 1, at_pixels(50, 50)).actions(ActionAssembler().stop()).show_frame();
    return m.bytes();
}

struct ShownView {
    MovieView view;
    ShownView()
    {
        view.resize(400, 300); // stage scaled by 1.5, centred: x 50..350
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
    }
};

} // namespace

TEST(MovieView, ClickOnAButtonRaisesItsFscommand)
{
    ShownView shown;
    ASSERT_TRUE(shown.view.load(button_movie()));
    QSignalSpy spy(&shown.view, &MovieView::fsCommand);
    QTest::mouseClick(&shown.view, Qt::LeftButton, {}, QPoint(60, 150)); // beside the button
    EXPECT_EQ(spy.count(), 0);
    QTest::mouseMove(&shown.view, QPoint(200, 150));
    QTest::mouseClick(&shown.view, Qt::LeftButton, {}, QPoint(200, 150));
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toString(), "clicked");
    EXPECT_EQ(spy.at(0).at(1).toString(), "yes");
}

TEST(MovieView, HandCursorOnlyOverActiveButtons)
{
    ShownView shown;
    ASSERT_TRUE(shown.view.load(button_movie()));
    QTest::mouseMove(&shown.view, QPoint(30, 30)); // Qt drops a move to where the pointer already is
    EXPECT_EQ(shown.view.cursor().shape(), Qt::ArrowCursor);
    QTest::mouseMove(&shown.view, QPoint(200, 150));
    EXPECT_EQ(shown.view.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&shown.view, QPoint(20, 20));
    EXPECT_EQ(shown.view.cursor().shape(), Qt::ArrowCursor);
}

TEST(MovieView, TimerPlaysTheMovieAtItsFrameRate)
{
    MovieOptions o;
    o.frame_rate = 50;
    MovieBuilder m(o);
    m.show_frame();
    m.actions(ActionAssembler().fscommand("second", "").stop()).show_frame();
    ShownView shown;
    QSignalSpy spy(&shown.view, &MovieView::fsCommand);
    ASSERT_TRUE(shown.view.load(m.bytes()));
    EXPECT_TRUE(spy.wait(2000));
    EXPECT_EQ(spy.at(0).at(0).toString(), "second");
    EXPECT_EQ(shown.view.currentFrame(), 1);
}

TEST(MovieView, DamagedDataLeavesNoMovieAndSaysWhy)
{
    MovieView view;
    ASSERT_TRUE(view.load(button_movie()));
    QString error;
    EXPECT_FALSE(view.load({'F', 'W', 'S', 6, 1, 0, 0, 0}, &error));
    EXPECT_FALSE(view.hasMovie());
    EXPECT_FALSE(error.isEmpty());
    view.tick(); // nothing to play, nothing happens
}

namespace {

// fscommand(command, <the variable's value>)
ActionAssembler send_variable(const char* command, const char* variable)
{
    return ActionAssembler().push({std::string("FSCommand:") + command, variable}).get_variable().get_url2(0, false, false);
}

// A 200 x 200 stage: two input fields bound to `first` and `second` (y 10..40 and 50..120, the
// second multiline), and a button at y 150..190 that sends both variables.
std::vector<std::uint8_t> form_movie()
{
    MovieOptions o;
    o.width = 200;
    o.height = 200;
    MovieBuilder m(o);
    std::uint16_t font = m.font(FontBuilder("_sans"));
    auto field = [&](Rect px, const char* variable, bool multiline) {
        DefineEditText d;
        d.bounds = {px.x_min * 20, px.x_max * 20, px.y_min * 20, px.y_max * 20};
        d.font_id = font;
        d.font_height = 14 * 20;
        d.color = Rgba{0, 0, 0, 255};
        d.border = true;
        d.multiline = multiline;
        d.variable_name = variable;
        return m.edit_text(d);
    };
    m.place(field({10, 190, 10, 40}, "first", false), 1);
    m.place(field({10, 190, 50, 120}, "second", true), 2);
    ShapeBuilder s;
    s.fill({0, 0, 255}).rect(0, 0, 180, 40);
    ActionAssembler both = send_variable("first", "first");
    both.push({"FSCommand:second", "second"}).get_variable().get_url2(0, false, false);
    ButtonBuilder send;
    send.state(ButtonRecord::Up | ButtonRecord::Over | ButtonRecord::Down | ButtonRecord::HitTest, m.shape(s));
    send.on(OverDownToOverUp, both);
    m.place(m.button(send), 3, at_pixels(10, 150)).actions(ActionAssembler().stop()).show_frame();
    return m.bytes();
}

struct FormView {
    MovieView view;
    QSignalSpy commands{&view, &MovieView::fsCommand};
    FormView()
    {
        view.resize(200, 200); // stage pixels are widget pixels
        view.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&view));
        EXPECT_TRUE(view.load(form_movie()));
        view.tick();
    }
    // Clicks the send button and answers what the movie sent: command → argument.
    std::map<QString, QString> send()
    {
        commands.clear();
        QTest::mouseMove(&view, QPoint(100, 170));
        QTest::mouseClick(&view, Qt::LeftButton, {}, QPoint(100, 170));
        std::map<QString, QString> out;
        for (const auto& c : commands)
            out[c.at(0).toString()] = c.at(1).toString();
        return out;
    }
};

} // namespace

TEST(MovieView, TypingEditsTheClickedInputFieldAndItsVariable)
{
    FormView form;
    QTest::mouseClick(&form.view, Qt::LeftButton, {}, QPoint(100, 25));
    QTest::keyClicks(&form.view, "Hla");
    QTest::keyClick(&form.view, Qt::Key_Left);
    QTest::keyClick(&form.view, Qt::Key_Left);
    QTest::keyClicks(&form.view, "o");          // Hola
    QTest::keyClick(&form.view, Qt::Key_End);
    QTest::keyClick(&form.view, Qt::Key_Backspace); // Hol
    QTest::keyClicks(&form.view, "a!");         // Hola!
    QTest::keyClick(&form.view, Qt::Key_Home);
    QTest::keyClick(&form.view, Qt::Key_Delete); // ola!
    QTest::keyClick(&form.view, Qt::Key_Return); // a single line takes no line break
    EXPECT_EQ(form.send()["first"], "ola!");
}

// Text an input method composes (Chinese typed as pinyin) arrives whole.
TEST(MovieView, ComposedTextGoesIntoTheField)
{
    FormView form;
    QTest::mouseClick(&form.view, Qt::LeftButton, {}, QPoint(100, 25));
    QTest::keyClicks(&form.view, "a");
    QInputMethodEvent composed;
    composed.setCommitString(QString::fromUtf8("你好"));
    QCoreApplication::sendEvent(&form.view, &composed);
    EXPECT_EQ(form.send()["first"], QString::fromUtf8("a你好"));
}

TEST(MovieView, EnterBreaksLinesInAMultilineField)
{
    FormView form;
    QTest::mouseClick(&form.view, Qt::LeftButton, {}, QPoint(100, 80));
    QTest::keyClicks(&form.view, "uno");
    QTest::keyClick(&form.view, Qt::Key_Return);
    QTest::keyClicks(&form.view, "dos");
    QTest::keyClick(&form.view, Qt::Key_Up);
    QTest::keyClicks(&form.view, "X"); // at the same column one line up
    EXPECT_EQ(form.send()["second"], "unoX\rdos");
}

TEST(MovieView, TabMovesTheFocusThroughTheInputFields)
{
    FormView form;
    QTest::keyClick(&form.view, Qt::Key_Tab);
    QTest::keyClicks(&form.view, "a");
    QTest::keyClick(&form.view, Qt::Key_Tab);
    QTest::keyClicks(&form.view, "b");
    QTest::keyClick(&form.view, Qt::Key_Tab); // round to the first again
    QTest::keyClicks(&form.view, "c");
    auto sent = form.send();
    EXPECT_EQ(sent["first"], "ac");
    EXPECT_EQ(sent["second"], "b");
}

// A click elsewhere takes the focus away: typing then changes no field.
TEST(MovieView, ClickOutsideTheFieldsDropsTheFocus)
{
    FormView form;
    QTest::mouseClick(&form.view, Qt::LeftButton, {}, QPoint(100, 25));
    QTest::keyClicks(&form.view, "a");
    QTest::mouseClick(&form.view, Qt::LeftButton, {}, QPoint(100, 135));
    QTest::keyClicks(&form.view, "b");
    EXPECT_EQ(form.send()["first"], "a");
}

TEST(MovieView, TypedTextIsDrawnWithItsCaret)
{
    FormView form;
    QImage before = form.view.grab().toImage();
    QTest::mouseClick(&form.view, Qt::LeftButton, {}, QPoint(100, 25));
    QTest::keyClicks(&form.view, "WWW");
    QImage after = form.view.grab().toImage();
    int changed = 0;
    for (int y = 12; y < 38; ++y)
        for (int x = 12; x < 100; ++x)
            changed += before.pixel(x, y) != after.pixel(x, y);
    EXPECT_GT(changed, 50);
}

TEST(MovieView, TextCursorOverInputFields)
{
    FormView form;
    QTest::mouseMove(&form.view, QPoint(100, 25));
    EXPECT_EQ(form.view.cursor().shape(), Qt::IBeamCursor);
    QTest::mouseMove(&form.view, QPoint(100, 170));
    EXPECT_EQ(form.view.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&form.view, QPoint(100, 135));
    EXPECT_EQ(form.view.cursor().shape(), Qt::ArrowCursor);
}

// A clip with a press handler acts as a button: the hand shows over it.
TEST(MovieView, HandCursorOverClipsWithMouseHandlers)
{
    MovieOptions o;
    o.width = 200;
    o.height = 200;
    MovieBuilder m(o);
    ShapeBuilder s;
    s.fill({0, 0, 255}).rect(0, 0, 100, 100);
    SpriteBuilder clip;
    clip.place(m.shape(s), 1).show_frame();
    PlaceOptions p;
    p.character = m.sprite(clip);
    p.name = "clip";
    p.matrix = at_pixels(50, 50);
    m.place(p);
    m.actions(ActionAssembler()
                  .push("clip")
                  .get_variable()
                  .push("onPress")
                  .define_function("", {}, ActionAssembler())
                  .op(ActionCode::SetMember)
                  .stop())
        .show_frame();
    ShownView shown;
    ASSERT_TRUE(shown.view.load(m.bytes()));
    shown.view.tick();
    QTest::mouseMove(&shown.view, QPoint(200, 150));
    EXPECT_EQ(shown.view.cursor().shape(), Qt::PointingHandCursor);
    QTest::mouseMove(&shown.view, QPoint(30, 30));
    EXPECT_EQ(shown.view.cursor().shape(), Qt::ArrowCursor);
}

// Menu buttons: pressed on one, released on another, the second one's release runs.
TEST(MovieView, TrackAsMenuButtonsPassThePressAlong)
{
    MovieOptions o;
    o.width = 200;
    o.height = 200;
    MovieBuilder m(o);
    ShapeBuilder s;
    s.fill({0, 0, 255}).rect(0, 0, 80, 80);
    std::uint16_t shape = m.shape(s);
    auto button = [&](const char* name, bool menu) {
        ButtonBuilder b;
        b.state(ButtonRecord::Up | ButtonRecord::Over | ButtonRecord::Down | ButtonRecord::HitTest, shape);
        b.on(OverDownToOverUp, ActionAssembler().fscommand("release", name));
        b.on(IdleToOverDown, ActionAssembler().fscommand("dragged_over", name));
        b.track_as_menu(menu);
        return m.button(b);
    };
    m.place(button("first", true), 1, at_pixels(10, 10));
    m.place(button("second", true), 2, at_pixels(110, 10));
    m.place(button("push", false), 3, at_pixels(10, 110)).actions(ActionAssembler().stop()).show_frame();
    MovieView view;
    view.resize(200, 200);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    ASSERT_TRUE(view.load(m.bytes()));
    QSignalSpy spy(&view, &MovieView::fsCommand);
    QTest::mouseMove(&view, QPoint(50, 50));
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(&view, QPoint(150, 50));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(150, 50));
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toString(), "dragged_over");
    EXPECT_EQ(spy.at(1).at(0).toString(), "release");
    EXPECT_EQ(spy.at(1).at(1).toString(), "second");
    // A push button keeps the press: dragged off and released elsewhere, nothing runs.
    spy.clear();
    QTest::mouseMove(&view, QPoint(50, 150));
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(50, 150));
    QTest::mouseMove(&view, QPoint(150, 50));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(150, 50));
    EXPECT_EQ(spy.count(), 0);
}

namespace {

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};

} // namespace

// Ticks that change nothing on the stage paint nothing; a moving shape is painted each tick.
TEST(MovieView, StillFramesAreNotPaintedAgain)
{
    auto paints_over_ticks = [](bool moving) {
        MovieBuilder m;
        ShapeBuilder s;
        s.fill({255, 0, 0}).rect(0, 0, 20, 20);
        m.place(m.shape(s), 1).show_frame();
        for (int i = 1; i < 6; ++i) {
            if (moving)
                m.move(1, at_pixels(i * 10, 0));
            m.show_frame();
        }
        ShownView shown;
        EXPECT_TRUE(shown.view.load(m.bytes()));
        shown.view.tick();
        QCoreApplication::processEvents();
        PaintCounter counter;
        shown.view.installEventFilter(&counter);
        for (int i = 0; i < 4; ++i) {
            shown.view.tick();
            QCoreApplication::processEvents();
        }
        return counter.paints;
    };
    EXPECT_EQ(paints_over_ticks(false), 0);
    EXPECT_EQ(paints_over_ticks(true), 4);
}
