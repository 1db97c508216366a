// The grep command end to end inside the process: real folder browser and
// grep dialog, trees made on disk, the right pane's exact bytes.
#include <map>

#include "FolderCommandFixture.h"
#include "support/UnixLink.h"
#include "util/TextEncoding.h"

namespace {

// The results the files of a tree give, in the reference walk's order.
std::string ExpectedGrep(const std::string& folder, const std::map<std::string, std::string>& byPath,
                         const std::set<std::string>& notEntered = {})
{
    std::string expected;
    for (const WalkEntry& entry : ReferenceWalk(folder, notEntered)) {
        auto found = byPath.find(entry.path);
        if (!entry.isFolder && found != byPath.end())
            expected += found->second;
    }
    return expected;
}

using GrepCommandTest = FolderCommandTest;

} // namespace

// Line ends, empty files, a zero byte past the start and a missing final
// line break: each file's lines exactly as they stand, numbered from 1.
TEST_F(GrepCommandTest, ReportsMatchingLinesOfEveryKindOfFile)
{
    std::string crlf = tree.Write("crlf.txt", "abc\r\nABC\r\nxabcx\r\n");
    std::string lf = tree.Write("lf.txt", "a\nabc\n");
    tree.Write("empty.txt", "");
    const std::string pastStart(TextEncoding::StartSize, 'q');
    std::string zero = tree.Write("zero.txt", "abc\n" + pastStart + std::string("\0abc\nabc\n", 9));
    std::string unended = tree.Write("unended.txt", "x\r\nzzabc");
    std::map<std::string, std::string> results = {
        {crlf, ResultLine(crlf, 1, "abc\r") + ResultLine(crlf, 3, "xabcx\r")},
        {lf, ResultLine(lf, 2, "abc")},
        {zero, ResultLine(zero, 1, "abc")},
        {unended, ResultLine(unended, 2, "zzabc")},
    };

    std::string pane = Grep(tree.Path(), "abc");

    EXPECT_EQ(ExpectedGrep(tree.Path(), results), pane);
    EXPECT_EQ("abc", window.grepText);
    EXPECT_EQ(1, PaneSetCount());
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

TEST_F(GrepCommandTest, EmptyTextReportsEveryLineUpToAZeroByte)
{
    std::string lf = tree.Write("lf.txt", "a\n\nb\n");
    std::string empty = tree.Write("empty.txt", "");
    const std::string pastStart(TextEncoding::StartSize, 'q');
    std::string zero = tree.Write("zero.txt", "p\r\n" + pastStart + std::string("\0r\ns\n", 5));
    std::map<std::string, std::string> results = {
        {lf, ResultLine(lf, 1, "a") + ResultLine(lf, 2, "") + ResultLine(lf, 3, "b") + ResultLine(lf, 4, "")},
        {empty, ResultLine(empty, 1, "")},
        {zero, ResultLine(zero, 1, "p\r") + ResultLine(zero, 2, pastStart)},
    };

    EXPECT_EQ(ExpectedGrep(tree.Path(), results), Grep(tree.Path(), ""));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// A single-byte text never matches the second byte of a double-byte
// character: 0x5C is the trail byte of ソ and 表, and "@" (0x40) of 機 and 宴 (0x8B40, 0x8940).
TEST_F(GrepCommandTest, MatchesOnlyWholeDoubleByteCharacters)
{
    std::string file = tree.Write("sjis.txt", "ソフト\r\n表示\r\nC:\\dir\r\n機能\r\nmail@host\r\n");

    EXPECT_EQ(ResultLine(file, 3, "C:\\dir\r"), Grep(tree.Path(), "\\"));
    EXPECT_EQ(ResultLine(file, 5, "mail@host\r"), Grep(tree.Path(), "@"));
    EXPECT_EQ(ResultLine(file, 2, "表示\r"), Grep(tree.Path(), "表示"));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// Nested folders come depth first, a folder's files before its sub-folders,
// in the order the file system gives them; hidden and system entries count.
TEST_F(GrepCommandTest, WalksNestedFoldersInEnumerationOrder)
{
    std::map<std::string, std::string> results;
    auto add = [&](const std::string& name, DWORD attributes) {
        std::string path = tree.Write(name, "one\nhit " + name + "\n");
        ASSERT_FALSE(path.empty()) << name;
        if (attributes != 0)
            ::SetFileAttributesA(path.c_str(), attributes);
        results[path] = ResultLine(path, 2, "hit " + name);
    };
    ASSERT_FALSE(tree.MakeFolder("b").empty());
    ASSERT_FALSE(tree.MakeFolder("a").empty());
    ASSERT_FALSE(tree.MakeFolder("a\\deep").empty());
    ASSERT_FALSE(tree.MakeFolder("隠し").empty());
    ::SetFileAttributesA(tree.PathOf("隠し").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ASSERT_FALSE(tree.MakeFolder("only-folders").empty());
    ASSERT_FALSE(tree.MakeFolder("only-folders\\x").empty());
    add("z.txt", 0);
    add("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    add("system.txt", FILE_ATTRIBUTE_SYSTEM);
    add("b\\b1.txt", 0);
    add("a\\a1.txt", FILE_ATTRIBUTE_READONLY);
    add("a\\deep\\d.txt", 0);
    add("隠し\\h.txt", 0);
    add("only-folders\\x\\x.txt", 0);

    std::string pane = Grep(tree.Path(), "hit");

    EXPECT_EQ(ExpectedGrep(tree.Path(), results), pane);
    EXPECT_EQ(8u, std::count(pane.begin(), pane.end(), '\n'));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// Line numbers are written whole however many digits they have.
TEST_F(GrepCommandTest, WritesLargeLineNumbersWhole)
{
    std::string lines;
    for (int i = 0; i < 1234566; ++i)
        lines += "x\n";
    std::string file = tree.Write("long.txt", lines + "needle\n");

    EXPECT_EQ(ResultLine(file, 1234567, "needle"), Grep(tree.Path(), "needle"));
}

// A file nobody may open costs only its own results: the rest of its folder
// and the sub-folders are searched, the pane gets them, then one box names it
// and the binary file that was not searched.
TEST_F(GrepCommandTest, SkipsAnUnreadableFileAndNamesItAfterwards)
{
    std::string before = tree.Write("a.txt", "abc\n");
    std::string locked = tree.Write("m.txt", "abc\n");
    std::string binary = tree.Write("n.bin", std::string("abc\n\0\0\x01", 7));
    std::string after = tree.Write("z.txt", "abc\n");
    ASSERT_FALSE(tree.MakeFolder("sub").empty());
    std::string below = tree.Write("sub\\s.txt", "abc\n");
    std::map<std::string, std::string> results = {
        {before, ResultLine(before, 1, "abc")},
        {after, ResultLine(after, 1, "abc")},
        {below, ResultLine(below, 1, "abc")},
    };
    HeldOpen hold(locked);
    ASSERT_TRUE(hold.IsHeld());

    std::string paneWhenBoxShown = "(no box)";
    bool onlyOk = false;
    driver.Queue(ChooseFolder(tree.Path())).Queue(TypeGrepText("abc"));
    driver.Queue([&](HWND box) {
        paneWhenBoxShown = Pane();
        onlyOk = ::GetDlgItem(box, IDOK) != nullptr && ::GetDlgItem(box, IDCANCEL) == nullptr &&
                 ::GetDlgItem(box, IDYES) == nullptr;
        DialogDriver::PostCommand(box, IDOK);
    });
    window.OnGrep();
    ASSERT_TRUE(FinishRun());

    std::string expected = ExpectedGrep(tree.Path(), results);
    EXPECT_EQ(expected, Pane());
    EXPECT_EQ(expected, paneWhenBoxShown);
    ASSERT_TRUE(driver.Finished()) << driver.Report();
    ASSERT_EQ(3u, driver.Seen().size());
    EXPECT_EQ("エラー", driver.Seen()[2].caption);
    EXPECT_EQ("ファイルを開けませんでした。\n" + locked + "\n\nバイナリファイルとみなして検索しませんでした。\n" + binary,
              driver.Seen()[2].text);
    EXPECT_TRUE(onlyOk);
}

TEST_F(GrepCommandTest, NamesTenSkippedFilesAndCountsTheRest)
{
    std::vector<std::unique_ptr<HeldOpen>> holds;
    for (int i = 0; i < 13; ++i) {
        std::string path = tree.Write("locked" + std::to_string(i) + ".txt", "abc\n");
        holds.push_back(std::make_unique<HeldOpen>(path));
        ASSERT_TRUE(holds.back()->IsHeld());
    }
    std::string open = tree.Write("open.txt", "abc\n");
    std::string expectedText = "ファイルを開けませんでした。";
    int named = 0;
    for (const WalkEntry& entry : ReferenceWalk(tree.Path()))
        if (entry.path != open && named++ < 10)
            expectedText += "\n" + entry.path;
    expectedText += "\nほか 3 件";

    driver.Queue(ChooseFolder(tree.Path()))
        .Queue(TypeGrepText("abc"))
        .Queue(DialogDriver::Press(IDOK));
    window.OnGrep();
    ASSERT_TRUE(FinishRun());

    EXPECT_EQ(ResultLine(open, 1, "abc"), Pane());
    ASSERT_TRUE(driver.Finished()) << driver.Report();
    ASSERT_EQ(3u, driver.Seen().size());
    EXPECT_EQ(expectedText, driver.Seen()[2].text);
}

// A folder that cannot be enumerated counts as empty and costs nothing else.
TEST_F(GrepCommandTest, TreatsAFolderThatCannotBeEnumeratedAsEmpty)
{
    std::string top = tree.Write("top.txt", "abc\n");
    ASSERT_FALSE(tree.MakeFolder("closed").empty());
    tree.Write("closed\\inside.txt", "abc\n");
    ASSERT_FALSE(tree.MakeFolder("open").empty());
    std::string inOpen = tree.Write("open\\o.txt", "abc\n");
    std::map<std::string, std::string> results = {
        {top, ResultLine(top, 1, "abc")},
        {inOpen, ResultLine(inOpen, 1, "abc")},
    };
    HeldOpen hold(tree.PathOf("closed"));
    ASSERT_TRUE(hold.IsHeld());

    EXPECT_EQ(ExpectedGrep(tree.Path(), results, {tree.PathOf("closed")}), Grep(tree.Path(), "abc"));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// Links back into the walk are not entered again; a link elsewhere is walked.
TEST_F(GrepCommandTest, EndsOnFolderLinkLoops)
{
    std::string top = tree.Write("top.txt", "abc\n");
    ASSERT_FALSE(tree.MakeFolder("s").empty());
    ASSERT_FALSE(tree.MakeFolder("other").empty());
    std::string inS = tree.Write("s\\in-s.txt", "abc\n");
    std::string inOther = tree.Write("other\\in-other.txt", "abc\n");
    UnixLink up(tree.PathOf("s\\up"), "..");
    UnixLink self(tree.PathOf("s\\self"), ".");
    UnixLink side(tree.PathOf("s\\side"), "../other");
    if (!up.IsMade() || !self.IsMade() || !side.IsMade())
        GTEST_SKIP() << "folder links cannot be made here";
    std::string viaSide = tree.PathOf("s\\side\\in-other.txt");
    std::map<std::string, std::string> results = {
        {top, ResultLine(top, 1, "abc")},
        {inS, ResultLine(inS, 1, "abc")},
        {inOther, ResultLine(inOther, 1, "abc")},
        {viaSide, ResultLine(viaSide, 1, "abc")},
    };
    std::set<std::string> loops = {tree.PathOf("s\\up"), tree.PathOf("s\\self")};

    std::string pane = Grep(tree.Path(), "abc");

    EXPECT_EQ(ExpectedGrep(tree.Path(), results, loops), pane);
    EXPECT_EQ(4u, std::count(pane.begin(), pane.end(), '\n'));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// Cancelling either dialog leaves the pane and the last grep text alone; the
// text is only asked for after a folder was chosen.
TEST_F(GrepCommandTest, CancelAtEitherDialogChangesNothing)
{
    tree.Write("a.txt", "abc\n");
    window.rightPane.SetText("kept");
    window.grepText = "before";

    driver.Queue(DialogDriver::Press(IDCANCEL));
    window.OnGrep();
    driver.Queue(ChooseFolder(tree.Path())).Queue(DialogDriver::Press(IDCANCEL));
    window.OnGrep();

    EXPECT_EQ("kept", Pane());
    EXPECT_EQ("before", window.grepText);
    ASSERT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ(3u, driver.Seen().size());
}

// No match still rewrites the pane, once.
TEST_F(GrepCommandTest, EmptyResultEmptiesThePane)
{
    tree.Write("a.txt", "abc\n");
    window.rightPane.SetText("old");
    int setsBefore = PaneSetCount();

    EXPECT_EQ("", Grep(tree.Path(), "nowhere"));
    EXPECT_EQ(setsBefore + 1, PaneSetCount());
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}
