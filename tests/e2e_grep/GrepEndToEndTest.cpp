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
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

namespace {

// Greps folder through the menu, the folder browser and the grep dialog;
// with a message expected, the main window's box that shows it (else null)
// and its whole text in said.
HWND Grep(EditorProcess& editor, const std::string& folder, const char* text, bool regex,
          const std::string& expected = "", std::string* said = nullptr)
{
    ::PostMessageA(editor.Main(), WM_COMMAND, IDM_GREP, 0);
    HWND browser = editor.WaitForOwnedDialog();
    if (browser == nullptr || !SelectFolderInBrowser(browser, folder, editor.Process()))
        return nullptr;
    DialogDriver::PostCommand(browser, IDOK);
    HWND dialog = nullptr;
    WaitUntil([&] { return !::IsWindow(browser) && ::GetDlgItem(dialog = editor.OwnedDialog(), IDC_SEARCH_TEXT); });
    ::SendDlgItemMessageA(dialog, IDC_SEARCH_TEXT, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    ::SendDlgItemMessageA(dialog, IDC_REGEX, BM_SETCHECK, regex ? BST_CHECKED : BST_UNCHECKED, 0);
    DialogDriver::PostCommand(dialog, IDOK);
    HWND box = nullptr;
    auto shows = [&](HWND window) { // the first owned dialog may be another window
        *said = DialogDriver::TextOf(window, 65535);
        return said->find(expected) != std::string::npos ? (box = window) : nullptr;
    };
    WaitUntil([&] { return !::IsWindow(dialog); });
    if (said != nullptr)
        WaitUntil([&] { return shows(editor.OwnedDialog()) || shows(editor.OwnedDialog(editor.OwnedDialog())); });
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

    Grep(editor, tree.Path(), "検索", false);

    HWND rightPane = editor.Pane(EditorProcess::RightPaneId);
    ASSERT_NE(nullptr, rightPane);
    // Results arrive as they are found: wait for all of them.
    EXPECT_TRUE(WaitUntil([&] { return WindowText(rightPane) == expected; }));
    EXPECT_EQ(expected, WindowText(rightPane));

    // Close through the exit question (the document is unmodified).
    EXPECT_EQ(0, editor.CloseThroughExitQuestion());
}

// A regular expression: F12 on a result lands on the match's column; a bad
// pattern is said and nothing searched; a hostile line is named at the end.
TEST(GrepEndToEnd, RegexGrepJumpsToTheMatchAndSaysWhatWentWrong)
{
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    const std::string a = tree.Write("a.txt", "first\r\nソ表 x 123-4567\r\n");
    const std::string results = a + "\t2行目 6桁目\tソ表 x 123-4567\r\n";
    EditorProcess editor;
    HWND main = editor.WaitForMainWindow();
    ASSERT_NE(nullptr, main);
    HWND right = editor.Pane(EditorProcess::RightPaneId);
    Grep(editor, tree.Path(), "\\d{3}-\\d{4}", true);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(right) == results; })) << WindowText(right);
    auto landed = [&] { // after "first\r\n" and "ソ表 x ": 7 + 7 bytes
        auto selection = static_cast<DWORD>(::SendMessageA(editor.Pane(EditorProcess::LeftPaneId), EM_GETSEL, 0, 0));
        return WindowText(main) == a + " - Quorvane" && selection == MAKELONG(14, 14);
    };
    for (int attempt = 0; attempt < 3 && !landed(); ++attempt) { // a loaded machine can lose a click or a key
        BringToFront(main);
        ClickAt(right, POINT{3, 4});
        PressChord({VK_F12});
        WaitUntil(landed, 5000);
    }
    EXPECT_TRUE(landed()) << WindowText(main);

    std::string said;
    HWND box = Grep(editor, tree.Path(), "(関数", true, "正規表現が正しくありません\n理由: ", &said);
    ASSERT_NE(nullptr, box) << said;
    EXPECT_NE(std::string::npos, said.find("\n位置: 先頭から 4 文字目")) << said;
    DialogDriver::PostCommand(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    EXPECT_EQ(results, WindowText(right)) << "nothing is searched";

    const std::string hostile = tree.Write("h.txt", std::string(5000, 'a') + "b\r\n");
    tree.Write("z.txt", "aaa\r\n");
    box = Grep(editor, tree.Path(), "(a+)+$", true, "途中で検索をやめました。\n" + hostile + " (1 行目)", &said);
    ASSERT_NE(nullptr, box) << said;
    EXPECT_NE(std::string::npos, WindowText(right).find("z.txt\t1行目 1桁目\taaa")) << "the next file is searched";
    DialogDriver::PostCommand(box, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    EXPECT_EQ(0, editor.CloseThroughExitQuestion());
}
