#include "tests/app/main_window_fixture.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

using test::MainWindowTest;

QRect screenRect()
{
    return QGuiApplication::primaryScreen()->geometry();
}

QRect centred(QSize size, QRect within)
{
    return QRect(within.topLeft() + QPoint((within.width() - size.width()) / 2, (within.height() - size.height()) / 2),
                 size);
}

TEST_F(MainWindowTest, FirstStartShowsTheStartMovieCentredInABlackWindow)
{
    app::Form3& form = open();
    EXPECT_EQ(form.geometry(), centred({800, 600}, screenRect()));
    EXPECT_EQ(form.Flash1->geometry(), QRect(224, 156, 352, 288));
    EXPECT_TRUE(form.Flash1->isVisible());
    EXPECT_EQ(movie(), "swf/Inicio.swf");
    EXPECT_TRUE(view()->hasMovie());
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(app::CurrentSection, 0);
    EXPECT_TRUE(form.Timer1->isActive());
    EXPECT_EQ(form.Timer1->interval(), 15000);
    // No settings file: volume 50, sound on, window mode.
    EXPECT_EQ(form.ConfigValues, (app::ConfigValueArray{50, 255, -1, 0}));
    EXPECT_EQ(form.WindowsMediaPlayer1->settings.volume(), 50);
    EXPECT_TRUE(form.menus.SonidoP->isChecked());
    EXPECT_EQ(music(), "Midi/IndexEnrar.mid");
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), platform::MediaPlayer::State::Playing);
    EXPECT_FALSE(folder.exists("confg.Ini")); // nothing changed yet, nothing written
}

TEST_F(MainWindowTest, ScreenModeToggleKeepsTheStartMovieCentred)
{
    app::Form3& form = open();
    form.C_Screen();
    EXPECT_EQ(form.geometry(), screenRect());
    EXPECT_EQ(form.Flash1->geometry(), centred({352, 288}, QRect(QPoint(0, 0), screenRect().size())));
    EXPECT_EQ(folder.read("confg.Ini"), "50\r\n255\r\n-1\r\n1\r\n");

    form.C_Screen();
    EXPECT_EQ(form.geometry(), centred({800, 600}, screenRect()));
    EXPECT_EQ(form.Flash1->geometry(), QRect(224, 156, 352, 288));
    EXPECT_EQ(folder.read("confg.Ini"), "50\r\n255\r\n-1\r\n0\r\n");
}

TEST_F(MainWindowTest, ARestartComesBackInTheSavedScreenMode)
{
    open().C_Screen();
    form.reset();
    app::Form3& again = open();
    EXPECT_EQ(again.ConfigValues[app::ScreenMode], 1);
    EXPECT_EQ(again.geometry(), screenRect());
}

TEST_F(MainWindowTest, TheCourseFillsTheWindowInBothModes)
{
    app::Form3& form = open();
    form.C_EnterIndex();
    EXPECT_EQ(form.Flash1->geometry(), QRect(0, 0, 800, 600));
    form.C_Screen();
    EXPECT_EQ(form.Flash1->geometry(), QRect(QPoint(0, 0), screenRect().size()));
}

TEST_F(MainWindowTest, StartScreenTimesOutIntoTheMainIndex)
{
    app::Form3& form = open();
    form.Timer1->setInterval(20); // the 15 s, shortened
    QTRY_COMPARE(app::CurrentSection, 1);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(form.Flash1->geometry(), QRect(0, 0, 800, 600));
    EXPECT_EQ(music(), "Midi/Main.mid");
    EXPECT_TRUE(view()->hasMovie());
    EXPECT_EQ(ended->count(), 0);
}

TEST_F(MainWindowTest, AClickOutsideThePlayerEntersAndStopsTheTimeOut)
{
    app::Form3& form = open();
    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_EQ(app::CurrentSection, 1);
    EXPECT_FALSE(form.Timer1->isActive());
    EXPECT_EQ(music(), "Midi/Main.mid");
}

TEST_F(MainWindowTest, TheStartMoviesEntrarButtonEnters)
{
    app::Form3& form = open();
    playFrames(12);
    // "Entrar" sits at the bottom centre of the start movie's 352 x 288 stage.
    QTest::mouseMove(view(), QPoint(176, 240));
    QTest::mouseClick(view(), Qt::LeftButton, {}, QPoint(176, 240));
    playFrames(1);
    QTRY_COMPARE(app::CurrentSection, 1);
    EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(MainWindowTest, AskingToQuitTwicePlaysTheClosingMovieThenEnds)
{
    app::Form3& form = open();
    form.C_EnterIndex();
    form.ZZTimerCerrado();
    EXPECT_EQ(app::CurrentSection, 7);
    EXPECT_EQ(movie(), "swf/Quit.swf");
    EXPECT_EQ(music(), "Midi/Fin.mid");
    EXPECT_EQ(ended->count(), 0);

    form.ZZTimerCerrado();
    EXPECT_EQ(ended->count(), 1);
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), platform::MediaPlayer::State::Stopped);
}

TEST_F(MainWindowTest, TheClosingMovieEndsTheProgramWhenItFinishes)
{
    app::Form3& form = open();
    form.ZZTimerCerrado();
    EXPECT_EQ(ended->count(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(ended->count(), 1, 15000);
    EXPECT_EQ(form.Timer1->interval(), 200);
}

TEST_F(MainWindowTest, MinimisingPausesTheMusicAndRestoringStartsItAgain)
{
    app::Form3& form = open();
    form.C_EnterIndex();
    form.WindowsMediaPlayer1->render(1.0);
    form.setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), platform::MediaPlayer::State::Paused);
    EXPECT_EQ(form.windowTitle(), "Lumavo");
    EXPECT_FALSE(form.menus.SonidoP->isChecked());

    form.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), platform::MediaPlayer::State::Playing);
    EXPECT_EQ(music(), "Midi/Main.mid");
    EXPECT_LT(form.WindowsMediaPlayer1->position(), 0.1); // from its beginning
    EXPECT_EQ(form.windowTitle(), "");
    EXPECT_TRUE(form.menus.SonidoP->isChecked());
}

TEST_F(MainWindowTest, SwitchingTheScreenModeDoesNotRestartTheMusic)
{
    app::Form3& form = open();
    form.C_EnterIndex();
    form.WindowsMediaPlayer1->render(1.0);
    form.C_Screen();
    QTest::qWait(50); // any resize the window system sends back
    form.C_Screen();
    QTest::qWait(50);
    EXPECT_GE(form.WindowsMediaPlayer1->position(), 1.0);
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), platform::MediaPlayer::State::Playing);
}

TEST_F(MainWindowTest, AMissingStartMovieStillTimesOut)
{
    QFile::remove(folder.filePath("swf/Inicio.swf"));
    app::Form3& form = open();
    EXPECT_FALSE(view()->hasMovie());
    form.Timer1->setInterval(20);
    QTRY_COMPARE(app::CurrentSection, 1);
    EXPECT_TRUE(view()->hasMovie());
}

TEST_F(MainWindowTest, AMissingClosingMovieWaitsForASecondRequest)
{
    QFile::remove(folder.filePath("swf/Quit.swf"));
    app::Form3& form = open();
    form.ZZTimerCerrado();
    QTest::qWait(300);
    EXPECT_EQ(ended->count(), 0);
    EXPECT_EQ(app::CurrentSection, 7);
    form.ZZTimerCerrado();
    EXPECT_EQ(ended->count(), 1);
}

} // namespace
