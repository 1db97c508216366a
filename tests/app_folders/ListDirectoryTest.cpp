// The directory listing command with the real folder browser, on trees made
// on disk: the right pane's exact bytes.
#include "FolderCommandFixture.h"
#include "support/UnixLink.h"

namespace {
using ListDirectoryTest = FolderCommandTest;
} // namespace

TEST_F(ListDirectoryTest, ListsFilesThenEachSubFolderWithItsContents)
{
    tree.Write("b.txt", "x");
    ASSERT_FALSE(tree.MakeFolder("s").empty());
    tree.Write("s\\c.txt", "");

    EXPECT_EQ(tree.PathOf("b.txt") + "\r\n" + tree.PathOf("s") + "\r\n" + tree.PathOf("s\\c.txt") + "\r\n",
              List(tree.Path()));
    EXPECT_EQ(1, PaneSetCount());
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

TEST_F(ListDirectoryTest, EmptyFolderEmptiesThePane)
{
    window.rightPane.SetText("old");
    int setsBefore = PaneSetCount();

    EXPECT_EQ("", List(tree.Path()));
    EXPECT_EQ(setsBefore + 1, PaneSetCount());
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// Folders only, hidden and system entries, Japanese names (ソ and 表 end in
// the byte 0x5C, which is no separator): everything is listed in enumeration
// order, an empty folder as its own line only.
TEST_F(ListDirectoryTest, ListsFoldersAndHiddenEntriesInWalkOrder)
{
    for (const char* folder : {"p", "p\\q", "p\\q\\r", "empty", "隠し", "ソ", "表"})
        ASSERT_FALSE(tree.MakeFolder(folder).empty()) << folder;
    tree.Write("隠し\\秘密.txt", "");
    tree.Write("ソ\\a.txt", "");
    tree.Write("表\\b.txt", "");
    tree.Write("p\\q\\r\\leaf.txt", "");
    ::SetFileAttributesA(tree.PathOf("隠し").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesA(tree.PathOf("隠し\\秘密.txt").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

    std::string pane = List(tree.Path());

    EXPECT_EQ(ExpectedListing(tree.Path()), pane);
    EXPECT_EQ(11u, std::count(pane.begin(), pane.end(), '\n'));
    EXPECT_NE(std::string::npos, pane.find(tree.PathOf("ソ\\a.txt") + "\r\n"));
    EXPECT_NE(std::string::npos, pane.find(tree.PathOf("表\\b.txt") + "\r\n"));
    EXPECT_EQ(std::string::npos, pane.find("\\.\r\n"));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// A folder path that already ends in a separator, as a drive root does, is
// joined as it stands.
TEST_F(ListDirectoryTest, JoinsPathsByPlainConcatenation)
{
    tree.Write("f.txt", "");

    EXPECT_EQ(tree.Path() + "\\\\f.txt\r\n", window.ListDirectory(tree.Path() + "\\"));
}

TEST_F(ListDirectoryTest, ListsAFolderThatCannotBeEnumeratedAsEmpty)
{
    ASSERT_FALSE(tree.MakeFolder("closed").empty());
    tree.Write("closed\\inside.txt", "");
    tree.Write("after.txt", "");
    HeldOpen hold(tree.PathOf("closed"));
    ASSERT_TRUE(hold.IsHeld());

    EXPECT_EQ(ExpectedListing(tree.Path(), {tree.PathOf("closed")}), List(tree.Path()));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

TEST_F(ListDirectoryTest, ListsLinksBackIntoTheWalkWithoutEnteringThem)
{
    ASSERT_FALSE(tree.MakeFolder("s").empty());
    ASSERT_FALSE(tree.MakeFolder("other").empty());
    tree.Write("other\\o.txt", "");
    UnixLink up(tree.PathOf("s\\up"), "..");
    UnixLink side(tree.PathOf("s\\side"), "../other");
    if (!up.IsMade() || !side.IsMade())
        GTEST_SKIP() << "folder links cannot be made here";

    std::string pane = List(tree.Path());

    EXPECT_EQ(ExpectedListing(tree.Path(), {tree.PathOf("s\\up")}), pane);
    EXPECT_NE(std::string::npos, pane.find(tree.PathOf("s\\side\\o.txt") + "\r\n"));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

TEST_F(ListDirectoryTest, CancelChangesNothing)
{
    window.rightPane.SetText("kept");
    int setsBefore = PaneSetCount();

    driver.Queue(DialogDriver::Press(IDCANCEL));
    window.OnListDirectory();

    EXPECT_EQ("kept", Pane());
    EXPECT_EQ(setsBefore, PaneSetCount());
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}
