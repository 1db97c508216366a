// File in its streaming and loaded modes, checked against files made and read
// back with plain Win32 calls.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/Win32.h"
#include "support/TempFolder.h"
#include "util/File.h"

namespace {

class FileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.IsReady()); }

    std::string Make(const std::string& name, const std::string& bytes)
    {
        std::string path = folder.Write(name, bytes);
        EXPECT_FALSE(path.empty()) << name;
        return path;
    }

    std::string Contents(const std::string& path)
    {
        std::string bytes;
        EXPECT_TRUE(TempFolder::ReadBytes(path, bytes)) << path;
        return bytes;
    }

    // A file of the given size that takes no disk space (a hole).
    std::string MakeSparse(const std::string& name, long long size)
    {
        std::string path = folder.PathOf(name);
        HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, h);
        LARGE_INTEGER end;
        end.QuadPart = size;
        EXPECT_TRUE(::SetFilePointerEx(h, end, nullptr, FILE_BEGIN));
        EXPECT_TRUE(::SetEndOfFile(h));
        ::CloseHandle(h);
        return path;
    }

    TempFolder folder;
};

TEST_F(FileTest, LoadedReadsAllOrNothingAtTheEnd)
{
    File file;
    ASSERT_EQ(1, file.Open(Make("five.txt", "abcde"), 1, 1));
    EXPECT_EQ(5u, file.GetSize());
    char out[8] = {};
    ASSERT_EQ(1, file.Seek(FILE_BEGIN, 2));

    EXPECT_EQ(0u, file.Read(out, 4)) << "4 asked, 3 left";
    EXPECT_EQ(2u, file.Tell());
    EXPECT_EQ(0, file.ReadExact(out, 4));
    EXPECT_EQ(2u, file.Tell());

    EXPECT_EQ(1, file.ReadExact(out, 3));
    EXPECT_EQ("cde", std::string(out, 3));
    EXPECT_EQ(5u, file.Tell());

    ASSERT_EQ(1, file.Seek(FILE_BEGIN, 1));
    EXPECT_EQ(4u, file.Read(out, 4));
    EXPECT_EQ("bcde", std::string(out, 4));
    EXPECT_EQ(5u, file.Tell());
    EXPECT_EQ(0u, file.Read(out, 1));
}

TEST_F(FileTest, LoadedSeekStaysInsideTheImage)
{
    struct Case {
        int origin;
        LONG offset;
        int result;
        DWORD position; // after the seek, which starts at 2
    };
    const Case cases[] = {
        {FILE_END, 0, 1, 5},         {FILE_END, 1, 0, 2},        {FILE_BEGIN, -1, 0, 2},
        {FILE_BEGIN, 5, 1, 5},       {FILE_BEGIN, 6, 0, 2},      {FILE_CURRENT, 3, 1, 5},
        {FILE_CURRENT, 4, 0, 2},     {FILE_CURRENT, -2, 1, 0},   {FILE_CURRENT, -3, 0, 2},
        {FILE_END, -5, 1, 0},        {FILE_END, -6, 0, 2},       {FILE_END, LONG_MIN, 0, 2},
        {FILE_CURRENT, LONG_MAX, 0, 2}, {7, 0, 0, 2},
    };
    File file;
    ASSERT_EQ(1, file.Open(Make("five.txt", "abcde"), 1, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "origin " << c.origin << " offset " << c.offset);
        ASSERT_EQ(1, file.Seek(FILE_BEGIN, 2));
        EXPECT_EQ(c.result, file.Seek(c.origin, c.offset));
        EXPECT_EQ(c.position, file.Tell());
    }
}

TEST_F(FileTest, ReadLineKeepsLineEndsAndStopsAtTheEnd)
{
    struct Case {
        std::string image;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"a\r\nb", {"a\r\n", "b"}},
        {"x\ny\n", {"x\n", "y\n"}},
        {"\n", {"\n"}},
        {"\n\n", {"\n", "\n"}},
        {"no end", {"no end"}},
        {"表\r\nソ", {"表\r\n", "ソ"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.image));
        File file;
        ASSERT_EQ(1, file.Open(Make("lines.txt", c.image), 1, 1));
        std::vector<std::string> lines;
        std::string line;
        while (file.ReadLine(line) == 1 && lines.size() <= c.lines.size())
            lines.push_back(line);
        EXPECT_EQ(c.lines, lines);
        EXPECT_EQ(0, file.ReadLine(line)) << "again at the end";
    }
}

TEST_F(FileTest, ReadLineNeedsALoadedImage)
{
    std::string path = Make("lines.txt", "a\nb\n");
    std::string line = "untouched";
    File file;
    EXPECT_EQ(0, file.ReadLine(line)) << "closed";
    ASSERT_EQ(1, file.Open(path, 1, 0));
    EXPECT_EQ(0, file.ReadLine(line)) << "streaming";
    EXPECT_EQ("untouched", line);
}

