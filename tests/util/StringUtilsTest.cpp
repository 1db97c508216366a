#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "util/StringUtils.h"

namespace {

using Pieces = std::vector<std::string>;
using WidePieces = std::vector<std::wstring>;

TEST(StringUtils, IsDigits)
{
    const struct {
        std::string text;
        int expected;
    } cases[] = {
        {"", 0}, {"0123", 1}, {"7", 1}, {"12a", 0}, {"-1", 0}, {"1.5", 0}, {" 1", 0}, {"１", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, IsDigits(c.text)) << '"' << c.text << '"';
}

TEST(StringUtils, IsNumber)
{
    const struct {
        std::string text;
        int expected;
    } cases[] = {
        {"", 0},   {"3.14", 1}, {"1.2.3", 0}, {".", 1},    {"1.", 1},  {".5", 1},
        {"1e5", 0}, {"-1", 1},  {"-.5", 1},   {"-.", 1},   {"-", 0},   {"1-", 0},
        {"--1", 0}, {"1-2", 0}, {"-1.2.3", 0}, {"+1", 0},  {" 1", 0},  {"-a", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, IsNumber(c.text)) << '"' << c.text << '"';
}

// Positions are not limited to 16 bits.
TEST(StringUtils, NumberChecksReadLongTexts)
{
    std::string digits(70000, '7');
    EXPECT_EQ(1, IsDigits(digits));
    EXPECT_EQ(1, IsNumber(digits));
    digits.back() = 'x';
    EXPECT_EQ(0, IsDigits(digits));
    EXPECT_EQ(0, IsNumber(digits));
}

TEST(StringUtils, TrimLeft)
{
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {" \t ab ", "ab "}, {"   ", ""}, {"", ""}, {"ab", "ab"}, {"\t\nx", "\nx"}, {"　x", "　x"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        TrimLeft(text);
        EXPECT_EQ(c.expected, text) << '"' << c.text << '"';
    }
}

TEST(StringUtils, SplitNarrow)
{
    const struct {
        const char* name;
        std::string separator;
        std::string text;
        Pieces expected;
    } cases[] = {
        {"trailing line feed", "\n", "a\nb\n", {"a", "b", ""}},
        {"empty text", "\n", "", {""}},
        {"no separator", ",", "abc", {"abc"}},
        {"leading, doubled and trailing", ",", ",a,,b,", {"", "a", "", "b", ""}},
        {"only separators", ",", ",,", {"", "", ""}},
        {"multi-byte separator", ", ", "1, 2, 3", {"1", "2", "3"}},
        {"left to right without overlap", "aa", "aaa", {"", "a"}},
        {"empty separator", "", "a,b", {"a,b"}},
        {"trail byte 0x5C is no separator", "\\", "表\\ソ", {"表", "ソ"}},
        {"trail byte A is no separator", "A", "アAア", {"ア", "ア"}},
        {"double-byte separator", "、", "赤、青、", {"赤", "青", ""}},
        {"embedded zero kept", ",", std::string("a\0b,c", 5), {std::string("a\0b", 3), "c"}},
    };
    for (const auto& c : cases) {
        Pieces pieces = {"left", "over"};
        Split(c.separator, c.text, &pieces);
        EXPECT_EQ(c.expected, pieces) << c.name;
    }
    Split(",", "a", nullptr);
}

TEST(StringUtils, SplitWide)
{
    const struct {
        const char* name;
        std::wstring separator;
        std::wstring text;
        WidePieces expected;
    } cases[] = {
        {"trailing line feed", L"\n", L"a\nb\n", {L"a", L"b", L""}},
        {"empty text", L"\n", L"", {L""}},
        {"leading, doubled and trailing", L",", L",a,,b,", {L"", L"a", L"", L"b", L""}},
        {"left to right without overlap", L"aa", L"aaa", {L"", L"a"}},
        {"empty separator", L"", L"a,b", {L"a,b"}},
        {"whole wide characters", L"\u8868", L"\u8868\\\u8868", {L"", L"\\", L""}},
        {"low byte of a character is not a match", L"\\", L"\u5c5c", {L"\u5c5c"}},
    };
    for (const auto& c : cases) {
        WidePieces pieces = {L"left", L"over"};
        Split(c.separator, c.text, &pieces);
        EXPECT_EQ(c.expected, pieces) << c.name;
    }
}

TEST(StringUtils, ReplaceAll)
{
    const struct {
        const char* name;
        std::string text;
        std::string pattern;
        std::string replacement;
        std::string expected;
    } cases[] = {
        {"left to right without overlap", "aaa", "aa", "b", "ba"},
        {"replacement holds the pattern", "abab", "ab", "abab", "abababab"},
        {"replacement extends the pattern", "aXa", "a", "aa", "aaXaa"},
        {"removal", "a-b-c", "-", "", "abc"},
        {"no match", "abc", "x", "y", "abc"},
        {"empty text", "", "a", "b", ""},
        {"empty pattern", "abc", "", "x", "abc"},
        {"trail byte 0x5C untouched", "表\\", "\\", "/", "表/"},
        {"trail byte only", "ソ表", "\\", "/", "ソ表"},
        {"double-byte pattern", "表と表", "表", "ソ", "ソとソ"},
        {"embedded zero kept", std::string("a\0a", 3), "a", "b", std::string("b\0b", 3)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, ReplaceAll(c.text, c.pattern, c.replacement)) << c.name;
}

TEST(StringUtils, DropFirstLine)
{
    const struct {
        std::string text;
        std::string expected;
    } cases[] = {
        {"x\r\ny", "y"}, {"xy", ""}, {"", ""}, {"a\n", ""}, {"\nb\nc", "b\nc"}, {"表\nソ", "ソ"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, DropFirstLine(c.text)) << '"' << c.text << '"';
}

}  // namespace
