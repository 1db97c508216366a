// EUC-JP by arithmetic: JIS X 0208 rows and half-width katakana go both ways
// exactly, a character cut between blocks is joined, what has no counterpart
// is one counted '?', and only Japanese EUC-JP is taken for EUC-JP.
#include <gtest/gtest.h>

#include <string>

#include "util/EucJp.h"

TEST(EucJp, TwoByteRowsAndKanaGoBothWaysExactly)
{
    const struct { const char* name; std::string euc, sjis; } cases[] = {
        {"hiragana and kanji", "\xA4\xA2\xB4\xC1", "\x82\xA0\x8A\xBF"},
        {"half-width katakana", "\x8E\xB1", "\xB1"},
        {"NEC special row 13", "\xAD\xA1", "\x87\x40"},
        {"the last kanji row", "\xF4\xA1", "\xEA\x9F"},
        {"ASCII and line ends", "a\\\r\n", "a\\\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string sjis, euc, carry;
        EXPECT_EQ(0u, EucJp::ToCp932(c.euc.substr(0, 1), false, carry, sjis)) << "cut after the first byte";
        EXPECT_EQ(0u, EucJp::ToCp932(c.euc.substr(1), true, carry, sjis));
        EXPECT_EQ(c.sjis, sjis);
        EXPECT_EQ(0u, EucJp::FromCp932(c.sjis, euc));
        EXPECT_EQ(c.euc, euc);
    }
}

TEST(EucJp, WhatHasNoCounterpartIsACountedQuestionMark)
{
    std::string sjis, euc, carry;
    EXPECT_EQ(2u, EucJp::ToCp932("\x8F\xB0\xA1" "a\xA4", true, carry, sjis)) << "JIS X 0212, a lone byte";
    EXPECT_EQ("?a?", sjis);
    EXPECT_EQ(2u, EucJp::FromCp932("\xFA\x40" "b\x80", euc)) << "an IBM extension, a byte of no character";
    EXPECT_EQ("?b?", euc);
}

TEST(EucJp, OnlyJapaneseEucJpIsLikely)
{
    const struct { const char* name; std::string bytes; bool wholeFile, likely; } cases[] = {
        {"EUC-JP hiragana", "\xA4\xB3\xA4\xF3\xA4\xCB\xA4\xC1\xA4\xCF\r\n", true, true},
        {"EUC-JP cut by the end of the window", "\xA4\xB3\xA4", false, true},
        {"the same cut at the end of the file", "\xA4\xB3\xA4", true, false},
        {"Shift_JIS hiragana", "\x82\xB1\x82\xF1", true, false},
        {"Shift_JIS kanji that are valid EUC-JP too", "\xE4\xA1\xE8\xA1", true, false},
        {"ASCII", "abc", true, false},
        {"half-width katakana only", "\x8E\xB1\x8E\xB2", true, false},
        {"code page 932 half-width katakana, valid EUC-JP too", "\xB6\xC5\xB6\xDE\r\n", true, false},
        {"EUC-JP katakana", "\xA5\xAB\xA5\xCA\r\n", true, true},
        {"EUC-JP kanji, then hiragana", "\xB4\xC1\xBB\xFA\xA4\xC7\xA4\xB9", true, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.likely, EucJp::IsLikely(c.bytes, c.wholeFile)) << c.name;
}
