// Grep and the listing as a user runs them on a tree big enough to take a
// while: the main window answers and takes typing meanwhile, 中止 and the
// other commands stop the run keeping whole lines, the result limit, masks
// and excluded folders, and folders named outside code page 932.
#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <thread>

#include "FolderCommandFixture.h"
#include "app_documents/FailingAllocator.h"
#include "app/folders/FolderGrep.h"
#include "res/resource.h"
#include "support/WaitUntil.h"

namespace {

class GrepRunTest : public FolderCommandTest {
protected:
    // Many files of matching lines: the run lasts long enough to act during it.
    void MakeBigTree()
    {
        std::string lines;
        for (int i = 0; i < 10; ++i)
            lines += "hit line " + std::to_string(i) + "\r\n";
        for (int folder = 0; folder < 4; ++folder) {
            std::string name = "f" + std::to_string(folder);
            ASSERT_FALSE(tree.MakeFolder(name).empty());
            for (int file = 0; file < 100; ++file)
                tree.Write(name + "\\" + std::to_string(file) + ".txt", lines);
        }
        FolderGrep single("hit");
        single.Search(tree.Path(), full);
    }

    void StartGrep()
    {
        driver.Queue(ChooseFolder(tree.Path())).Queue(TypeGrepText("hit"));
        window.OnGrep();
        ASSERT_TRUE(window.backgroundRun.IsRunning());
    }

    // A grep whose worker has posted its end while nothing was dispatched:
    // all it found is queued and none of it is in the pane.
    void StartGrepAndFallBehind()
    {
        MakeBigTree();
        StartGrep();
        const UINT done = ProgressDialog::DoneMessage;
        MSG end;
        ASSERT_TRUE(WaitUntil([&] { return ::PeekMessageA(&end, ProgressWindow(), done, done, PM_NOREMOVE); }));
    }

    // The pane holds whole lines from the start of the full result.
    void ExpectWholeLinePrefix()
    {
        std::string pane = Pane();
        EXPECT_EQ(full.substr(0, pane.size()), pane);
        EXPECT_TRUE(pane.empty() || pane.substr(pane.size() - 2) == "\r\n");
    }

    // The dialog the main window owns that shows the run's counts.
    HWND ProgressWindow()
    {
        ProgressSearch search = {window.GetHandle(), nullptr};
        ::EnumThreadWindows(::GetCurrentThreadId(), FindProgress, reinterpret_cast<LPARAM>(&search));
        return search.found;
    }

    struct ProgressSearch {
        HWND owner;
        HWND found;
    };
    static BOOL CALLBACK FindProgress(HWND h, LPARAM state)
    {
        auto* search = reinterpret_cast<ProgressSearch*>(state);
        if (::GetWindow(h, GW_OWNER) != search->owner || ::GetDlgItem(h, IDC_PROGRESS_COUNTS) == nullptr)
            return TRUE;
        search->found = h;
        return FALSE;
    }

    std::string full;
};

} // namespace

