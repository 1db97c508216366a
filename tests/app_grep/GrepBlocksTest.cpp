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
