#include "app/settings.h"
#include "tests/support/test_folder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

namespace {

using app::ConfigValueArray;

struct ReadCase {
    const char* name;
    std::optional<QByteArray> file; // nullopt: no file at all
    ConfigValueArray expected;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class ConfigReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ConfigReadTest, GivesDefinedValues)
{
    test::ProgramFolder folder;
    if (GetParam().file)
        folder.write("confg.Ini", *GetParam().file);
    EXPECT_EQ(app::readConfigFile(folder.filePath("confg.Ini")), GetParam().expected);
}

QByteArray binaryFile()
{
    QByteArray bytes;
    for (int i = 0; i < 4096; ++i)
        bytes.append(static_cast<char>((i * 7919) % 256));
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Files, ConfigReadTest,
    ::testing::Values(
        ReadCase{"absent", std::nullopt, {50, 255, -1, 0}},
        ReadCase{"written", QByteArray("80\r\n204\r\n0\r\n1\r\n"), {80, 204, 0, 1}},
        ReadCase{"only_80", QByteArray("80"), {80, 0, 0, 0}},
        ReadCase{"halves_to_even", QByteArray("2.5\r\n3.5\r\n-0.5\r\n0.5\r\n"), {2, 4, 0, 0}},
        ReadCase{"letters_are_zero", QByteArray("abc\r\nxyz\r\n-1\r\n1\r\n"), {0, 0, -1, 1}},
        ReadCase{"blanks_around", QByteArray("  70  \r\n\t128 \r\n -1\r\n 1 \r\n"), {70, 128, -1, 1}},
        ReadCase{"leading_number_then_text", QByteArray("60%\r\n100 opaco\r\n-1x\r\n1.0\r\n"), {60, 100, -1, 1}},
        ReadCase{"signs", QByteArray("+30\r\n-5\r\n-1\r\n-0\r\n"), {30, 0, -1, 0}},
        ReadCase{"lf_endings", QByteArray("90\n51\n0\n1\n"), {90, 51, 0, 1}},
        ReadCase{"out_of_16_bits", QByteArray("40000\r\n40000\r\n40000\r\n40000\r\n"), {100, 255, -1, 0}},
        ReadCase{"negative_out_of_16_bits", QByteArray("-40000\r\n-40000\r\n-40000\r\n-40000\r\n"), {0, 0, -1, 0}},
        ReadCase{"switches_out_of_range", QByteArray("50\r\n255\r\n1\r\n2\r\n"), {50, 255, -1, 0}},
        ReadCase{"endless_digits", QByteArray(5000, '9') + "\r\n7\r\n", {100, 7, 0, 0}},
        ReadCase{"binary", binaryFile(), {0, 0, 0, 0}},
        ReadCase{"empty", QByteArray(), {0, 0, 0, 0}},
        ReadCase{"partly_written", QByteArray("75\r\n12"), {75, 12, 0, 0}},
        ReadCase{"more_than_four_lines", QByteArray("10\r\n20\r\n-1\r\n0\r\n99\r\n"), {10, 20, -1, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConfigFile, FourLinesWithCrLf)
{
    EXPECT_EQ(app::formatConfigFile({50, 255, -1, 0}), QByteArray("50\r\n255\r\n-1\r\n0\r\n"));
}

TEST(ConfigFile, WrittenValuesReadBack)
{
    test::ProgramFolder folder;
    const ConfigValueArray values{30, 153, 0, 1};
    ASSERT_TRUE(app::writeConfigFile(folder.filePath("confg.Ini"), values));
    EXPECT_EQ(app::readConfigFile(folder.filePath("confg.Ini")), values);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"confg.Ini"}); // no temporary left
}

TEST(ConfigFile, WriteFailureIsReported)
{
    test::ProgramFolder folder;
    folder.write("notafolder", "x");
    EXPECT_FALSE(app::writeConfigFile(folder.filePath("notafolder/confg.Ini"), {10, 10, 0, 1}));
}

TEST(ConfigFile, UnwritableFolderKeepsTheOldFile)
{
    test::ProgramFolder folder;
    folder.write("confg.Ini", "80\r\n255\r\n-1\r\n0\r\n");
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool written = app::writeConfigFile(folder.filePath("confg.Ini"), {10, 10, 0, 1});
    QFile::setPermissions(folder.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (written)
        GTEST_SKIP() << "running as a user who may write anywhere";
    EXPECT_EQ(folder.read("confg.Ini"), QByteArray("80\r\n255\r\n-1\r\n0\r\n"));
}

} // namespace
