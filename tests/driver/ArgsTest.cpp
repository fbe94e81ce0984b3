// Option parsing of kdrive: a wrong number here sends the wrong message to a program under test without any error.
#include "Args.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include <climits>

namespace kdrive {
namespace {

struct NumberCase {
    const wchar_t* text;
    bool isValid;
    int64_t value;
};

std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) {
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

// Readable case names in test listings instead of byte dumps.
void PrintTo(const NumberCase& c, std::ostream* os) {
    *os << '"' << Narrow(c.text) << '"';
}

class ParseNumberTest : public testing::TestWithParam<NumberCase> {};

// Catches: hex and decimal spellings of the same bits disagreeing (lparam -1), wrap-around on overflow instead of
// rejection, and empty or prefix-only text read as 0.
TEST_P(ParseNumberTest, ReadsOrRejects) {
    const NumberCase& c = GetParam();
    auto value = ParseNumber(c.text);
    ASSERT_EQ(value.has_value(), c.isValid) << testing::PrintToString(std::wstring(c.text));
    if (c.isValid) {
        EXPECT_EQ(*value, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Spellings, ParseNumberTest,
    testing::Values(NumberCase{L"0", true, 0}, NumberCase{L"2032", true, 2032}, NumberCase{L"0x7F0", true, 0x7F0},
                    NumberCase{L"0X7f0", true, 0x7F0}, NumberCase{L"-1", true, -1},
                    NumberCase{L"0xFFFFFFFFFFFFFFFF", true, -1}, NumberCase{L"18446744073709551615", true, -1},
                    NumberCase{L"-9223372036854775808", true, INT64_MIN}, NumberCase{L"-9223372036854775809", false, 0},
                    NumberCase{L"18446744073709551616", false, 0}, NumberCase{L"0x10000000000000000", false, 0},
                    NumberCase{L"", false, 0}, NumberCase{L"-", false, 0}, NumberCase{L"0x", false, 0},
                    NumberCase{L"12a", false, 0}, NumberCase{L"0x1g", false, 0}, NumberCase{L" 1", false, 0},
                    NumberCase{L"1.5", false, 0}));

// Catches: a missing or extra coordinate accepted, or a value beyond int silently truncated.
TEST(ParsePoint, AcceptsTwoIntsOnly) {
    EXPECT_EQ(ParsePoint(L"10,-20"), std::make_pair(10, -20));
    EXPECT_EQ(ParsePoint(L"0x10,0"), std::make_pair(16, 0));
    EXPECT_FALSE(ParsePoint(L"10"));
    EXPECT_FALSE(ParsePoint(L"10,"));
    EXPECT_FALSE(ParsePoint(L",10"));
    EXPECT_FALSE(ParsePoint(L"1,2,3"));
    EXPECT_FALSE(ParsePoint(L"4294967296,0"));
}

const Syntax kSendLike = {
    {L"class", OptionKind::Text, true, 0, 0},
    {L"msg", OptionKind::Number, true, 0, 0xFFFFFFFF},
    {L"from", OptionKind::Point, false, 0, 0},
    {L"visible", OptionKind::Flag, false, 0, 0},
};

struct ArgsCase {
    std::vector<std::wstring> tokens;
    bool isValid;
};

void PrintTo(const ArgsCase& c, std::ostream* os) {
    for (const std::wstring& token : c.tokens) {
        *os << Narrow(token) << ' ';
    }
}

class ArgsParseTest : public testing::TestWithParam<ArgsCase> {};

// Catches: an option name taken as the previous option's value, flags eating the next token, bounds not applied,
// required options not enforced, and stray positional words ignored.
TEST_P(ArgsParseTest, ChecksAgainstSyntax) {
    Args args;
    std::wstring error;
    EXPECT_EQ(args.Parse(GetParam().tokens, kSendLike, &error), GetParam().isValid);
    EXPECT_EQ(error.empty(), GetParam().isValid);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ArgsParseTest,
    testing::Values(ArgsCase{{L"--class", L"SomeClass", L"--msg", L"0x401"}, true},
                    ArgsCase{{L"--visible", L"--class", L"C", L"--msg", L"1", L"--from", L"-3,4"}, true},
                    ArgsCase{{L"--class", L"C"}, false}, ArgsCase{{L"--class", L"C", L"--msg"}, false},
                    ArgsCase{{L"--class", L"C", L"--msg", L"0x100000000"}, false},
                    ArgsCase{{L"--class", L"C", L"--msg", L"-1"}, false},
                    ArgsCase{{L"--class", L"C", L"--msg", L"1", L"--msg", L"2"}, false},
                    ArgsCase{{L"--class", L"C", L"--msg", L"1", L"--title", L"T"}, false},
                    ArgsCase{{L"--class", L"C", L"--msg", L"1", L"extra"}, false},
                    ArgsCase{{L"--class", L"C", L"--msg", L"1", L"--from", L"3"}, false},
                    ArgsCase{{L"--", L"--class", L"C", L"--msg", L"1"}, false}));

// Catches: a flag followed by a value-looking token consuming it, which would shift every later option.
TEST(Args, FlagDoesNotTakeAValue) {
    Args args;
    std::wstring error;
    ASSERT_TRUE(args.Parse({L"--visible", L"--class", L"SomeClass", L"--msg", L"5"}, kSendLike, &error));
    EXPECT_TRUE(args.Has(L"visible"));
    EXPECT_EQ(args.Text(L"class"), L"SomeClass");
    EXPECT_EQ(args.Number(L"msg", 0), 5);
}

// Catches: a class or title that begins with "--" being refused; window titles are free text.
TEST(Args, ValueMayLookLikeAnOption) {
    Args args;
    std::wstring error;
    ASSERT_TRUE(args.Parse({L"--class", L"--odd", L"--msg", L"1"}, kSendLike, &error)) << error.size();
    EXPECT_EQ(args.Text(L"class"), L"--odd");
}

}  // namespace
}  // namespace kdrive