TEST_F(FileTest, LoadedEmptyFileOpensWithNothingToRead)
{
    File file;
    ASSERT_EQ(1, file.Open(Make("empty.txt", ""), 1, 1));
    EXPECT_EQ(1, file.IsOpen());
    EXPECT_EQ(0u, file.GetSize());
    EXPECT_EQ(0u, file.Tell());
    std::string line = "untouched";
    EXPECT_EQ(0, file.ReadLine(line));
    EXPECT_EQ("untouched", line);
    char out[1] = {};
    EXPECT_EQ(0u, file.Read(out, 1));
    EXPECT_EQ(0, file.ReadExact(out, 1));
    EXPECT_EQ(1, file.Seek(FILE_END, 0));
    EXPECT_EQ(0, file.Seek(FILE_BEGIN, 1));
    EXPECT_EQ(1, file.Close());
}

TEST_F(FileTest, StreamingReadsGoToTheFile)
{
    File file;
    ASSERT_EQ(1, file.Open(Make("six.txt", "abcdef"), 1, 0));
    EXPECT_EQ(6u, file.GetSize());
    char out[16] = {};
    EXPECT_EQ(6u, file.Read(out, sizeof(out))) << "short count at the end";
    EXPECT_EQ("abcdef", std::string(out, 6));
    EXPECT_EQ(0u, file.Read(out, 1));
    ASSERT_EQ(1, file.Seek(FILE_BEGIN, 1));
    EXPECT_EQ(1u, file.Tell());
    EXPECT_EQ(1, file.ReadExact(out, 5));
    EXPECT_EQ("bcdef", std::string(out, 5));
    EXPECT_EQ(0, file.ReadExact(out, 1));
    EXPECT_EQ(0, file.Seek(FILE_BEGIN, -1));
    EXPECT_EQ(6u, file.Tell());
}

TEST_F(FileTest, OpenAndCloseStates)
{
    std::string first = Make("first.txt", "one");
    std::string missing = folder.PathOf("missing.txt");
    File file;
    EXPECT_EQ(0, file.Close()) << "never opened";
    EXPECT_EQ(0, file.Open(missing, 1, 0));
    EXPECT_EQ(0, file.IsOpen());

    for (int loadWhole : {0, 1}) {
        SCOPED_TRACE(loadWhole ? "loaded" : "streaming");
        ASSERT_EQ(1, file.Open(first, 1, loadWhole));
        EXPECT_EQ(first, file.GetPath());
        EXPECT_FALSE(::DeleteFileA(first.c_str())) << "the open handle keeps it";
        // The failed second open must still release the first file.
        EXPECT_EQ(0, file.Open(missing, 1, loadWhole));
        EXPECT_EQ(0, file.IsOpen());
        EXPECT_EQ("", file.GetPath());
        EXPECT_EQ(0, file.Close());
        ASSERT_TRUE(::DeleteFileA(first.c_str()));
        first = Make("first.txt", "one");
    }
}

TEST_F(FileTest, WritingTruncatesAndLoadedModeRefusesWrites)
{
    std::string path = Make("doc.txt", "old contents");
    File file;
    ASSERT_EQ(1, file.Open(path, 0, 1)) << "the load flag is ignored when writing";
    EXPECT_EQ("", Contents(path)) << "truncated at open";
    EXPECT_EQ(1, file.Write("new", 3));
    EXPECT_EQ(1, file.Write("", 0));
    EXPECT_EQ(1, file.Close());
    EXPECT_EQ("new", Contents(path));

    for (int loadWhole : {0, 1}) {
        ASSERT_EQ(1, file.Open(path, 1, loadWhole));
        EXPECT_EQ(0, file.Write("x", 1)) << "loadWhole " << loadWhole;
        file.Close();
    }
    EXPECT_EQ("new", Contents(path));
    EXPECT_EQ(0, file.Write("x", 1)) << "closed";
}

// Sizes are 32-bit: a file of 4 GiB or more must neither load truncated nor
// report its low word as its size.
TEST_F(FileTest, FilesOf4GiBAndMoreAreRefused)
{
    std::string path = MakeSparse("huge.bin", 0x100000003LL);
    File file;
    EXPECT_EQ(0, file.Open(path, 1, 1));
    EXPECT_EQ(0, file.IsOpen());
    ASSERT_EQ(1, file.Open(path, 1, 0));
    EXPECT_EQ(INVALID_FILE_SIZE, file.GetSize());
}

TEST_F(FileTest, ImageTooLargeForMemoryIsAFailedOpen)
{
    if (sizeof(void*) != 4)
        GTEST_SKIP() << "only a 32-bit process runs out of address space here";
    std::string path = MakeSparse("large.bin", 0xFFFFF000LL);
    File file;
    EXPECT_EQ(0, file.Open(path, 1, 1));
    EXPECT_EQ(0, file.IsOpen());
}

} // namespace
