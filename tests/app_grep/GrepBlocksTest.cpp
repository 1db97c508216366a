// Grep's block reading and file masks, without a window: one file searched
// with blocks of every small size must give exactly the lines a single block
// gives, and the masks take the names Windows' wildcards take.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FolderCommandFixture.h"
#include "app/FileMask.h"
#include "app/FolderGrep.h"

namespace {

struct BlockCase {
    const char* what;
    std::string content;
    std::string pattern;
    std::vector<std::pair<int, std::string>> lines; // number and text of each result
};

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
    };
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    for (const BlockCase& c : cases) {
        const std::string path = tree.Write("f.txt", c.content);
        std::string expected;
        for (const auto& line : c.lines)
            expected += ResultLine(path, line.first, line.second);
        for (size_t block : {size_t(1), size_t(2), size_t(3), size_t(5), size_t(8), size_t(13), FolderGrep::DefaultBlockSize}) {
            FolderGrep grep(c.pattern);
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
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.taken, FileMask(c.masks).Matches(c.name)) << c.masks << " / " << c.name;
}

// The same line in code page 932, UTF-8 with and without a mark and UTF-16LE
// with a mark: each file reports it, in code page 932, with its own number.
TEST(GrepBlocks, ReadsEachFileInItsOwnEncoding)
{
    const std::string utf8 = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE8\xA1\x8C";
    const std::string utf16 = std::string("\xE5\x65\x2C\x67\x9E\x8A\x6E\x30\x4C\x88", 10);
    const std::string nl16("\r\0\n\0", 4);
    const std::pair<const char*, std::string> files[] = {
        {"cp932.txt", "x\r\n日本語の行\r\n"},
        {"utf8.txt", "x\r\n" + utf8 + "\r\n"},
        {"utf8mark.txt", "\xEF\xBB\xBFx\r\n" + utf8 + "\r\n"},
        {"utf16.txt", std::string("\xFF\xFEx\0", 4) + nl16 + utf16 + nl16},
    };
    for (size_t block : {size_t(3), FolderGrep::DefaultBlockSize}) {
        TempFolder tree;
        ASSERT_TRUE(tree.IsReady());
        for (const auto& file : files) {
            const std::string path = tree.Write(file.first, file.second);
            FolderGrep grep("日本語");
            grep.SetBlockSize(block);
            std::string out;
            grep.Search(tree.Path(), out);
            EXPECT_EQ(ResultLine(path, 2, "日本語の行\r"), out) << file.first << ", block " << block;
            ::DeleteFileA(path.c_str());
        }
    }
}
