// The fixture of the end-to-end document tests: a temporary folder and the
// real editor started as its own process, its main window found.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Win32.h"
#include "support/DialogDriver.h"
#include "support/EditorProcess.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

// The editor's menu commands and the Open dialog's file-name box.
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

    void Open(const std::string& path)
    {
        ::PostMessageA(main, WM_COMMAND, OpenCommand, 0);
        HWND dialog = editor->WaitForOwnedDialog();
        ASSERT_NE(nullptr, dialog) << "no Open dialog";
        ::SetWindowTextA(::GetDlgItem(dialog, FileNameBoxId), path.c_str());
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    }

    // Waits for a box of the editor, answers it and waits until it is gone;
    // its text, or "" when none came.
    std::string Answer(const char* caption, int button, bool* defaultIsNo = nullptr)
    {
        HWND box = editor->WaitForOwnedDialog();
        if (box == nullptr)
            return "";
        EXPECT_EQ(caption, WindowText(box));
        if (defaultIsNo != nullptr)
            *defaultIsNo = (::GetWindowLongPtrA(::GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        const std::string text = DialogDriver::TextOf(box, 0xFFFF);
        DialogDriver::PostCommand(box, button);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
        return text;
    }

    // The command has run to its end once the editor answers a sent message.
    void Settle() { ::SendMessageA(main, WM_NULL, 0, 0); }

    bool WaitForCaption(const std::string& caption)
    {
        return WaitUntil([&] { return WindowText(main) == caption; });
    }

    TempFolder folder;
    // Started in SetUp, once no other editor is seen running.
    std::unique_ptr<EditorProcess> editor;
    HWND main = nullptr;
};
