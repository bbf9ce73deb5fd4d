// MovieView driven by real mouse events: clicks, the hand cursor, the frame timer.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

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
