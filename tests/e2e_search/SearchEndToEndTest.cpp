// The real Quorvane.exe in a process of its own, driven from outside as a
// user would: a file opened into the left pane, Search through its dialog,
// Find Next to the end of the text and its not-found box, then the exit.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "framework/Win32.h"
#include "support/DialogDriver.h"
#include "support/EditorProcess.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"
#include "util/TextSearch.h"

namespace {

constexpr int SearchEditId = 1007;
constexpr WPARAM SearchCommand = 1007;
constexpr WPARAM FindNextCommand = 32781;
constexpr int MessageTextId = 65535;

bool WaitGone(HWND h)
{
    return WaitUntil([h] { return !::IsWindowVisible(h); });
}

// The selection the pane reports, in its own units (the packed result works
// across processes, where pointers would not).
std::pair<DWORD, DWORD> RawSelection(HWND pane)
{
    DWORD packed = static_cast<DWORD>(::SendMessageA(pane, EM_GETSEL, 0, 0));
    return {LOWORD(packed), HIWORD(packed)};
}

// The pane counts in bytes of its text.
std::pair<DWORD, DWORD> InControlUnits(const std::string&, size_t start, size_t end)
{
    return {static_cast<DWORD>(start), static_cast<DWORD>(end)};
}

} // namespace

TEST(SearchEndToEnd, SearchAndFindNextThroughTheWholeDocument)
{
    EditorProcess editor;
    ASSERT_TRUE(editor.Started());
    HWND main = editor.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND pane = editor.Pane(EditorProcess::LeftPaneId);
    ASSERT_NE(nullptr, pane);

    // 今日は検索の日。 / 明日も検索、あさっても検索。 over two lines, opened
    // from a file through the Open dialog.
    const std::string text = "今日は検索の日。\r\n明日も検索、あさっても検索。";
    const std::string pattern = "検索";
    TempFolder folder;
    std::string path = folder.Write("検索.txt", text);
    ASSERT_FALSE(path.empty());
    ASSERT_TRUE(editor.OpenDocument(path)) << WindowText(main);
    ASSERT_EQ(text, WindowText(pane));
    ::SendMessageA(pane, EM_SETSEL, 0, 0);

    ::PostMessageA(main, WM_COMMAND, SearchCommand, 0);
    HWND dialog = editor.WaitFor("#32770", "検索");
    ASSERT_NE(nullptr, dialog);
    ::SendMessageA(::GetDlgItem(dialog, SearchEditId), WM_SETTEXT, 0,
                   reinterpret_cast<LPARAM>(pattern.c_str()));
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitGone(dialog));

    // Every occurrence in turn, the first by Search and the rest by Find Next.
    size_t expected = FindText(text, 0, pattern);
    ASSERT_EQ(6u, expected);
    int occurrences = 0;
    while (expected != TextSearch::npos) {
        if (occurrences > 0)
            ::PostMessageA(main, WM_COMMAND, FindNextCommand, 0);
        auto wanted = InControlUnits(text, expected, expected + pattern.size());
        EXPECT_TRUE(WaitUntil([&] { return RawSelection(pane) == wanted; }))
            << "occurrence " << occurrences << " at byte " << expected;
        ++occurrences;
        expected = FindText(text, expected + pattern.size(), pattern);
    }
    EXPECT_EQ(3, occurrences);

    ::PostMessageA(main, WM_COMMAND, FindNextCommand, 0);
    HWND box = editor.WaitFor("#32770", "検索結果");
    ASSERT_NE(nullptr, box);
    EXPECT_EQ("\"検索\"は見つかりませんでした。", DialogDriver::TextOf(box, MessageTextId));
    DialogDriver::PostCommand(box, IDOK);
    ASSERT_TRUE(WaitGone(box));
    size_t last = text.size() - std::string("検索。").size();
    EXPECT_EQ(InControlUnits(text, last, last + pattern.size()), RawSelection(pane));

    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        return (question = editor.Find("#32770", "終了の確認")) != nullptr ||
               (question = editor.Find("#32770", "保存の確認")) != nullptr;
    }));
    bool unsaved = WindowText(question) == "保存の確認";
    DialogDriver::PostCommand(question, unsaved ? IDNO : IDOK);
    EXPECT_EQ(0, editor.ExitCode());
}
