// lumavo-swf run as a program: what it prints, the frames it plays, how it ends.
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "swf/writer/movie_builder.h"

using namespace swf;

namespace {

struct RunResult {
    int exit_code = -1;
    QString out, err;
};

RunResult run(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(LUMAVO_SWF_RUNNER), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// One fscommand per frame ("f0", "f1", ...), "quit" in frame 3 if asked.
QString write_movie(const QTemporaryDir& dir, bool quit)
{
    MovieBuilder m;
    for (int frame = 0; frame < 5; ++frame) {
        ActionAssembler a;
        a.fscommand("f" + std::to_string(frame), frame == 1 ? "with args" : "");
        if (quit && frame == 3)
            a.fscommand("quit", "");
        m.actions(a).show_frame();
    }
    QString path = dir.filePath("movie.swf");
    EXPECT_TRUE(m.save(path.toStdString()));
    return path;
}

} // namespace

TEST(Runner, PrintsFscommandsOfTheFramesItPlays)
{
    QTemporaryDir dir;
    RunResult r = run({write_movie(dir, false), "--frames", "3", "--fscommands"});
    EXPECT_EQ(r.exit_code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "fscommand: f0\nfscommand: f1 with args\nfscommand: f2\n");
    RunResult quiet = run({write_movie(dir, false), "--frames", "3"});
    EXPECT_EQ(quiet.out, "");
}

TEST(Runner, QuitEndsTheRun)
{
    QTemporaryDir dir;
    RunResult r = run({write_movie(dir, true), "--frames", "100", "--fscommands"});
    EXPECT_EQ(r.exit_code, 0);
    EXPECT_TRUE(r.out.endsWith("fscommand: f3\nfscommand: quit\n")) << r.out.toStdString();
}

TEST(Runner, WritesOnePngPerFrame)
{
    QTemporaryDir dir;
    RunResult r = run({write_movie(dir, false), "--frames", "4", "--png", dir.filePath("frames")});
    EXPECT_EQ(r.exit_code, 0) << r.err.toStdString();
    QStringList files = QDir(dir.filePath("frames")).entryList({"*.png"}, QDir::Files, QDir::Name);
    EXPECT_EQ(files, (QStringList{"frame_00001.png", "frame_00002.png", "frame_00003.png", "frame_00004.png"}));
    QImage first(dir.filePath("frames/frame_00001.png"));
    EXPECT_EQ(first.size(), QSize(550, 400));
}

struct BadRun {
    const char* name;
    QStringList arguments; // "MOVIE" stands for a good movie
    int exit_code;
    const char* message;
};

class RunnerRefuses : public testing::TestWithParam<BadRun> {};

TEST_P(RunnerRefuses, WithAMessage)
{
    QTemporaryDir dir;
    QStringList arguments = GetParam().arguments;
    arguments.replaceInStrings("MOVIE", write_movie(dir, false));
    arguments.replaceInStrings("DIR", dir.path());
    RunResult r = run(arguments);
    EXPECT_EQ(r.exit_code, GetParam().exit_code);
    EXPECT_TRUE(r.err.contains(GetParam().message)) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, RunnerRefuses,
    testing::Values(BadRun{"wav_without_file", {"MOVIE", "--frames", "1", "--wav"}, 2, "--wav"},
                    BadRun{"no_frames", {"MOVIE"}, 2, "--frames"},
                    BadRun{"bad_frames", {"MOVIE", "--frames", "x"}, 2, "--frames"},
                    BadRun{"missing_file", {"DIR/none.swf", "--frames", "1"}, 1, "cannot be read"},
                    BadRun{"not_a_movie", {"DIR", "--frames", "1"}, 1, "is a folder, not a movie"}),
    [](const auto& info) { return std::string(info.param.name); });
