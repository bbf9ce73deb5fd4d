#pragma once

#include "app/course_state.h"
#include "app/form3.h"
#include "app/player_hook.h"
#include "platform/media_player.h"
#include "platform/movie_player.h"
#include "swf/view/movie_view.h"
#include "tests/support/test_folder.h"

#include <QAction>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace test {

// A main window over a fresh program folder that holds the course's movies and music, with
// its music rendered offline instead of sent to a sound card.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.copyFromProgram("swf");
        folder.copyFromProgram("Midi");
        folder.copyFromProgram("Datos");
        app::CurrentSection = 0;
        app::OpacityLevel = 255;
        app::playerHook() = {};
    }

    app::Form3& open()
    {
        form = std::make_unique<app::Form3>(false);
        ended = std::make_unique<QSignalSpy>(form.get(), &app::Form3::programEnded);
        form->show();
        return *form;
    }

    // The music file the media player was last given, relative to the program folder.
    QString music() const { return QDir(folder.path()).relativeFilePath(form->WindowsMediaPlayer1->URL()); }
    swf::MovieView* view() const { return form->Flash1->view(); }
    QString movie() const { return QDir(folder.path()).relativeFilePath(form->Flash1->movie()); }
    // Plays the movie on for a while, as the window's own timer would.
    void playFrames(int frames) const
    {
        for (int i = 0; i < frames; ++i)
            view()->tick();
    }

    ProgramFolder folder;
    std::unique_ptr<app::Form3> form;
    std::unique_ptr<QSignalSpy> ended;
};

} // namespace test