// While the walk and the pane's filling go on, another thread's message is
// answered and typing reaches the left pane; the end equals a single call.
TEST_F(GrepRunTest, WindowAnswersDuringARunAndTheEndEqualsASingleCall)
{
    MakeBigTree();
    StartGrep();
    std::atomic<bool> answered{false};
    std::thread asker([&] {
        DWORD_PTR result = 0;
        answered = ::SendMessageTimeoutA(window.GetHandle(), WM_NULL, 0, 0, SMTO_NORMAL, 30000, &result) != 0;
    });
    EXPECT_TRUE(PumpUntil([&] { return answered.load(); }, 1));
    asker.join();
    EXPECT_TRUE(answered);
    window.leftPane.SendMessage(WM_CHAR, 'q', 0);
    EXPECT_TRUE(window.backgroundRun.IsRunning()) << "the run ended before the test could act";
    EXPECT_EQ("q", window.leftPane.GetText());

    ASSERT_TRUE(FinishRun());
    EXPECT_EQ(full, Pane());
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// 中止 keeps the whole lines found so far and says how many.
TEST_F(GrepRunTest, StopKeepsWholeLinesAndSaysHowMany)
{
    MakeBigTree();
    StartGrep();
    HWND progress = ProgressWindow();
    ASSERT_NE(nullptr, progress);
    // The stop must come between two slices: a slice may take all the rest.
    ASSERT_TRUE(PumpUntil([&] { return !Pane().empty(); }, 1));
    ASSERT_TRUE(window.backgroundRun.IsRunning()) << "the first slice took every line";
    DialogDriver::PostCommand(progress, IDCANCEL);
    std::string last;
    ASSERT_TRUE(PumpUntil([&] {
        last = DialogDriver::TextOf(progress, IDC_PROGRESS_COUNTS);
        return last.find("中止しました") != std::string::npos;
    }));
    ExpectWholeLinePrefix();
    const std::string pane = Pane();
    size_t lines = std::count(pane.begin(), pane.end(), '\n');
    std::string shown = last.substr(last.find("（") + 2);
    shown.erase(std::remove(shown.begin(), shown.end(), ','), shown.end());
    EXPECT_EQ(std::to_string(lines) + " 行）", shown);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// Grep during a run asks first: No leaves the run going, Yes stops it and
// the command goes on (here to its folder browser, cancelled).
TEST_F(GrepRunTest, ASecondGrepAsksWhetherToStopTheFirst)
{
    MakeBigTree();
    StartGrep();
    bool runningAfterNo = false;
    driver.Queue(DialogDriver::Press(IDNO));
    window.RunCommand(IDM_GREP);
    runningAfterNo = window.backgroundRun.IsRunning();
    driver.Queue(DialogDriver::Press(IDYES)).Queue(DialogDriver::Press(IDCANCEL));
    window.RunCommand(IDM_GREP);

    EXPECT_TRUE(runningAfterNo);
    EXPECT_FALSE(window.backgroundRun.IsRunning());
    ExpectWholeLinePrefix();
    ASSERT_TRUE(driver.Finished()) << driver.Report();
    ASSERT_EQ(5u, driver.Seen().size());
    EXPECT_EQ(driver.Seen()[2].text, driver.Seen()[3].text);
    EXPECT_NE(std::string::npos, driver.Seen()[2].text.find("中止しますか"));
}

// Closing asks first, with the run going on; cancelled, it goes on still.
TEST_F(GrepRunTest, CloseAsksWhileTheRunGoesOn)
{
    MakeBigTree();
    StartGrep();
    bool runningAtQuestion = false;
    driver.Queue([&](HWND box) {
        runningAtQuestion = window.backgroundRun.IsRunning();
        DialogDriver::PostCommand(box, IDCANCEL);
    });
    window.SendMessage(WM_CLOSE, 0, 0);

    EXPECT_TRUE(runningAtQuestion);
    EXPECT_TRUE(window.IsWindow());
    ExpectWholeLinePrefix();
    ASSERT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ("終了しますか？", driver.Seen().back().text);
}

// Once the user chose to close, the window goes at once, even while the
// worker is stuck in a file call; the worker ends later on its own.
TEST_F(GrepRunTest, CloseDoesNotWaitForAStuckWorker)
{
    auto ended = std::make_shared<std::atomic<bool>>(false);
    ASSERT_TRUE(window.backgroundRun.Start(window, window.rightPane, "grep検索", [ended](ResultSink&) {
        ::Sleep(20000);
        *ended = true;
        return std::string();
    }));
    driver.Queue(DialogDriver::Press(IDOK));
    window.SendMessage(WM_CLOSE, 0, 0);
    EXPECT_FALSE(window.IsWindow());
    EXPECT_FALSE(*ended) << "the close waited for the worker";
}

// Yes to the stop question with the pane far behind the worker: the lines
// not shown yet are left out, not put in at once, and their number is said.
TEST_F(GrepRunTest, StopWithABacklogLeavesItOutAndSaysHowMany)
{
    StartGrepAndFallBehind();
    driver.Queue(DialogDriver::Press(IDYES));
    EXPECT_TRUE(window.backgroundRun.AskToStop(window));
    const std::string pane = Pane();
    const auto shown = std::count(pane.begin(), pane.end(), '\n');
    const auto left = std::count(full.begin(), full.end(), '\n') - shown;
    ASSERT_GT(left, 0) << "the pane was not behind";
    EXPECT_EQ("中止しました（" + FormatCount(shown) + " 行、表示しなかった結果 " + FormatCount(left) + " 行）",
              DialogDriver::TextOf(ProgressWindow(), IDC_PROGRESS_COUNTS));
}

// Memory running out while results go into the pane ends the run with one
// box; the program goes on.
TEST_F(GrepRunTest, OutOfMemoryWhileAppendingShowsOneBox)
{
    StartGrepAndFallBehind();
    driver.Queue(DialogDriver::Press(IDOK));
    {
        FailingAllocator failing(16 * 1024);
        PumpUntil([&] { return !window.backgroundRun.IsRunning(); }, 1);
    }
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ("メモリが足りません", driver.Seen().back().text);
}

TEST_F(GrepRunTest, ResultLimitKeepsWholeLinesAndSaysWhere)
{
    std::string file = tree.Write("a.txt", "hit 1\nhit 2\nhit 3\nhit 4\n");
    std::string first3 = ResultLine(file, 1, "hit 1") + ResultLine(file, 2, "hit 2") + ResultLine(file, 3, "hit 3");
    window.backgroundRun.SetResultLimit(first3.size() + 5);
    driver.Queue(ChooseFolder(tree.Path())).Queue(TypeGrepText("hit")).Queue(DialogDriver::Press(IDOK));
    window.OnGrep();
    ASSERT_TRUE(FinishRun());

    EXPECT_EQ(first3, Pane());
    ASSERT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ("結果が多すぎるため、3 行で打ち切りました", driver.Seen().back().text);
}

// The dialog's masks, excluded folders and search options reach the run and
// are shown again next time.
TEST_F(GrepRunTest, MasksAndExcludedFoldersChooseTheFiles)
{
    std::map<std::string, bool> files = {
        {"a.c", true}, {"b.H", true}, {"c.txt", false}, {".git\\x.c", false},
        {"node_modules\\y.c", false}, {"sub\\Node_Modules\\z.c", false}, {"sub\\d.c", true},
        {"e.c", false}, // holds "hits": not the whole word
    };
    for (const char* folder : {".git", "node_modules", "sub", "sub\\Node_Modules"})
        ASSERT_FALSE(tree.MakeFolder(folder).empty());
    std::set<std::string> taken;
    for (const auto& file : files) {
        std::string path = tree.Write(file.first, file.first == "e.c" ? "hits\n" : "hit\n");
        if (file.second)
            taken.insert(ResultLine(path, 1, "hit"));
    }
    auto typeAll = [](HWND dialog) {
        ::SetDlgItemTextA(dialog, IDC_SEARCH_TEXT, "HIT");
        ::CheckDlgButton(dialog, IDC_MATCH_CASE, BST_UNCHECKED);
        ::CheckDlgButton(dialog, IDC_WHOLE_WORD, BST_CHECKED);
        ::SetDlgItemTextA(dialog, IDC_GREP_MASK, "*.c;*.h");
        ::SetDlgItemTextA(dialog, IDC_GREP_EXCLUDE, ".git;node_modules");
        DialogDriver::PostCommand(dialog, IDOK);
    };
    std::string masksShown;
    std::string excludedShown;
    UINT matchCaseShown = BST_CHECKED;
    UINT wholeWordShown = BST_UNCHECKED;
    auto readBack = [&](HWND dialog) {
        matchCaseShown = ::IsDlgButtonChecked(dialog, IDC_MATCH_CASE);
        wholeWordShown = ::IsDlgButtonChecked(dialog, IDC_WHOLE_WORD);
        masksShown = DialogDriver::TextOf(dialog, IDC_GREP_MASK);
        excludedShown = DialogDriver::TextOf(dialog, IDC_GREP_EXCLUDE);
        DialogDriver::PostCommand(dialog, IDCANCEL);
    };
    driver.Queue(ChooseFolder(tree.Path())).Queue(typeAll);
    window.OnGrep();
    ASSERT_TRUE(FinishRun());
    driver.Queue(ChooseFolder(tree.Path())).Queue(readBack);
    window.OnGrep();

    std::string pane = Pane();
    std::set<std::string> got;
    for (size_t at = 0; at < pane.size();) {
        size_t end = pane.find("\r\n", at) + 2;
        got.insert(pane.substr(at, end - at));
        at = end;
    }
    EXPECT_EQ(taken, got);
    EXPECT_EQ("*.c;*.h", masksShown);
    EXPECT_EQ(".git;node_modules", excludedShown);
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), matchCaseShown);
    EXPECT_EQ(static_cast<UINT>(BST_CHECKED), wholeWordShown);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
}

