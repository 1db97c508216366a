// The real Quorvane.exe as its own process, driven from outside the way a
// user would: open a Japanese file through the Open dialog, type, save, close.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "framework/Win32.h"
#include "support/TempFolder.h"

namespace {

const DWORD WaitLimitMs = 60000;
const WORD OpenCommand = 32773;
const WORD SaveCommand = 32775;
const int LeftPaneId = 100;
const int FileNameBoxId = 1148;

bool WaitUntil(const std::function<bool()>& done)
{
    for (DWORD waited = 0; waited < WaitLimitMs; waited += 50) {
        if (done())
            return true;
        ::Sleep(50);
    }
    return false;
}

std::string TextOf(HWND h)
{
    char text[1024] = {};
    ::GetWindowTextA(h, text, sizeof(text));
    return text;
}

std::string ExecutableFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\'));
}

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND candidate, LPARAM param)
{
    auto* search = reinterpret_cast<OwnedSearch*>(param);
    char name[16] = {};
    ::GetClassNameA(candidate, name, sizeof(name));
    if (std::strcmp(name, "#32770") == 0 && ::IsWindowVisible(candidate) &&
        ::GetWindow(candidate, GW_OWNER) == search->owner) {
        search->found = candidate;
        return FALSE;
    }
    return TRUE;
}

// The dialog or message box the main window shows now, or null.
HWND OwnedDialog(HWND owner)
{
    OwnedSearch search = {owner, nullptr};
    ::EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class EditorProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsReady());
        ASSERT_EQ(nullptr, ::FindWindowA("TestWindow", nullptr)) << "an editor is already running";
        std::string exe = ExecutableFolder() + "\\Quorvane.exe";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        ASSERT_TRUE(::CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &startup, &process))
            << exe;
        ::CloseHandle(process.hThread);
        ASSERT_TRUE(WaitUntil([this] {
            main = ::FindWindowA("TestWindow", nullptr);
            return main != nullptr && ::IsWindowVisible(main);
        })) << "the main window did not appear";
    }

    void TearDown() override
    {
        if (process.hProcess == nullptr)
            return;
        if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(process.hProcess, 1);
            ::WaitForSingleObject(process.hProcess, WaitLimitMs);
        }
        ::CloseHandle(process.hProcess);
    }

    HWND WaitForDialog()
    {
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = OwnedDialog(main)) != nullptr; });
        return dialog;
    }

    bool WaitForCaption(const std::string& caption)
    {
        return WaitUntil([&] { return TextOf(main) == caption; });
    }

    TempFolder folder;
    PROCESS_INFORMATION process = {};
    HWND main = nullptr;
};

} // namespace

TEST_F(EditorProcessTest, OpenTypeSaveAndClose)
{
    const std::string original = "日本語のテキスト\r\n表示とソフト\r\n";
    std::string path = folder.Write("日本語.txt", original);
    ASSERT_FALSE(path.empty());

    ::PostMessageA(main, WM_COMMAND, OpenCommand, 0);
    HWND dialog = WaitForDialog();
    ASSERT_NE(nullptr, dialog) << "no Open dialog";
    ::SetWindowTextA(::GetDlgItem(dialog, FileNameBoxId), path.c_str());
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane")) << TextOf(main);

    HWND pane = ::GetDlgItem(main, LeftPaneId);
    ASSERT_NE(nullptr, pane);
    ::PostMessageA(pane, WM_CHAR, 'x', 1);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane（更新）")) << TextOf(main);

    ::PostMessageA(main, WM_COMMAND, SaveCommand, 0);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane")) << TextOf(main);
    std::string saved;
    ASSERT_TRUE(TempFolder::ReadBytes(path, saved));
    EXPECT_EQ("x" + original, saved);

    // Nothing changed since the save: the exit question, OK, exit code 0.
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = WaitForDialog();
    ASSERT_NE(nullptr, box) << "no exit question";
    EXPECT_EQ("終了の確認", TextOf(box));
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process.hProcess, WaitLimitMs));
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(0u, exitCode);
}
