#include "platform/program_folder.h"
#include "tests/support/test_folder.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* relative;
    const char* expected; // relative to the program folder
};

void PrintTo(const PathCase& c, std::ostream* out)
{
    *out << c.relative;
}

class ProgramPathTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(ProgramPathTest, ResolvesEachComponentIgnoringCase)
{
    test::ProgramFolder folder;
    folder.write("swf/Inicio.swf", "a");
    folder.write("swf/Quit.swf", "b");
    folder.write("Midi/Main.mid", "c");
    folder.write("confg.Ini", "d");
    folder.write("Datos/index.dat", "e");

    EXPECT_EQ(platform::resolveProgramPath(QString::fromUtf8(GetParam().relative)),
              folder.path() + "/" + GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ProgramPathTest,
    ::testing::Values(PathCase{"\\swf\\Inicio.swf", "swf/Inicio.swf"},
                      PathCase{"\\SWF\\Quit.swf", "swf/Quit.swf"},
                      PathCase{"\\SWF\\QUIT.SWF", "swf/Quit.swf"},
                      PathCase{"\\midi\\main.MID", "Midi/Main.mid"},
                      PathCase{"\\CONFG.INI", "confg.Ini"},
                      PathCase{"/Datos/Index.dat", "Datos/index.dat"},
                      // Missing components keep their spelling, so new files can be named.
                      PathCase{"\\index.dat", "index.dat"},
                      PathCase{"\\Music\\Crepusculo.swf", "Music/Crepusculo.swf"},
                      PathCase{"\\swf\\Ayuda.swf", "swf/Ayuda.swf"},
                      // Never outside the program folder.
                      PathCase{"\\..\\..\\etc\\passwd", "etc/passwd"},
                      PathCase{"\\.\\swf\\.\\inicio.swf", "swf/Inicio.swf"}));

TEST(ProgramPath, PrefersTheExactNameOverOtherCases)
{
    test::ProgramFolder folder;
    folder.write("SWF/quit.swf", "upper");
    folder.write("swf/Quit.swf", "lower");
    EXPECT_EQ(platform::resolveProgramPath(u"\\swf\\Quit.swf"), folder.path() + "/swf/Quit.swf");
    EXPECT_EQ(platform::resolveProgramPath(u"\\SWF\\quit.swf"), folder.path() + "/SWF/quit.swf");
}

} // namespace
