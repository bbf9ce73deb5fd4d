// Plays every case of the SWF conformance suite with lumavo-swf and reports how many print
// what Flash Player printed. A case that prints something else is reported, not failed: the
// report is the measure. A crash, a hang or a sanitizer report fails the test.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>

#include <fstream>
#include <sstream>
#include <iostream>

#include "tests/swf/conformance/case_compare.h"

using namespace conformance;

namespace {

constexpr int kCaseTimeoutMs = 120000;

QString read_text(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool sanitizer_report(const QString& err)
{
    return err.contains("AddressSanitizer") || err.contains("LeakSanitizer") || err.contains("runtime error:")
           || err.contains("UndefinedBehaviorSanitizer");
}

struct Outcome {
    bool ran = false;    // ended by itself, without a crash or a sanitizer report
    bool passed = false;
    std::string detail;
};

Outcome run_case(const QDir& dir)
{
    std::optional<CaseOptions> options = parse_case_options(read_text(dir.filePath("test.toml")).toStdString());
    if (!options)
        return {true, false, "test.toml names no frame count"};
    // The recordings count the frames played after the first one, which the player shows
    // (and scripts) as it loads the movie.
    QStringList args{dir.filePath("test.swf"), "--frames", QString::number(options->frames + 1)};
    if (dir.exists("input.json"))
        args << "--input" << dir.filePath("input.json");
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(LUMAVO_SWF_RUNNER), args);
    if (!process.waitForFinished(kCaseTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return {false, false, "did not finish in time"};
    }
    QString err = QString::fromUtf8(process.readAllStandardError());
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0 || sanitizer_report(err))
        return {false, false, "runner failed (exit " + std::to_string(process.exitCode()) + "): " + err.left(2000).toStdString()};
    std::string actual = process.readAllStandardOutput().toStdString();
    std::string expected = read_text(dir.filePath("output.txt")).toStdString();
    Outcome outcome{true, false, {}};
    outcome.passed = same_output(actual, expected, *options, &outcome.detail);
    return outcome;
}

} // namespace

TEST(ConformanceSuite, Avm1CasesPlayWithoutCrashingAndTheirPassCountIsReported)
{
    QDir suite(QStringLiteral(LUMAVO_CONFORMANCE_DIR "/avm1"));
    if (!suite.exists())
        GTEST_SKIP() << "no conformance suite at " << suite.path().toStdString();
    QStringList cases = suite.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    int passed = 0;
    std::ostringstream report;
    std::vector<std::string> failures;
    for (const QString& name : cases) {
        QDir dir(suite.filePath(name));
        if (!dir.exists("test.swf"))
            continue;
        Outcome outcome = run_case(dir);
        EXPECT_TRUE(outcome.ran) << name.toStdString() << ": " << outcome.detail;
        if (outcome.passed)
            ++passed;
        else
            failures.push_back(name.toStdString() + ": " + outcome.detail);
    }
    report << "conformance avm1: " << passed << " of " << (passed + failures.size()) << " cases pass\n";
    for (const std::string& f : failures)
        report << "  FAIL " << f << "\n";
    std::cout << report.str();
    std::ofstream(LUMAVO_CONFORMANCE_REPORT) << report.str();
}

struct CompareCase {
    const char* name;
    const char* toml;
    const char* actual;
    const char* expected;
    bool same;
};

class OutputComparison : public testing::TestWithParam<CompareCase> {};

TEST_P(OutputComparison, FollowsTheCaseTolerance)
{
    std::optional<CaseOptions> options = parse_case_options(GetParam().toml);
    ASSERT_TRUE(options);
    EXPECT_EQ(same_output(GetParam().actual, GetParam().expected, *options, nullptr), GetParam().same);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputComparison,
    testing::Values(
        CompareCase{"exact", "num_frames = 1", "a\nb\n", "a\nb\n", true},
        CompareCase{"trailing_space_ignored", "num_frames = 1", "a  \nb\n\n", "a\nb\n", true},
        CompareCase{"missing_line", "num_frames = 1", "a\n", "a\nb\n", false},
        CompareCase{"numbers_exact_without_approximations", "num_frames = 1", "0.1\n", "0.10000001\n", false},
        CompareCase{"bare_number_within_epsilon", "num_ticks = 2\n[approximations]\nbare_numbers = true\nepsilon = 0.051",
                    "125.25\n", "125.2\n", true},
        CompareCase{"bare_number_outside_epsilon", "num_ticks = 2\n[approximations]\nbare_numbers = true\nepsilon = 0.051",
                    "125.3\n", "125.2\n", false},
        CompareCase{"text_lines_stay_exact", "num_frames = 1\n[approximations]\nbare_numbers = true\nepsilon = 1",
                    "x: 1\n", "x: 2\n", false},
        CompareCase{"pattern_number_relative",
                    "num_frames = 1\n[approximations]\nepsilon = 1e-14\nnumber_patterns = [\"(\\\\d+\\\\.\\\\d+)\"]",
                    "sin: 0.84147098480789661\n", "sin: 0.8414709848078965\n", true},
        CompareCase{"pattern_keeps_the_rest_exact",
                    "num_frames = 1\n[approximations]\nepsilon = 1e-14\nnumber_patterns = [\"(\\\\d+\\\\.\\\\d+)\"]",
                    "cos: 0.5\n", "sin: 0.5\n", false}),
    [](const auto& info) { return std::string(info.param.name); });
