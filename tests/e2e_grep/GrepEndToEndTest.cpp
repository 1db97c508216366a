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
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

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

    ::PostMessageA(main, WM_COMMAND, IDM_GREP, 0);
    HWND browser = editor.WaitForOwnedDialog();
    ASSERT_NE(nullptr, browser);
    ASSERT_TRUE(SelectFolderInBrowser(browser, tree.Path(), editor.Process()));
    DialogDriver::PostCommand(browser, IDOK);

    HWND grepDialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        grepDialog = editor.OwnedDialog(browser);
        return !::IsWindow(browser) && grepDialog != nullptr && ::GetDlgItem(grepDialog, IDC_SEARCH_TEXT) != nullptr;
    }));
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
