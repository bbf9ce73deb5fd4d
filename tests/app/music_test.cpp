#include "tests/app/main_window_fixture.h"

namespace {

using test::MainWindowTest;
using State = platform::MediaPlayer::State;

TEST_F(MainWindowTest, EveryModuleSwitchRestartsTheSectionsPiece)
{
    app::Form3& form = open();
    form.C_EnterIndex();
    const std::pair<const char*, const char*> switches[] = {
        {"FormPinYin", "Midi/Pinyin.mid"},
        {"FormPinYin", "Midi/Pinyin.mid"}, // the same piece starts again too
        {"FormGramaticas", "Midi/Vocaburarios.mid"},
        {"Principal", "Midi/Main.mid"},
    };
    for (const auto& [command, piece] : switches) {
        form.WindowsMediaPlayer1->render(0.5);
        emit form.Flash1->FSCommand(QLatin1String(command), QString());
        EXPECT_EQ(music(), QLatin1String(piece)) << command;
        EXPECT_LT(form.WindowsMediaPlayer1->position(), 0.1) << command;
        EXPECT_EQ(form.WindowsMediaPlayer1->state(), State::Playing) << command;
    }
    // The music really sounds.
    const std::vector<std::int16_t> samples = form.WindowsMediaPlayer1->render(2.0);
    EXPECT_TRUE(std::any_of(samples.begin(), samples.end(), [](std::int16_t s) { return std::abs(s) > 300; }));
}

TEST_F(MainWindowTest, TheSoundSwitchStopsAndStartsTheMusicAndIsSaved)
{
    app::Form3& form = open();
    form.menus.SonidoP->trigger();
    EXPECT_FALSE(form.menus.SonidoP->isChecked());
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), State::Stopped);
    EXPECT_EQ(folder.read("confg.Ini"), "50\r\n255\r\n0\r\n0\r\n");
    const std::vector<std::int16_t> silence = form.WindowsMediaPlayer1->render(0.5);
    EXPECT_TRUE(std::all_of(silence.begin(), silence.end(), [](std::int16_t s) { return s == 0; }));

    form.menus.SonidoP->trigger();
    EXPECT_TRUE(form.menus.SonidoP->isChecked());
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), State::Playing);
    EXPECT_EQ(music(), "Midi/IndexEnrar.mid");
    EXPECT_EQ(folder.read("confg.Ini"), "50\r\n255\r\n-1\r\n0\r\n");
}

TEST_F(MainWindowTest, AVolumeChosenWhileTheSoundIsOffSwitchesItOnButSavesItLater)
{
    app::Form3& form = open();
    form.menus.SonidoP->trigger(); // sound off
    form.menus.Volumen100[2]->trigger(); // "30%"
    EXPECT_EQ(form.WindowsMediaPlayer1->settings.volume(), 30);
    EXPECT_EQ(folder.read("confg.Ini"), "30\r\n255\r\n0\r\n0\r\n");
    EXPECT_TRUE(form.menus.SonidoP->isChecked());
    EXPECT_EQ(form.ConfigValues[app::SoundSwitch], -1);
    EXPECT_EQ(form.WindowsMediaPlayer1->state(), State::Playing);

    // After a restart without further changes the sound is off again, at the chosen volume.
    this->form.reset();
    app::Form3& again = open();
    EXPECT_FALSE(again.menus.SonidoP->isChecked());
    EXPECT_EQ(again.WindowsMediaPlayer1->settings.volume(), 30);
    EXPECT_NE(again.WindowsMediaPlayer1->state(), State::Playing);

    // The next write carries the switch.
    again.menus.Volumen100[9]->trigger();
    EXPECT_EQ(folder.read("confg.Ini"), "100\r\n255\r\n0\r\n0\r\n");
    again.menus.Pantalla->trigger();
    EXPECT_EQ(folder.read("confg.Ini"), "100\r\n255\r\n-1\r\n1\r\n");
}

TEST_F(MainWindowTest, AVolumeChosenWithTheSoundOnKeepsThePieceGoing)
{
    app::Form3& form = open();
    form.WindowsMediaPlayer1->render(1.0);
    form.menus.Volumen100[7]->trigger();
    EXPECT_EQ(form.WindowsMediaPlayer1->settings.volume(), 80);
    EXPECT_GE(form.WindowsMediaPlayer1->position(), 1.0);
    EXPECT_EQ(folder.read("confg.Ini"), "80\r\n255\r\n-1\r\n0\r\n");
}

TEST_F(MainWindowTest, SavedSettingsAreAppliedAtStart)
{
    folder.write("confg.Ini", "20\r\n51\r\n0\r\n0\r\n");
    app::Form3& form = open();
    EXPECT_EQ(form.WindowsMediaPlayer1->settings.volume(), 20);
    EXPECT_FALSE(form.menus.SonidoP->isChecked());
    EXPECT_NE(form.WindowsMediaPlayer1->state(), State::Playing);
    // The saved opacity waits for the next choice; the window starts opaque.
    EXPECT_EQ(app::OpacityLevel, 51);
    EXPECT_DOUBLE_EQ(form.windowOpacity(), 1.0);
}

TEST_F(MainWindowTest, SettingsThatCannotBeSavedAreKeptAndReportedOnce)
{
    QDir(folder.path()).mkdir(QStringLiteral("confg.Ini")); // nothing can replace a folder
    app::Form3& form = open();
    form.menus.Volumen100[0]->trigger();
    form.menus.Volumen100[1]->trigger();
    EXPECT_EQ(form.WindowsMediaPlayer1->settings.volume(), 20);
    EXPECT_EQ(form.ConfigValues[app::Volume], 20);
    const auto boxes = form.findChildren<QMessageBox*>(QStringLiteral("SaveConfigFailed"));
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes.front()->text().contains(QLatin1String("confg.Ini")));
    boxes.front()->close();
}

} // namespace
