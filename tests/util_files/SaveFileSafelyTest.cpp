// Safe saving: the target ends up with the new bytes, or, after any failure,
// with its old bytes; no temporary file is ever left behind.
//
// Failures covered: a folder that does not exist, a target held open by
// another handle with share mode 0, a target that is a folder, and a write
// that fails half-way (the source bytes run into a page that cannot be read,
// so WriteFile fails after the first megabytes reached the temporary file).
// A full disk cannot be made from inside Wine without touching shared mounts,
// so it is not covered; it fails through the same path as the half-way write.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Win32.h"
#include "support/TempFolder.h"
#include "util/SaveFileSafely.h"

namespace {

using Names = std::vector<std::string>;

class SaveFileSafelyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.IsReady()); }

    std::string Contents(const std::string& path)
    {
        std::string bytes;
        EXPECT_TRUE(TempFolder::ReadBytes(path, bytes)) << path;
        return bytes;
    }

    int Save(const std::string& path, const std::string& bytes)
    {
        return SaveFileSafely(path, bytes.data(), bytes.size());
    }

    TempFolder folder;
};

TEST_F(SaveFileSafelyTest, CreatesANewFile)
{
    std::string path = folder.PathOf("new.txt");
    EXPECT_EQ(1, Save(path, "line\r\n二行目\r\n"));
    EXPECT_EQ("line\r\n二行目\r\n", Contents(path));
    EXPECT_EQ(Names{"new.txt"}, folder.Entries());

    EXPECT_EQ(1, SaveFileSafely(folder.PathOf("empty.txt"), nullptr, 0));
    EXPECT_EQ("", Contents(folder.PathOf("empty.txt")));
}

// 表 and ソ end in the byte 0x5C, the path separator: the temporary file
// must still go to the target's own folder.
TEST_F(SaveFileSafelyTest, DoubleByteNamesKeepTheirFolder)
{
    ASSERT_FALSE(folder.MakeFolder("表ソ").empty());
    std::string path = folder.PathOf("表ソ\\表.txt");
    EXPECT_EQ(1, Save(path, "abc"));
    EXPECT_EQ("abc", Contents(path));
    EXPECT_EQ(Names{"表.txt"}, folder.Entries("表ソ"));
    EXPECT_EQ(Names{"表ソ"}, folder.Entries());
}

TEST_F(SaveFileSafelyTest, ReplacesAnExistingFileAndKeepsItsAttributes)
{
    std::string path = folder.Write("doc.txt", "old contents, longer than the new");
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    DWORD before = ::GetFileAttributesA(path.c_str());
    ASSERT_NE(0u, before & FILE_ATTRIBUTE_HIDDEN) << "this file system keeps no hidden flag";

    EXPECT_EQ(1, Save(path, "new"));
    EXPECT_EQ("new", Contents(path));
    EXPECT_EQ(before, ::GetFileAttributesA(path.c_str()));
    EXPECT_EQ(Names{"doc.txt"}, folder.Entries());

    EXPECT_EQ(1, Save(path, ""));
    EXPECT_EQ("", Contents(path));
    EXPECT_EQ(before, ::GetFileAttributesA(path.c_str()));
}

TEST_F(SaveFileSafelyTest, UnwritableTargetsFailWithoutLeavingFiles)
{
    const std::string old = "old contents";
    std::string held = folder.Write("held.txt", old);
    ASSERT_FALSE(held.empty());
    ASSERT_FALSE(folder.MakeFolder("sub").empty());

    HANDLE holder = ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(0, Save(held, "new")) << "held open with share mode 0";
    ::CloseHandle(holder);

    EXPECT_EQ(0, Save(folder.PathOf("missing\\new.txt"), "new")) << "no such folder";
    EXPECT_EQ(0, Save(folder.PathOf("sub"), "new")) << "a folder";
    EXPECT_EQ(0, Save(folder.PathOf("sub\\"), "new")) << "no file name";

    EXPECT_EQ(old, Contents(held));
    EXPECT_EQ((Names{"held.txt", "sub"}), folder.Entries());
    EXPECT_EQ(Names{}, folder.Entries("sub"));
}

TEST_F(SaveFileSafelyTest, WriteFailingHalfWayKeepsTheOldFile)
{
    const std::string old = "old contents\r\n";
    std::string path = folder.Write("doc.txt", old);
    ASSERT_FALSE(path.empty());

    // Four megabytes of text whose last megabyte cannot be read.
    const SIZE_T megabyte = 1 << 20;
    char* text = static_cast<char*>(
        ::VirtualAlloc(nullptr, 4 * megabyte, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, text);
    std::fill(text, text + 3 * megabyte, 'x');
    DWORD previous = 0;
    ASSERT_TRUE(::VirtualProtect(text + 3 * megabyte, megabyte, PAGE_NOACCESS, &previous));

    EXPECT_EQ(0, SaveFileSafely(path, text, 4 * megabyte));
    ::VirtualFree(text, 0, MEM_RELEASE);

    EXPECT_EQ(old, Contents(path));
    EXPECT_EQ(Names{"doc.txt"}, folder.Entries());
}

} // namespace
