// The grep command of the real Quorvane.exe, driven from this separate
// process the way a user would: menu command, folder browser, grep dialog;
// the right pane's text is read back from outside.
#include <gtest/gtest.h>

#include <string>

#include "framework/Win32.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/EditorProcess.h"
#include "support/FolderBrowserSelection.h"
#include "support/KeyInput.h"
#include "support/PaneProbe.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

namespace {

// The grep command through the menu and the real folder browser, up to the
// grep dialog, given the folder; null when it did not come.
HWND OpenGrepDialog(EditorProcess& editor, const std::string& folder)
{
    ::PostMessageA(editor.Main(), WM_COMMAND, IDM_GREP, 0);
    HWND browser = editor.WaitForOwnedDialog();
    if (browser == nullptr || !SelectFolderInBrowser(browser, folder, editor.Process()))
        return nullptr;
    DialogDriver::PostCommand(browser, IDOK);
    HWND grepDialog = nullptr;
    WaitUntil([&] {
        grepDialog = editor.OwnedDialog(browser);
        return !::IsWindow(browser) && grepDialog != nullptr && ::GetDlgItem(grepDialog, IDC_SEARCH_TEXT) != nullptr;
    });
    return ::GetDlgItem(grepDialog, IDC_SEARCH_TEXT) != nullptr ? grepDialog : nullptr;
}

// Greps folder for a regular expression through the dialog; false when the
// dialog did not come.
bool GrepRegex(EditorProcess& editor, const std::string& folder, const char* pattern)
{
    HWND grepDialog = OpenGrepDialog(editor, folder);
    if (grepDialog == nullptr)
        return false;
    ::SendMessageA(::GetDlgItem(grepDialog, IDC_SEARCH_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(pattern));
    ::SendDlgItemMessageA(grepDialog, IDC_REGEX, BM_SETCHECK, BST_CHECKED, 0);
    DialogDriver::PostCommand(grepDialog, IDOK);
    return WaitUntil([&] { return !::IsWindow(grepDialog); });
}

// The message box the main window shows next (not the run's progress
// window), or null; its text in said.
HWND WaitForMessageBox(const EditorProcess& editor, std::string* said)
{
    const int messageText = 65535;
    HWND box = nullptr;
    WaitUntil([&] {
        box = editor.OwnedDialog();
        return box != nullptr && ::GetDlgItem(box, IDC_PROGRESS_COUNTS) == nullptr &&
               ::GetDlgItem(box, messageText) != nullptr;
    });
    *said = box != nullptr ? DialogDriver::TextOf(box, messageText) : std::string();
    return box;
}

} // namespace

TEST(GrepEndToEnd, GrepsAPreparedTreeInTheRealEditor)
{
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    std::string a = tree.Write("a.txt", "first\r\n検索する行\r\nlast\r\n");
    ASSERT_FALSE(tree.MakeFolder("sub").empty());
    std::string b = tree.Write("sub\\b.txt", "x\n検索\n");
    tree.Write("sub\\c.txt", "nothing here\n");
    std::string expected = a + "\t2行目\t検索する行\r\n" + b + "\t2行目\t検索\r\n";

    EditorProcess editor;
    ASSERT_TRUE(editor.Started());
    HWND main = editor.WaitForMainWindow();
    ASSERT_NE(nullptr, main);

    HWND grepDialog = OpenGrepDialog(editor, tree.Path());
    ASSERT_NE(nullptr, grepDialog);
    ::SendMessageA(::GetDlgItem(grepDialog, IDC_SEARCH_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("検索"));
    DialogDriver::PostCommand(grepDialog, IDOK);

    HWND rightPane = editor.Pane(EditorProcess::RightPaneId);
    ASSERT_NE(nullptr, rightPane);
    // Results arrive as they are found: wait for all of them.
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(grepDialog) && WindowText(rightPane) == expected; }));
    EXPECT_EQ(expected, WindowText(rightPane));

    // Close through the exit question (the document is unmodified).
    EXPECT_EQ(0, editor.CloseThroughExitQuestion());
}

// A regular expression: F12 on a result puts the caret on the match's
// column; a pattern that does not compile is said and nothing is searched;
// a line the engine gives up on is named among the problems while the
// window answers.
TEST(GrepEndToEnd, RegexGrepJumpsToTheMatchAndSaysWhatWentWrong)
{
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    const std::string a = tree.Write("a.txt", "first\r\nソ表 x 123-4567\r\n");
    const std::string results = a + "\t2行目 6桁目\tソ表 x 123-4567\r\n";
    EditorProcess editor;
    ASSERT_TRUE(editor.Started());
    HWND main = editor.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND left = editor.Pane(EditorProcess::LeftPaneId);
    HWND right = editor.Pane(EditorProcess::RightPaneId);

    ASSERT_TRUE(GrepRegex(editor, tree.Path(), "\\d{3}-\\d{4}"));
    ASSERT_TRUE(WaitUntil([&] { return WindowText(right) == results; })) << WindowText(right);
    ASSERT_TRUE(PutCaretOnLine(main, right, 0));
    PressChord({VK_F12});
    // "first\r\n" and "ソ表 x " before the match: 7 + 7 bytes.
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == a + " - Quorvane" && SelectionOf(left) == std::pair(14, 14); }))
        << WindowText(main) << " " << SelectionOf(left).first;

    ASSERT_TRUE(GrepRegex(editor, tree.Path(), "(関数"));
    std::string said;
    HWND bad = WaitForMessageBox(editor, &said);
    ASSERT_NE(nullptr, bad);
    EXPECT_EQ(0u, said.find("正規表現が正しくありません\n理由: ")) << said;
    EXPECT_NE(std::string::npos, said.find("\n位置: 先頭から 4 文字目")) << said;
    DialogDriver::PostCommand(bad, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(bad); }));
    EXPECT_EQ(results, WindowText(right)) << "nothing is searched";

    const std::string hostile = tree.Write("h.txt", std::string(5000, 'a') + "b\r\n");
    tree.Write("z.txt", "aaa\r\n");
    ASSERT_TRUE(GrepRegex(editor, tree.Path(), "(a+)+$"));
    HWND problems = WaitForMessageBox(editor, &said);
    ASSERT_NE(nullptr, problems);
    DWORD_PTR answer = 0;
    EXPECT_NE(0, ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
    EXPECT_NE(std::string::npos,
              said.find("正規表現の処理が上限を超えたため、途中で検索をやめました。\n" + hostile + " (1 行目)"))
        << said;
    EXPECT_NE(std::string::npos, WindowText(right).find("z.txt\t1行目 1桁目\taaa")) << "the next file is searched";
    DialogDriver::PostCommand(problems, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(problems); }));
    EXPECT_EQ(0, editor.CloseThroughExitQuestion());
}
