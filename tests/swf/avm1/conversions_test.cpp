#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "swf/core/avm1/value.h"

using namespace swf::avm1;

namespace {

struct NumberText {
    double number;
    const char* text;
};

class NumberToString : public testing::TestWithParam<NumberText> {};

TEST_P(NumberToString, FormatsWithFifteenDigits)
{
    EXPECT_EQ(number_to_string(GetParam().number), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, NumberToString, testing::Values(
    NumberText{0.0, "0"}, NumberText{-0.0, "0"}, NumberText{1.5, "1.5"}, NumberText{-2.0, "-2"},
    NumberText{0.1 + 0.2, "0.3"}, NumberText{1.0 / 3.0, "0.333333333333333"},
    // Plain notation for exponents -5 to 14, exponential beyond.
    NumberText{123456789012345.0, "123456789012345"}, NumberText{1e15, "1e+15"},
    NumberText{9007199254740992.0, "9.00719925474099e+15"}, NumberText{123456789012345678.0, "1.23456789012346e+17"},
    NumberText{1e21, "1e+21"}, NumberText{1.5e300, "1.5e+300"}, NumberText{0.00001234, "0.00001234"},
    NumberText{0.000001, "1e-6"}, NumberText{-1e-7, "-1e-7"},
    // Ties round away from zero; a carry can reach the exponent.
    NumberText{100000000000000.5, "100000000000001"}, NumberText{-100000000000000.5, "-100000000000001"},
    NumberText{999999999999999.9, "1e+15"},
    // Rounding the largest double up would leave the range: its digits are cut.
    NumberText{std::numeric_limits<double>::max(), "1.79769313486231e+308"},
    NumberText{std::sin(1.0), "0.841470984807897"}, NumberText{std::cos(1.0), "0.54030230586814"},
    NumberText{std::numeric_limits<double>::quiet_NaN(), "NaN"},
    NumberText{std::numeric_limits<double>::infinity(), "Infinity"},
    NumberText{-std::numeric_limits<double>::infinity(), "-Infinity"}));

struct TextNumber {
    const char* text;
    int version;
    double number;  // NaN where NaN is expected
};

class StringToNumber : public testing::TestWithParam<TextNumber> {};

TEST_P(StringToNumber, ConvertsPerVersion)
{
    double got = string_to_number(GetParam().text, GetParam().version);
    if (std::isnan(GetParam().number)) EXPECT_TRUE(std::isnan(got)) << got;
    else EXPECT_EQ(got, GetParam().number);
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Values, StringToNumber, testing::Values(
    // SWF 4 reads a leading number and takes 0 for anything else.
    TextNumber{"150a", 4, 150}, TextNumber{"ab", 4, 0}, TextNumber{"", 4, 0}, TextNumber{"0x96", 4, 0},
    // SWF 5 wants the whole string to be a decimal number.
    TextNumber{"", 5, kNaN}, TextNumber{"100ABC", 5, kNaN}, TextNumber{"0x10", 5, kNaN},
    TextNumber{"010", 5, 10}, TextNumber{" 5", 5, 5}, TextNumber{"  5  ", 5, kNaN},
    // SWF 6 adds hex and octal, both wrapped to 32 bits.
    TextNumber{"0x10", 6, 16}, TextNumber{"0x1999999981ffffff", 6, -2113929217}, TextNumber{"0xhello", 6, kNaN},
    TextNumber{"+010", 6, 8}, TextNumber{"-010", 6, -8}, TextNumber{" 010", 6, 10},
    TextNumber{"037777777777", 6, -1}, TextNumber{"\t\r12", 6, 12}, TextNumber{"\r12\r", 6, kNaN},
    TextNumber{"123e-1", 6, 12.3}, TextNumber{"Infinity", 6, kNaN}, TextNumber{"inf", 6, kNaN}));

TEST(ToBoolean, StringsAreNumbersBeforeSwf7)
{
    EXPECT_FALSE(to_boolean(Value("true"), 6));
    EXPECT_TRUE(to_boolean(Value("123"), 6));
    EXPECT_FALSE(to_boolean(Value("0xFF"), 4));
    EXPECT_TRUE(to_boolean(Value("true"), 7));
    EXPECT_FALSE(to_boolean(Value(""), 7));
}

TEST(ToInt32, WrapsModulo32Bits)
{
    EXPECT_EQ(to_int32(4294967297.0), 1);
    EXPECT_EQ(to_int32(-1.5), -1);
    EXPECT_EQ(to_int32(kNaN), 0);
    EXPECT_EQ(to_int32(2147483648.0), -2147483647 - 1);
}

}  // namespace
