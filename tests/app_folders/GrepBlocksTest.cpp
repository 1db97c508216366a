// Grep's block reading and file masks, without a window: one file searched
// with blocks of every small size must give exactly the lines a single block
// gives, and the masks take the names Windows' wildcards take. The first
// read of a file covers what its encoding is decided on, so each file starts
// with a line that fills it and the cases come in small blocks after it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "FolderCommandFixture.h"
#include "app/folders/FileMask.h"
#include "app/folders/FolderGrep.h"

namespace {

struct BlockCase {
    const char* what;
    std::string content;
    std::string pattern;
    std::vector<std::pair<int, std::string>> lines; // number and text of each result
    bool regex = false;
    std::vector<unsigned long long> columns = {}; // of each result, for a regular expression
};

// A first line of units 'w' (one or two bytes each) that, after the mark,
// ends one unit past the first read, so its CR LF is split there too.
std::string FirstReadLine(size_t markSize, size_t unitSize, bool bigEndian = false)
{
    const std::string ascii = std::string((TextEncoding::StartSize - markSize) / unitSize - 1, 'w') + "\r\n";
    if (unitSize == 1)
        return ascii;
    std::string units;
    for (char c : ascii)
        units += bigEndian ? std::string(1, '\0') + c : std::string(1, c) + '\0';
    return units;
}

const std::vector<size_t> BlockSizes = {1, 2, 3, 5, 8, 13, FolderGrep::DefaultBlockSize};

} // namespace

TEST(GrepBlocks, EveryBlockSizeGivesTheSameLines)
{
    const std::string longLine = std::string(40, 'x') + "needle" + std::string(40, 'y');
    const std::vector<BlockCase> cases = {
        {"matches on both sides", "abc\nxxabc\nq\nabc", "abc", {{1, "abc"}, {2, "xxabc"}, {4, "abc"}}},
        {"a line longer than a block", "short\n" + longLine + "\nend needle\n", "needle",
         {{2, longLine}, {3, "end needle"}}},
        {"CR LF split", "a1\r\nb1\r\na1\r\n", "a1", {{1, "a1\r"}, {3, "a1\r"}}},
        {"trail byte 0x5C", "ソソ表ソ\nC:\\d\n", "\\", {{2, "C:\\d"}}},
        {"double-byte text", "ab表示cd\n表\n示\n", "表示", {{1, "ab表示cd"}}},
        {"zero byte ends the text", std::string("abc\nq\0abc\nabc\n", 14), "abc", {{1, "abc"}}},
        {"every line", "a\n\nb\n", "", {{1, "a"}, {2, ""}, {3, "b"}, {4, ""}}},
        {"regex, trail byte 0x5C then a digit", "表1\nab表x\\9\n", "\\\\\\d", {{2, "ab表x\\9"}}, true, {5}},
        {"regex, CR LF line ends", "ab1\r\nxab\r\nb\rx\n", "^ab|b$", {{1, "ab1\r"}, {2, "xab\r"}, {3, "b"}},
         true, {1, 3, 1}},
        {"CR line ends among CR LF", "a1\rb\r\ra1\r\nb\ra1", "a1", {{1, "a1"}, {4, "a1\r"}, {6, "a1"}}},
        {"regex, CR line ends", "xa\rab\r", "^a|a$", {{1, "xa"}, {2, "ab"}}, true, {2, 1}},
        {"regex, no match across a line end", "ab\ncd\n", "b\\s*c", {}, true},
        {"regex, line end is the subject end", "xa\nab\n", "a\\z", {{1, "xa"}}, true, {2}},
        {"regex, the engine's limit ends the file", "aa\n" + std::string(4000, 'a') + "b\naa\n", "(a+)+$",
         {{1, "aa"}}, true, {1}},
    };
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    for (const BlockCase& c : cases) {
        const std::string first = FirstReadLine(0, 1);
        const std::string path = tree.Write("f.txt", first + c.content);
        std::string expected = c.pattern.empty() ? ResultLine(path, 1, first.substr(0, first.size() - 1)) : "";
        for (size_t i = 0; i < c.lines.size(); ++i)
            expected += ResultLine(path, c.lines[i].first + 1, c.lines[i].second, c.columns.empty() ? 0 : c.columns[i]);
        for (size_t block : BlockSizes) {
            FolderGrep grep(c.pattern, "*.*", {true, false, c.regex});
            grep.SetBlockSize(block);
            std::string out;
            grep.Search(tree.Path(), out);
            EXPECT_EQ(expected, out) << c.what << ", block " << block;
        }
    }
}

