// The fixture of the end-to-end document tests: a temporary folder and the
// real editor started as its own process, its main window found.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/Win32.h"
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

    bool WaitForCaption(const std::string& caption)
    {
        return WaitUntil([&] { return WindowText(main) == caption; });
    }

    TempFolder folder;
    // Started in SetUp, once no other editor is seen running.
    std::unique_ptr<EditorProcess> editor;
    HWND main = nullptr;
};
