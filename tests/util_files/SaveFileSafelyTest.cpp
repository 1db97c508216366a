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

#include <algorithm>
#include <string>
#include <vector>

#include "framework/Win32.h"
#include "support/TempFolder.h"
#include "support/UnixLink.h"
#include "util/SaveFileSafely.h"

namespace {

using Names = std::vector<std::string>;

// Four megabytes of text whose last megabyte cannot be read: a write of it
// fails after the first three megabytes reached the file.
class UnreadableTail {
public:
    UnreadableTail()
        : text(static_cast<char*>(::VirtualAlloc(nullptr, 4 * megabyte, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE)))
    {
        DWORD previous = 0;
        if (text != nullptr) {
            std::fill(text, text + 3 * megabyte, 'x');
            ::VirtualProtect(text + 3 * megabyte, megabyte, PAGE_NOACCESS, &previous);
        }
    }
    UnreadableTail(const UnreadableTail&) = delete;
    UnreadableTail& operator=(const UnreadableTail&) = delete;
    ~UnreadableTail()
    {
        if (text != nullptr)
            ::VirtualFree(text, 0, MEM_RELEASE);
    }
    bool IsReady() const { return text != nullptr; }
    const char* Data() const { return text; }
    size_t Size() const { return 4 * megabyte; }

private:
    static constexpr size_t megabyte = 1 << 20;
    char* text;
};

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

    UnreadableTail text;
    ASSERT_TRUE(text.IsReady());
    EXPECT_EQ(0, SaveFileSafely(path, text.Data(), text.Size()));

    EXPECT_EQ(old, Contents(path));
    EXPECT_EQ(Names{"doc.txt"}, folder.Entries());
}

// Another program holds the target open for reading and writing without
// delete sharing, so it cannot be replaced: it is written in place. When
// that write fails half-way, the old bytes come back from the backup.
TEST_F(SaveFileSafelyTest, TargetHeldOpenWithReadWriteSharing)
{
    std::string path = folder.Write("held.txt", "old contents\r\n");
    HANDLE other = ::CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);

    EXPECT_EQ(1, Save(path, "new text"));
    EXPECT_EQ("new text", Contents(path));

    UnreadableTail text;
    ASSERT_TRUE(text.IsReady());
    EXPECT_EQ(0, SaveFileSafely(path, text.Data(), text.Size()));
    ::CloseHandle(other);
    EXPECT_EQ("new text", Contents(path));
    EXPECT_EQ(Names{"held.txt"}, folder.Entries());
}

// A link is saved through: the file it points to gets the bytes and the
// link stays a link.
TEST_F(SaveFileSafelyTest, SavesThroughALink)
{
    std::string real = folder.Write("real.txt", "old");
    std::string linkPath = folder.PathOf("link.txt");
    UnixLink link(linkPath, "real.txt");
    ASSERT_TRUE(link.IsMade());

    EXPECT_EQ(1, Save(linkPath, "new"));
    EXPECT_EQ("new", Contents(real));
    EXPECT_EQ("new", Contents(linkPath));
    folder.Write("real.txt", "newer");
    EXPECT_EQ("newer", Contents(linkPath)) << "the link is no longer a link";
    EXPECT_EQ((Names{"link.txt", "real.txt"}), folder.Entries());
}

// GetTempFileNameA refuses folders longer than MAX_PATH - 14 bytes; a file
// there still saves, new or replaced.
TEST_F(SaveFileSafelyTest, FolderTooLongForGetTempFileName)
{
    const size_t wanted = MAX_PATH - 12;
    std::string relative;
    while (folder.Path().size() + 1 + relative.size() < wanted) {
        const size_t room = wanted - (folder.Path().size() + 1 + relative.size());
        relative += (relative.empty() ? "" : "\\") + std::string(std::min<size_t>(room, 100), 'd');
        ASSERT_FALSE(folder.MakeFolder(relative).empty()) << relative.size();
    }
    const std::string path = folder.PathOf(relative + "\\a.txt");
    ASSERT_LT(path.size(), static_cast<size_t>(MAX_PATH));
    EXPECT_EQ(1, Save(path, "first"));
    EXPECT_EQ(1, Save(path, "second"));
    EXPECT_EQ("second", Contents(path));
    EXPECT_EQ(Names{"a.txt"}, folder.Entries(relative));
}

} // namespace
