#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FileHelpers.h"
#include "support/TempFolder.h"
#include "framework/Win32.h"
#include "util/DirectoryUtils.h"

namespace {

// A source folder with two files and a sub-folder holding a third.
void FillSource(const TempFolder& temp, const std::string& name = "src")
{
    ASSERT_TRUE(::CreateDirectoryA((temp / name).c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryA((temp / name + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(temp / name + "\\a.txt", "alpha"));
    ASSERT_TRUE(WriteTextFile(temp / name + "\\b.dat", "beta"));
    ASSERT_TRUE(WriteTextFile(temp / name + "\\sub\\inner.txt", "inner"));
}

TEST(CopyDirectoryFiles, CopiesOneLevelIntoANewFolder)
{
    TempFolder temp;
    FillSource(temp);
    EXPECT_EQ(1, CopyDirectoryFiles(temp / "dst", temp / "src"));
    EXPECT_EQ("alpha", ReadTextFile(temp / "dst\\a.txt"));
    EXPECT_EQ("beta", ReadTextFile(temp / "dst\\b.dat"));
    EXPECT_FALSE(FileExists(temp / "dst\\sub"));
    EXPECT_FALSE(FileExists(temp / "dst\\inner.txt"));
}

TEST(CopyDirectoryFiles, ReplacesAnExistingFile)
{
    TempFolder temp;
    FillSource(temp);
    ASSERT_TRUE(::CreateDirectoryA((temp / "dst").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(temp / "dst\\a.txt", "old text, longer than the new"));
    ASSERT_TRUE(WriteTextFile(temp / "dst\\keep.txt", "kept"));
    EXPECT_EQ(1, CopyDirectoryFiles(temp / "dst", temp / "src"));
    EXPECT_EQ("alpha", ReadTextFile(temp / "dst\\a.txt"));
    EXPECT_EQ("kept", ReadTextFile(temp / "dst\\keep.txt"));
}

// Folder names ending in ソ or 表 end in the byte 0x5C, which is no separator:
// the files go inside the destination, and nothing is written beside it.
TEST(CopyDirectoryFiles, TrailingBackslashMakesNoDifference)
{
    const struct {
        std::string destination;
        const char* destinationEnd;
        std::string source;
        const char* sourceEnd;
    } cases[] = {
        {"dst", "", "src", ""},     {"dst", "\\", "src", ""},     {"dst", "", "src", "\\"},
        {"dst", "\\", "src", "\\"}, {"dst表", "", "srcソ", ""}, {"dst表", "\\", "srcソ", "\\"},
    };
    for (const auto& c : cases) {
        TempFolder temp;
        FillSource(temp, c.source);
        const std::string name = c.destination + c.destinationEnd + " from " + c.source + c.sourceEnd;
        EXPECT_EQ(1, CopyDirectoryFiles(temp / c.destination + c.destinationEnd, temp / c.source + c.sourceEnd))
            << name;
        EXPECT_EQ("alpha", ReadTextFile(temp / c.destination + "\\a.txt")) << name;
        EXPECT_EQ("beta", ReadTextFile(temp / c.destination + "\\b.dat")) << name;
        std::vector<std::string> expected = {c.destination, c.source};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(expected, temp.Entries()) << name;
    }
}

TEST(CopyDirectoryFiles, FailuresAreReported)
{
    TempFolder temp;
    FillSource(temp);

    // Only one level of the destination is made.
    EXPECT_EQ(0, CopyDirectoryFiles(temp / "missing\\dst", temp / "src"));
    EXPECT_FALSE(FileExists(temp / "missing"));

    EXPECT_EQ(0, CopyDirectoryFiles(temp / "dst", temp / "no such source"));

    // Empty paths would mean the root of the current drive.
    EXPECT_EQ(0, CopyDirectoryFiles("", temp / "src"));
    EXPECT_EQ(0, CopyDirectoryFiles(temp / "dst2", ""));
    EXPECT_FALSE(FileExists(temp / "dst2"));
}

TEST(CopyDirectoryFiles, AFailedCopyDoesNotStopTheOthers)
{
    TempFolder temp;
    FillSource(temp);
    ASSERT_TRUE(::CreateDirectoryA((temp / "dst").c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(temp / "dst\\a.txt", "held"));
    // Held open without sharing, the target cannot be replaced.
    HANDLE held = ::CreateFileA((temp / "dst\\a.txt").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_EQ(0, CopyDirectoryFiles(temp / "dst", temp / "src"));
    ::CloseHandle(held);
    EXPECT_EQ("held", ReadTextFile(temp / "dst\\a.txt"));
    EXPECT_EQ("beta", ReadTextFile(temp / "dst\\b.dat"));
}

TEST(IsDirectory, OnlyPlainFoldersCount)
{
    TempFolder temp;
    const std::string folder = temp / "plain";
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(WriteTextFile(temp / "file.txt", "x"));

    EXPECT_EQ(1, IsDirectory(folder));
    EXPECT_EQ(0, IsDirectory(temp / "file.txt"));
    EXPECT_EQ(0, IsDirectory(temp / "missing"));
    EXPECT_EQ(0, IsDirectory(""));

    // Wine keeps no read-only flag on a folder; Windows does. Hidden and
    // system are kept by both.
    const struct {
        DWORD attribute;
        bool mayBeRefused;
    } cases[] = {
        {FILE_ATTRIBUTE_READONLY, true},
        {FILE_ATTRIBUTE_HIDDEN, false},
        {FILE_ATTRIBUTE_SYSTEM, false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(::SetFileAttributesA(folder.c_str(), c.attribute));
        if ((::GetFileAttributesA(folder.c_str()) & c.attribute) == 0) {
            EXPECT_TRUE(c.mayBeRefused) << "attribute " << c.attribute << " was not kept";
            continue;
        }
        EXPECT_EQ(0, IsDirectory(folder)) << "attribute " << c.attribute;
        ASSERT_TRUE(::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL));
        EXPECT_EQ(1, IsDirectory(folder)) << "attribute " << c.attribute << " cleared";
    }
}

TEST(IsDirectory, PatternMatchesWhenAnyEntryIsAPlainFolder)
{
    TempFolder temp;
    ASSERT_TRUE(WriteTextFile(temp / "x1.txt", "file first"));
    ASSERT_TRUE(WriteTextFile(temp / "y.txt", "file"));
    ASSERT_TRUE(::CreateDirectoryA((temp / "x2").c_str(), nullptr));

    EXPECT_EQ(1, IsDirectory(temp / "*"));
    EXPECT_EQ(1, IsDirectory(temp / "x*"));
    EXPECT_EQ(0, IsDirectory(temp / "y*"));
    EXPECT_EQ(0, IsDirectory(temp / "z*"));
}

}  // namespace
