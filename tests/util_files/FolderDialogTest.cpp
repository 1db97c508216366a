// The folder browser, shown for real and answered by DialogDriver.
//
// Wine's browser now and then fails to select a folder made moments before
// (it falls back to the desktop, whoever asks), so the round trips through
// the browser use the system's long-standing folders; what the browser is
// asked to select is checked separately, on fresh folders, from the messages
// it receives.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Win32.h"
#include "ShownDialogTest.h"
#include "support/DialogDriver.h"
#include "support/TempFolder.h"
#include "util/FolderDialog.h"

namespace {

std::string SystemFolder()
{
    char buffer[MAX_PATH] = {};
    UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

std::string WindowsFolder()
{
    char buffer[MAX_PATH] = {};
    UINT length = ::GetWindowsDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

// The path texts of the BFFM_SETSELECTIONA messages sent on this thread
// while it exists.
class SelectionRecorder {
public:
    SelectionRecorder()
    {
        active = this;
        hook = ::SetWindowsHookExA(WH_CALLWNDPROC, Record, nullptr, ::GetCurrentThreadId());
    }
    ~SelectionRecorder()
    {
        ::UnhookWindowsHookEx(hook);
        active = nullptr;
    }

    std::vector<std::string> paths;
    int nonPathSelections = 0;

private:
    static LRESULT CALLBACK Record(int code, WPARAM wParam, LPARAM lParam)
    {
        const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && active != nullptr && call->message == BFFM_SETSELECTIONA) {
            if (call->wParam)
                active->paths.push_back(reinterpret_cast<const char*>(call->lParam));
            else
                ++active->nonPathSelections;
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static SelectionRecorder* active;
    HHOOK hook = nullptr;
};

SelectionRecorder* SelectionRecorder::active = nullptr;

using FolderDialogTest = ShownDialogTest;

TEST_F(FolderDialogTest, OpensWithTheInitialFolderSelected)
{
    for (const std::string& initial : {SystemFolder(), WindowsFolder()}) {
        SCOPED_TRACE(initial);
        ASSERT_FALSE(initial.empty());
        FolderDialog dialog;
        dialog.initialFolder = initial;
        // OK at once: the answer is whatever the browser has selected.
        driver.Queue(DialogDriver::Press(IDOK));
        ASSERT_EQ(1, dialog.Show(owner)) << driver.Report();
        EXPECT_EQ(initial, dialog.GetPath());
    }
}

TEST_F(FolderDialogTest, AsksTheBrowserToSelectTheInitialFolderOnly)
{
    const std::string fresh = folder.MakeFolder("開始フォルダ");
    ASSERT_FALSE(fresh.empty());
    for (const std::string& initial : {fresh, std::string()}) {
        SCOPED_TRACE(initial);
        FolderDialog dialog;
        dialog.initialFolder = initial;
        SelectionRecorder recorder;
        driver.Queue(DialogDriver::Press(IDCANCEL));
        EXPECT_EQ(0, dialog.Show(owner));
        std::vector<std::string> expected;
        if (!initial.empty())
            expected.push_back(initial);
        EXPECT_EQ(expected, recorder.paths);
        EXPECT_EQ(0, recorder.nonPathSelections);
    }
}

TEST_F(FolderDialogTest, ReturnsTheChosenFolder)
{
    FolderDialog dialog;
    dialog.initialFolder = SystemFolder();
    const std::string chosen = WindowsFolder();
    driver.Queue(DialogDriver::ChooseFolder(chosen));
    ASSERT_EQ(1, dialog.Show(owner)) << driver.Report();
    EXPECT_EQ(chosen, dialog.GetPath());
}

TEST_F(FolderDialogTest, CancelKeepsThePath)
{
    FolderDialog dialog;
    dialog.initialFolder = SystemFolder();
    dialog.path = "C:\\earlier";
    driver.Queue(DialogDriver::Press(IDCANCEL));
    EXPECT_EQ(0, dialog.Show(owner));
    EXPECT_EQ("C:\\earlier", dialog.GetPath());
}

// Without BIF_RETURNONLYFSDIRS the browser can return a virtual folder,
// which has no path to give.
TEST_F(FolderDialogTest, VirtualFolderKeepsThePath)
{
    FolderDialog dialog;
    dialog.flags = 0;
    dialog.path = "C:\\earlier";
    driver.Queue([](HWND browser) {
        LPITEMIDLIST computer = nullptr;
        if (SUCCEEDED(::SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer))) {
            ::SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(computer));
            ::CoTaskMemFree(computer);
        }
        DialogDriver::PostCommand(browser, IDOK);
    });
    EXPECT_EQ(0, dialog.Show(owner));
    EXPECT_EQ("C:\\earlier", dialog.GetPath());
}

} // namespace
