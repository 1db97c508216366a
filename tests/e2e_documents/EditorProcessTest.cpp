// The real Quorvane.exe as its own process, driven from outside the way a
// user would: open a Japanese file through the Open dialog, type, save, close.
#include "EditorProcessTest.h"
#include "support/DialogDriver.h"

TEST_F(EditorProcessTest, OpenTypeSaveAndClose)
{
    const std::string original = "日本語のテキスト\r\n表示とソフト\r\n";
    std::string path = folder.Write("日本語.txt", original);
    ASSERT_FALSE(path.empty());

    ::PostMessageA(main, WM_COMMAND, OpenCommand, 0);
    HWND dialog = editor->WaitForOwnedDialog();
    ASSERT_NE(nullptr, dialog) << "no Open dialog";
    ::SetWindowTextA(::GetDlgItem(dialog, FileNameBoxId), path.c_str());
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane")) << WindowText(main);

    HWND pane = editor->Pane(EditorProcess::LeftPaneId);
    ASSERT_NE(nullptr, pane);
    ::PostMessageA(pane, WM_CHAR, 'x', 1);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane（更新）")) << WindowText(main);

    ::PostMessageA(main, WM_COMMAND, SaveCommand, 0);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane")) << WindowText(main);
    std::string saved;
    ASSERT_TRUE(TempFolder::ReadBytes(path, saved));
    EXPECT_EQ("x" + original, saved);

    // Nothing changed since the save: the exit question, OK, exit code 0.
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = editor->WaitForOwnedDialog();
    ASSERT_NE(nullptr, box) << "no exit question";
    EXPECT_EQ("終了の確認", WindowText(box));
    DialogDriver::PostCommand(box, IDOK);
    EXPECT_EQ(0, editor->ExitCode());
}
