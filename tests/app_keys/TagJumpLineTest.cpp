// The pure readers behind the tag jump and the command line: a line of grep
// or compiler output read as a place in a file, and the document argument.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/jump/CommandLine.h"
#include "app/jump/TagJumpLine.h"

namespace {

struct LineCase {
    const char* text;
    const char* path; // nullptr: the line names nothing
    unsigned long long line;
    unsigned long long column;
    const char* whole = nullptr; // the bare path tried next, when there is one
};

// 表 is 0x95 0x5C and ソ is 0x83 0x5C: their trail byte is a backslash.
const LineCase Lines[] = {
    {"C:\\dir\\a.txt\t12行目\tabc", "C:\\dir\\a.txt", 12, 0},
    {"C:\\My Files\\a b.txt\t3行目\t\ttext\twith tabs (4)", "C:\\My Files\\a b.txt", 3, 0},
    {"C:\\表\\ソース.txt\t8行目\t表示", "C:\\表\\ソース.txt", 8, 0},
    {"C:\\表\\ソ.txt\t8行目 12桁目\t表 (3)", "C:\\表\\ソ.txt", 8, 12},
    {"a.txt\t8行目 x桁目\tt", nullptr, 0, 0},
    {"src\\main.cpp(42)", "src\\main.cpp", 42, 0},
    {"src\\main.cpp(42,7)", "src\\main.cpp", 42, 7},
    {"src\\main.cpp(42): error C2065: x", "src\\main.cpp", 42, 0},
    {"src\\main.cpp(42,7): warning", "src\\main.cpp", 42, 7},
    {"C:\\Program Files (x86)\\a.c(5) : error", "C:\\Program Files (x86)\\a.c", 5, 0},
    {"C:\\表(1)\\ソ.txt(9)", "C:\\表(1)\\ソ.txt", 9, 0},
    {"main.c:10:", "main.c", 10, 0},
    {"main.c:10:5: error: x", "main.c", 10, 5},
    {"C:\\src\\main.c:10:text: 3", "C:\\src\\main.c", 10, 0},
    {"C:\\表\\ソ.c:2:", "C:\\表\\ソ.c", 2, 0},
    {"x.c:3: call f(2)", "x.c", 3, 0},
    {"a.txt:7", "a.txt", 7, 0},
    {"\"C:\\a b\\q.txt\"(3)", "C:\\a b\\q.txt", 3, 0},
    {"  C:\\dir\\bare name.txt  \r\n", "C:\\dir\\bare name.txt", 0, 0},
    {"C:\\表\\ソ", "C:\\表\\ソ", 0, 0},
    {"a.txt(1234567890)", "a.txt", 1234567890, 0},
    {"a.txt\t9999999999行目\tx", "a.txt", 9999999999ULL, 0},
    {"a.txt(12345678901)", "a.txt(12345678901)", 0, 0}, // eleven digits: no number
    {"C:\\dir\\report (2) final.txt", "C:\\dir\\report", 2, 0, "C:\\dir\\report (2) final.txt"},
    {"1>C:\\src\\a.cpp(12,5): error C2065", "C:\\src\\a.cpp", 12, 5},
    {"C:\\src\\a.cpp(12,5-8): warning", "C:\\src\\a.cpp", 12, 5},
    {"a.txt:3:10:30 会議", "a.txt", 3, 0},
    {"a.txt:3:12", "a.txt", 3, 0},
    {"a.txt:0:", "a.txt", 1, 0},
    {"a.txt\t行目\tx", nullptr, 0, 0},                   // the number is missing
    {"a.txt::", nullptr, 0, 0},
    {"<<garbage>>", nullptr, 0, 0},
    {"", nullptr, 0, 0},
    {" \t\r\n", nullptr, 0, 0},
};

} // namespace

TEST(TagJumpLine, ReadsEveryForm)
{
    for (const LineCase& c : Lines) {
        SCOPED_TRACE(testing::Message() << "line \"" << c.text << "\"");
        TagJumpLine got;
        int found = TagJumpLine::Parse(c.text, &got);
        ASSERT_EQ(c.path != nullptr ? 1 : 0, found) << "got path \"" << got.path << "\"";
        if (c.path == nullptr)
            continue;
        EXPECT_EQ(c.path, got.path);
        EXPECT_EQ(c.line, got.line);
        EXPECT_EQ(c.column, got.column);
        if (c.whole != nullptr) {
            std::vector<TagJumpLine> places = TagJumpLine::Places(c.text);
            ASSERT_EQ(2u, places.size());
            EXPECT_EQ(c.whole, places[1].path);
        }
    }
}

TEST(CommandLine, TakesTheDocumentArgument)
{
    const struct {
        const char* commandLine;
        const char* argument;
    } cases[] = {
        {"\"C:\\Q R\\Quorvane.exe\"", ""},
        {"Quorvane.exe", ""},
        {"\"C:\\Q R\\Quorvane.exe\" \"C:\\a b\\c.txt\"", "C:\\a b\\c.txt"},
        {"Quorvane.exe C:\\a b\\c.txt ", "C:\\a b\\c.txt"},
        {"\"Quorvane.exe\" \"C:\\a b.txt\"(3)", "C:\\a b.txt(3)"},
        {"Quorvane.exe   C:\\表\\ソ.txt:12", "C:\\表\\ソ.txt:12"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.argument, CommandLine::DocumentArgument(c.commandLine)) << c.commandLine;
    EXPECT_EQ("C:\\x.txt", CommandLine::DocumentArgument("\"Quorvane.exe\"C:\\x.txt"));
}

TEST(CommandLine, SplitsArgumentsAsWindowsDoes)
{
    const struct {
        const char* commandLine;
        std::vector<std::string> arguments;
    } cases[] = {
        {"\"Q.exe\"C:\\x.txt", {"C:\\x.txt"}},
        {"Q.exe \"a b.txt\" \"d.txt\"  e.txt", {"a b.txt", "d.txt", "e.txt"}},
        {"Q.exe \"C:\\表\" \"ソ\\\\\"", {"C:\\表", "ソ\\"}}, // 0x5C trail bytes are no escapes
        {"Q.exe a\\\\\\\"b \"c\"\"d\" e\\f", {"a\\\"b", "c\"d", "e\\f"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.arguments, CommandLine::Arguments(c.commandLine)) << c.commandLine;
}