TEST(GrepBlocks, MasksTakeNamesAsWindowsWildcardsDo)
{
    const struct {
        const char* masks;
        const char* name;
        bool taken;
    } cases[] = {
        {"*.c;*.h", "main.c", true},     {"*.c;*.h", "main.h", true},    {"*.c;*.h", "main.cpp", false},
        {"*.txt *.md", "READ.MD", true}, {"*.txt *.md", "a.txt", true},  {"*.txt *.md", "a.doc", false},
        {"data?.csv", "data1.csv", true}, {"data?.csv", "data12.csv", false}, {"data?.csv", "data表.csv", true},
        {"*.TXT", "note.txt", true},     {"*.*", "Makefile", true},      {"", "any", true},
        {"*.log", "log", false},         {"*.", "Makefile", true},       {"*.", "a.txt", false},
        {"表*.txt", "C:\\d\\表.txt", true}, {"ソ*", "C:\\d\\ソース.c", true}, {"ース*", "C:\\d\\ソース.c", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.taken, FileMask(c.masks).Matches(c.name)) << c.masks << " / " << c.name;
}

// The same line in code page 932, UTF-8 with and without a mark and UTF-16
// with and without a mark: each file reports it, in code page 932, with its
// own number. A UTF-8 file whose start alone does not tell (a character cut
// at byte 65,536, or only ASCII there) is found when one read holds it whole.
// 上 is 0x4E0A, a unit with a 0x0A byte that is no line break; in UTF-16 a
// zero character ends the text as a zero byte does.
TEST(GrepBlocks, ReadsEachFileInItsOwnEncoding)
{
    const std::string utf8 = "\xE4\xB8\x8A\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE8\xA1\x8C";
    const std::string le16("\x0A\x4E\xE5\x65\x2C\x67\x9E\x8A\x6E\x30\x4C\x88", 12);
    const std::string be16("\x4E\x0A\x65\xE5\x67\x2C\x8A\x9E\x30\x6E\x88\x4C", 12);
    const std::string leBreak("\r\0\n\0", 4);
    const std::string beBreak("\0\r\0\n", 4);
    const struct {
        const char* name;
        std::string content;
        bool wholeRead = false;
    } files[] = {
        {"cp932.txt", FirstReadLine(0, 1) + "上日本語の行\r\n"},
        {"utf8.txt", "x\r\n" + utf8 + "\r\n"}, // its start alone tells it is UTF-8
        {"utf8mark.txt", "\xEF\xBB\xBF" + FirstReadLine(3, 1) + utf8 + "\r\n"},
        {"utf16le.txt", "\xFF\xFE" + FirstReadLine(2, 2) + le16 + leBreak + std::string(2, '\0') + le16},
        {"utf16be.txt", "\xFE\xFF" + FirstReadLine(2, 2, true) + be16 + beBreak + beBreak + be16.substr(2)},
        {"utf16be-nomark.txt", FirstReadLine(0, 2, true) + be16 + beBreak},
        {"utf8-cut.txt", std::string(TextEncoding::StartSize - 3, 'w') + "\r\n" + utf8 + "\r\n", true},
        {"utf8-late.txt", FirstReadLine(0, 1) + utf8 + "\r\n", true},
    };
    for (size_t block : BlockSizes) {
        TempFolder tree;
        ASSERT_TRUE(tree.IsReady());
        for (const auto& file : files) {
            if (file.wholeRead && block != FolderGrep::DefaultBlockSize)
                continue;
            const std::string path = tree.Write(file.name, file.content);
            FolderGrep grep("日本語");
            grep.SetBlockSize(block);
            std::string out;
            grep.Search(tree.Path(), out);
            std::string expected = ResultLine(path, 2, "上日本語の行\r");
            if (std::string(file.name) == "utf16be.txt")
                expected += ResultLine(path, 4, "日本語の行");
            EXPECT_EQ(expected, out) << file.name << ", block " << block;
            ::DeleteFileA(path.c_str());
        }
    }
}

// A line past the limit is searched in pieces, a match across a cut too, and
// reported once with its piece, marked as a part; the next line keeps its number.
// A regular expression's column counts the characters of the pieces before.
TEST(GrepBlocks, LongLinesAreSearchedInPieces)
{
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    std::string long2(200, "表"[0]); // then its trail byte, 0x5C
    for (size_t i = 1; i < 200; i += 2)
        long2[i] = '\x5C';
    long2 += std::string(100, 'x') + "needle" + std::string(300, 'y');
    const std::string path = tree.Write("f.txt", FirstReadLine(0, 1) + long2 + "\nneedle\n");
    for (auto [block, regex] : {std::pair{1, false}, {3, false}, {7, false}, {8, false}, {13, false}, {1, true},
                                {7, true}, {13, true}}) {
        const std::string partStart = path + (regex ? "\t2行目 201桁目\t" : "\t2行目\t") + "（長い行の一部）…";
        FolderGrep grep(regex ? "ne+dle" : "needle", "*.*", {true, false, regex});
        grep.SetBlockSize(block);
        grep.SetLineLimit(64);
        std::string out;
        grep.Search(tree.Path(), out);
        const size_t firstEnd = out.find("\r\n") + 2;
        const std::string first = out.substr(0, firstEnd);
        EXPECT_EQ(partStart, first.substr(0, partStart.size())) << out;
        EXPECT_NE(std::string::npos, first.find("needle")) << out;
        EXPECT_EQ("…\r\n", first.substr(first.size() - 4)) << out;
        EXPECT_LT(first.size(), partStart.size() + 100) << out;
        EXPECT_EQ(ResultLine(path, 3, "needle", regex ? 1 : 0), out.substr(firstEnd)) << "block " << block;
    }
}

// Where a long line is cut is neither a line end nor a word boundary to a
// regular expression.
TEST(GrepBlocks, CutsOfLongLinesAreNoLineEnds)
{
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    const std::string path = tree.Write("f.txt", FirstReadLine(0, 1) + "x" + std::string(300, 'a') + "x\na\n");
    for (const char* pattern : {"^a", "a$", "\\ba", "a\\b"}) {
        for (size_t block : {1, 7, 13}) {
            FolderGrep grep(pattern, "*.*", {true, false, true});
            grep.SetBlockSize(block);
            grep.SetLineLimit(64);
            std::string out;
            grep.Search(tree.Path(), out);
            EXPECT_EQ(ResultLine(path, 3, "a", 1), out) << pattern << ", block " << block;
        }
    }
}

// A regular expression matches the text the editor holds: EUC-JP, and
// UTF-8 and UTF-16 with what code page 932 lacks, never the '?' that stands
// for it in the result line. A long line's column counts characters.
TEST(GrepBlocks, RegexMatchesTheDecodedText)
{
    const std::string smile = "\xF0\x9F\x98\x80";
    std::string longLine;
    for (int i = 0; i < 100; ++i)
        longLine += "\xE3\x81\x82"; // あ
    const struct {
        std::string content, pattern, expected; // expected: the lines after the path, or the start of one
    } cases[] = {
        {"\xA5\xAB\xA5\xBF\xA5\xAB\xA5\xCA\n\xA5\xC6\xA5\xB9\xA5\xC8\r\n", "テスト", "\t2行目 1桁目\tテスト\r\n"},
        {"\xE3\x81\x82\nx" + smile + "y\nz?\n", "\\x{1F600}", "\t2行目 2桁目\tx?y\r\n"},
        {"\xE3\x81\x82\nx" + smile + "y\nz?\n", "\\?", "\t3行目 2桁目\tz?\r\n"},
        {std::string("\xFF\xFEx\0\x3D\xD8\x00\xDEy\0\r\0\n\0", 14), "\\x{1F600}", "\t1行目 2桁目\tx?y\r\n"},
        {"\xE3\x81\x82" + FirstReadLine(3, 1) + longLine + smile + "\n", "\\x{1F600}", "\t2行目 101桁目\t（長い行の一部）…"},
    };
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    for (const auto& c : cases) {
        const std::string path = tree.Write("f.txt", c.content);
        FolderGrep grep(c.pattern, "*.*", {true, false, true});
        grep.SetBlockSize(7);
        grep.SetLineLimit(64);
        std::string out;
        grep.Search(tree.Path(), out);
        EXPECT_EQ(path + c.expected, out.substr(0, path.size() + c.expected.size())) << c.pattern << "\n" << out;
        EXPECT_EQ(1, std::count(out.begin(), out.end(), '\n')) << out;
    }
}
