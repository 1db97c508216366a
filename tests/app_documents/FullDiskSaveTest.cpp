// A save that runs out of space half-way, on the 64 KiB tmpfs that ctest
// mounts around this program (QUORVANE_SMALL_DISK names its Unix folder).
#include <algorithm>

#include "DocumentFixture.h"
#include "app/recovery/RecoveryFolder.h"

namespace {

// The small disk as a Windows path, or "" when it was not mounted.
std::string SmallDisk()
{
    char unixPath[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableA("QUORVANE_SMALL_DISK", unixPath, sizeof(unixPath));
    if (length == 0 || length >= sizeof(unixPath))
        return std::string();
    std::string path = std::string("Z:") + unixPath;
    std::replace(path.begin(), path.end(), '/', '\\');
    if (::GetFileAttributesA((path + "\\mounted").c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::string();
    return path;
}

} // namespace

TEST_F(DocumentTest, SaveOntoAFullDiskKeepsTheOldFile)
{
    std::string disk = SmallDisk();
    if (disk.empty())
        GTEST_SKIP() << "no small disk mounted (needs root); run through ctest";
    std::string path = disk + "\\doc.txt";
    const std::string previous = "previous contents\r\n";
    {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        ::WriteFile(file, previous.data(), static_cast<DWORD>(previous.size()), &written, nullptr);
        ::CloseHandle(file);
        ASSERT_EQ(previous.size(), written);
    }

    OpenThroughDialog(path);
    // Far more than the disk holds, so the write stops part of the way.
    std::string large;
    for (int line = 0; large.size() < 200 * 1024; ++line)
        large += "line " + std::to_string(line) + " of a text too large for the disk\r\n";
    window.leftPane.SetText(large);
    window.OnEditChange();
    DocumentState before = State();

    driver.Queue(DialogDriver::Press(IDOK));
    window.OnSave();
    ExpectDialogsDone();
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("ファイルを保存できませんでした", driver.Seen()[1].text);
    ExpectState(before, "after the failed save");
    EXPECT_EQ(previous, Bytes(path));
    EXPECT_EQ((std::vector<std::string>{"doc.txt", "mounted"}), TempFolder::EntriesOf(disk))
        << "no temporary file is left behind";

    // The same disk takes a text that fits: it was the space that ran out.
    window.leftPane.SetText("short");
    window.OnSave();
    EXPECT_EQ(0, window.modified);
    EXPECT_EQ("short", Bytes(path));
    EXPECT_EQ((std::vector<std::string>{"doc.txt", "mounted"}), TempFolder::EntriesOf(disk));
    ::DeleteFileA(path.c_str());
}

// A recovery copy that does not fit leaves the one before it whole: path,
// encoding, line ends, caret and text.
TEST(RecoveryCopyOnAFullDisk, FailedWriteKeepsThePreviousCopy)
{
    const std::string disk = SmallDisk();
    if (disk.empty())
        GTEST_SKIP() << "no small disk mounted (needs root); run through ctest";
    const std::string path = disk + "\\copy.qrc";
    const RecoveryCopy previous{"C:\\文書\\メモ.txt", 1, 2, 7, "表示の前の文章\r\n"};
    ASSERT_TRUE(RecoveryFolder::Write(path, previous));
    RecoveryCopy large = previous;
    while (large.text.size() < 200 * 1024)
        large.text += "a text too large for the disk\r\n";
    EXPECT_FALSE(RecoveryFolder::Write(path, large));
    RecoveryCopy read;
    ASSERT_TRUE(RecoveryFolder::Read(path, &read));
    EXPECT_EQ(previous.documentPath, read.documentPath);
    EXPECT_EQ(previous.encoding, read.encoding);
    EXPECT_EQ(previous.lineEnds, read.lineEnds);
    EXPECT_EQ(previous.caret, read.caret);
    EXPECT_EQ(previous.text, read.text);
    EXPECT_EQ((std::vector<std::string>{"copy.qrc", "mounted"}), TempFolder::EntriesOf(disk));
    ::DeleteFileA(path.c_str());
}
