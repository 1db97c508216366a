#include <gtest/gtest.h>

#include <string>

#include "support/Utf16Bytes.h"
#include "util/TextEncoding.h"

namespace {

using Kind = TextEncoding::Kind;

std::string Repeat(const std::string& piece, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; ++i)
        text += piece;
    return text;
}

TEST(TextEncoding, Detect)
{
    const std::string asciiStart(TextEncoding::StartSize, 'a');
    const struct {
        const char* name;
        std::string bytes;
        bool wholeFile;
        Kind expected;
    } cases[] = {
        {"empty", "", true, TextEncoding::Cp932},
        {"ASCII only", "abc\r\n", true, TextEncoding::Cp932},
        {"UTF-16LE mark", "\xFF\xFE" "a\0", true, TextEncoding::Utf16Le},
        {"UTF-16BE mark", "\xFE\xFF", true, TextEncoding::Utf16Be},
        {"UTF-8 mark, invalid after it", "\xEF\xBB\xBF\xFF", true, TextEncoding::Utf8WithMark},
        {"UTF-8 without mark", u8"日本語\n", true, TextEncoding::Utf8},
        {"code page 932", "日本語\n", true, TextEncoding::Cp932},
        {"overlong", "\xC0\x80", true, TextEncoding::Cp932},
        {"surrogate", "\xED\xA0\x80", true, TextEncoding::Cp932},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", true, TextEncoding::Cp932},
        {"valid, then invalid", u8"日本\x82\xA0", true, TextEncoding::Cp932},
        {"cut at the end of the file", u8"日本" "\xE8\xAA", true, TextEncoding::Cp932},
        {"cut at the end of the start", u8"日本" "\xE8\xAA", false, TextEncoding::Utf8},
        {"multi-byte only after the start", asciiStart + u8"日本", false, TextEncoding::Cp932},
        {"multi-byte after the start, whole file", asciiStart + u8"日本", true, TextEncoding::Utf8},
        {"invalid only after the start", u8"日" + asciiStart + "\x82\xA0", false, TextEncoding::Utf8},
    };
    for (const auto& c : cases) {
        const TextEncoding found = c.wholeFile ? TextEncoding::Detect(c.bytes) : TextEncoding::DetectStart(c.bytes, false);
        EXPECT_EQ(c.expected, found.GetKind()) << c.name;
    }
}

// Each file is decoded to code page 932 and, when nothing is lost, encoded
// back to the very same bytes.
TEST(TextEncoding, DecodeAndEncodeBack)
{
    const std::string many = Repeat(u8"日本語テキスト、", 20000);
    const struct {
        const char* name;
        Kind kind;
        std::string bytes;
        std::string text;
        size_t lost;
    } cases[] = {
        {"code page 932 stays as it is", TextEncoding::Cp932, "\x85\x40\xED\x40\x81", "\x85\x40\xED\x40\x81", 0},
        {"UTF-8", TextEncoding::Utf8, u8"日本語 abc\r\n", "日本語 abc\r\n", 0},
        {"UTF-8 with a mark", TextEncoding::Utf8WithMark, "\xEF\xBB\xBF" + std::string(u8"表ソ"), "表ソ", 0},
        {"UTF-16LE", TextEncoding::Utf16Le, "\xFF\xFE" + Utf16Bytes(u"日本\n", false, false), "日本\n", 0},
        {"UTF-16BE", TextEncoding::Utf16Be, "\xFE\xFF" + Utf16Bytes(u"日本\n", true, false), "日本\n", 0},
        {"mark only", TextEncoding::Utf16Le, "\xFF\xFE", "", 0},
        {"zero byte kept", TextEncoding::Utf8, std::string(u8"日\0b", 5), std::string("日\0b", 4), 0},
        {"half-width katakana", TextEncoding::Utf8, u8"ｱｲ", "ｱｲ", 0},
        {"NEC-selected IBM character", TextEncoding::Utf8, u8"ⅰ纊", "\xFA\x40\xFA\x5C", 0},
        {"many blocks", TextEncoding::Utf8, many, Repeat("日本語テキスト、", 20000), 0},
        {"Korean and emoji", TextEncoding::Utf8, u8"a한😀b", "a??b", 2},
        {"no best fit for the yen sign", TextEncoding::Utf8, u8"¥1", "?1", 1},
        {"invalid byte after a mark", TextEncoding::Utf8WithMark, "\xEF\xBB\xBF" "a\xFF", "a?", 1},
        {"odd last byte", TextEncoding::Utf16Le, std::string("\xFF\xFE" "a\0b", 5), "a?", 1},
        {"lone surrogate", TextEncoding::Utf16Be, "\xFE\xFF" + Utf16Bytes(u"a\xD800" "b", true, false), "a?b", 1},
        {"loss far into the text", TextEncoding::Utf8, many + u8"😀", Repeat("日本語テキスト、", 20000) + "?", 1},
    };
    for (const auto& c : cases) {
        const TextEncoding encoding(c.kind);
        std::string text = c.bytes;
        size_t lost = 99;
        ASSERT_TRUE(encoding.DecodeFile(text, &lost)) << c.name;
        EXPECT_TRUE(c.text == text) << c.name; // no dump of the long texts
        EXPECT_EQ(c.lost, lost) << c.name;
        ASSERT_TRUE(encoding.EncodeFile(text)) << c.name;
        EXPECT_TRUE(c.lost > 0 || c.bytes == text) << c.name;
    }
}

// Pieces of a file (a grep line, a search text) carry no mark: a leading
// U+FEFF there is a character.
TEST(TextEncoding, PiecesHaveNoMark)
{
    const TextEncoding utf16(TextEncoding::Utf16Le);
    std::string piece = "日本";
    ASSERT_TRUE(utf16.Encode(piece));
    EXPECT_EQ(Utf16Bytes(u"日本", false, false), piece);

    std::string line = Utf16Bytes(u"\xFEFF" "a", false, false);
    size_t lost = 0;
    ASSERT_TRUE(utf16.Decode(line, &lost));
    EXPECT_EQ("?a", line);
    EXPECT_EQ(1u, lost);
}

} // namespace