// A folder named in a script code page 932 cannot spell is searched through
// its short name, or, without one, named among the skipped files.
TEST_F(GrepRunTest, FolderOutsideTheCodePageIsSearchedOrNamed)
{
    const std::wstring wideTree(tree.Path().begin(), tree.Path().end());
    const std::wstring folder = wideTree + L"\\\uD55C";
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    HANDLE file = ::CreateFileW((folder + L"\\hit.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ::WriteFile(file, "hit\n", 4, &written, nullptr);
    ::CloseHandle(file);
    std::string box;
    driver.Queue(ChooseFolder(tree.Path())).Queue(TypeGrepText("hit"));
    driver.Queue([&](HWND dialog) {
        box = DialogDriver::TextOf(dialog, 0xFFFF);
        DialogDriver::PostCommand(dialog, IDOK);
    });
    window.OnGrep();
    ASSERT_TRUE(FinishRun());

    std::string pane = Pane();
    bool found = pane.find("\\hit.txt\t1行目\thit\r\n") != std::string::npos && pane.find('?') == std::string::npos;
    bool named = box.find(tree.Path() + "\\?") != std::string::npos;
    EXPECT_TRUE(found != named) << "pane: " << pane << "\nbox: " << box;
    ::DeleteFileW((folder + L"\\hit.txt").c_str());
    ::RemoveDirectoryW(folder.c_str());
}
