// lumavo-swf with simulated input and files beside the movie.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/swf/avm1/movie_fixture.h"

using namespace movie_test;
using swf::ActionCode;

namespace {

QString run(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(LUMAVO_SWF_RUNNER), arguments);
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(RunnerInput, ClicksReachButtonsAndLoadsComeFromTheMoviesFolder)
{
    QTemporaryDir dir;
    swf::MovieBuilder m;
    swf::ButtonBuilder b;
    b.state(swf::ButtonRecord::Up | swf::ButtonRecord::HitTest, square(m));
    Asm release;
    release.fscommand("clicked", "");
    b.on(swf::OverDownToOverUp, release);
    m.place({.depth = 1, .character = m.button(b), .matrix = swf::at_pixels(100, 100)});
    Asm a;
    a.push({"notes.txt", "_level0"}).op(ActionCode::GetURL2, {0x80}); // loadVariablesNum
    a.push("two\rlines").trace().stop();
    m.actions(a).show_frame();
    ASSERT_TRUE(m.save(dir.filePath("movie.swf").toStdString()));
    write(dir.filePath("notes.txt"), "note=from+the+folder");
    write(dir.filePath("input.json"), R"([{"type": "Wait"},
        {"type": "MouseMove", "pos": [110, 110]}, {"type": "MouseDown", "pos": [110, 110]},
        {"type": "MouseUp", "pos": [110, 110]}, {"type": "Wait"}])");
    QString out = run({dir.filePath("movie.swf"), "--frames", "3", "--fscommands", "--input", dir.filePath("input.json")});
    EXPECT_EQ(out, "two\nlines\nfscommand: clicked\n");

    // The loaded variable, read by a second movie in the same folder.
    swf::MovieBuilder reader;
    Asm load, read;
    load.push({"notes.txt", "_level0"}).op(ActionCode::GetURL2, {0x80});
    read.push("note").get_variable().trace().stop();
    reader.actions(load).show_frame().actions(read).show_frame();
    ASSERT_TRUE(reader.save(dir.filePath("reader.swf").toStdString()));
    EXPECT_EQ(run({dir.filePath("reader.swf"), "--frames", "2"}), "from the folder\n");
}

} // namespace
