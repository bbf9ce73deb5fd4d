// The movie player component as the course shell uses it: files that come and go, movies that
// replace themselves from their own fscommand, paths that name no movie.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>

#include "platform/movie_player.h"
#include "swf/view/movie_view.h"
#include "swf/writer/movie_builder.h"

using namespace swf;

namespace {

// Frame n says "<name>n"; the last frame stops.
QString write_movie(const QString& path, const std::string& name, int frames = 3)
{
    MovieBuilder m;
    m.background({0, 255, 0});
    for (int f = 0; f < frames; ++f) {
        ActionAssembler a;
        a.fscommand(name + std::to_string(f), "");
        if (f == frames - 1)
            a.stop();
        m.actions(a).show_frame();
    }
    EXPECT_TRUE(m.save(path.toStdString()));
    return path;
}

QStringList commands(const QSignalSpy& spy)
{
    QStringList out;
    for (const QList<QVariant>& call : spy)
        out << call.at(0).toString();
    return out;
}

void ticks(platform::MoviePlayer& player, int n)
{
    for (int i = 0; i < n; ++i)
        player.view()->tick();
}

} // namespace

TEST(MoviePlayer, ViewIsTheNamedChildFillingTheControl)
{
    platform::MoviePlayer player;
    player.resize(320, 200);
    player.show();
    auto* view = player.findChild<QWidget*>(QString::fromLatin1(platform::MoviePlayer::kViewObjectName));
    ASSERT_EQ(view, player.view());
    EXPECT_EQ(view->geometry(), QRect(0, 0, 320, 200));
}

TEST(MoviePlayer, FileCanBeDeletedRightAfterSetMovie)
{
    QTemporaryDir dir;
    platform::MoviePlayer player;
    QSignalSpy spy(&player, &platform::MoviePlayer::FSCommand);
    QString path = write_movie(dir.filePath("PinYin.dat"), "m");
    player.setMovie(path);
    ASSERT_TRUE(QFile::remove(path));
    ticks(player, 3);
    EXPECT_EQ(commands(spy), (QStringList{"m0", "m1", "m2"}));
    EXPECT_EQ(player.movie(), path);
}

TEST(MoviePlayer, FrameNumAndPlay)
{
    QTemporaryDir dir;
    platform::MoviePlayer player;
    QSignalSpy spy(&player, &platform::MoviePlayer::FSCommand);
    player.setMovie(write_movie(dir.filePath("a.swf"), "a", 5));
    player.setFrameNum(2);
    EXPECT_EQ(player.frameNum(), 2);
    player.play();
    EXPECT_TRUE(player.isPlaying());
    ticks(player, 3);
    EXPECT_EQ(commands(spy), (QStringList{"a2", "a3", "a4"}));
}

class MoviePlayerNoMovie : public testing::TestWithParam<const char*> {};

// A folder, a missing file or a damaged one drops the current movie: background only.
TEST_P(MoviePlayerNoMovie, DropsTheCurrentMovie)
{
    QTemporaryDir dir;
    {
        QFile damaged(dir.filePath("damaged.swf"));
        damaged.open(QIODevice::WriteOnly);
        damaged.write("FWS\x06\xff\xff\x00\x00garbage", 15);
    }
    QFile(dir.filePath("empty.swf")).open(QIODevice::WriteOnly);
    platform::MoviePlayer player;
    player.resize(100, 100);
    player.setBackgroundColor(0x0000FF); // &H00BBGGRR: red
    QSignalSpy spy(&player, &platform::MoviePlayer::FSCommand);
    player.setMovie(write_movie(dir.filePath("good.swf"), "g"));
    ASSERT_TRUE(player.view()->hasMovie());

    QString bad = GetParam() == std::string("folder") ? dir.path() : dir.filePath(GetParam());
    player.setMovie(bad);
    EXPECT_FALSE(player.view()->hasMovie());
    ticks(player, 3);
    EXPECT_TRUE(spy.isEmpty());
    QImage shown = player.view()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(50, 50), QColor(255, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(Paths, MoviePlayerNoMovie, testing::Values("folder", "missing.swf", "damaged.swf", "empty.swf"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

// The course shell loads the next movie from inside the FSCommand handler of the current one.
TEST(MoviePlayer, ReplacingTheMovieFromItsOwnFscommandIsSafe)
{
    QTemporaryDir dir;
    MovieBuilder first;
    first.actions(ActionAssembler().fscommand("next", "").fscommand("after", "")).show_frame();
    first.actions(ActionAssembler().fscommand("first1", "")).show_frame();
    QString first_path = dir.filePath("first.swf");
    ASSERT_TRUE(first.save(first_path.toStdString()));
    QString second_path = write_movie(dir.filePath("second.swf"), "s");

    platform::MoviePlayer player;
    QStringList seen;
    QObject::connect(&player, &platform::MoviePlayer::FSCommand, [&](const QString& command, const QString&) {
        seen << command;
        if (command == "next") {
            player.setMovie(second_path);
            QFile::remove(second_path);
            player.setFrameNum(1);
            player.play();
        }
    });
    player.setMovie(first_path);
    ticks(player, 3);
    EXPECT_EQ(seen, (QStringList{"next", "s1", "s2"}));
    EXPECT_EQ(player.movie(), second_path);
}
