// The real Quorvane.exe as its own process, driven from outside the way a
// user would: open a Japanese file through the Open dialog, type, save, close.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Win32.h"
#include "support/DialogDriver.h"
#include "support/EditorProcess.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

namespace {

const WORD OpenCommand = 32773;
const WORD SaveCommand = 32775;
const int FileNameBoxId = 1148;

class EditorProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsReady());
        ASSERT_EQ(nullptr, ::FindWindowA("TestWindow", nullptr)) << "an editor is already running";
        editor = std::make_unique<EditorProcess>();
        ASSERT_TRUE(editor->Started()) << EditorProcess::Path();
        main = editor->WaitForMainWindow();
        ASSERT_NE(nullptr, main) << "the main window did not appear";
    }

    bool WaitForCaption(const std::string& caption)
    {
        return WaitUntil([&] { return WindowText(main) == caption; });
    }

    TempFolder folder;
    // Started in SetUp, once no other editor is seen running.
    std::unique_ptr<EditorProcess> editor;
    HWND main = nullptr;
};

} // namespace

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
