// Files dropped on the main window, run in the test's own process: a
// WM_DROPFILES built as the shell builds it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/TestWindow.h"
#include "framework/Application.h"
#include "support/BareApplication.h"
#include "support/DialogDriver.h"
#include "support/TempFolder.h"
#include "support/WindowText.h"

#include <shlobj.h>

namespace {

// A drop of one path; the window frees it with DragFinish.
HDROP MakeDrop(const std::string& path)
{
    size_t size = sizeof(DROPFILES) + path.size() + 2;
    HGLOBAL memory = ::GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), path.c_str(), path.size());
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

} // namespace

TEST(DropFiles, TheFirstFileOpensThroughTheQuestionAndAFolderDoesNothing)
{
    TempFolder folder;
    ASSERT_TRUE(folder.IsReady());
    std::string first = folder.Write("first.txt", "first text");
    std::string second = folder.Write("second.txt", "second text");
    std::string sub = folder.MakeFolder("sub");

    BareApplication app;
    TestWindow window;
    ASSERT_EQ(1, window.Create(nullptr, 0, 0, 640, 480));
    HWND main = window.GetHandle();
    HWND left = ::GetDlgItem(main, 100);
    EXPECT_NE(0, ::GetWindowLongA(main, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);

    ::SendMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(first)), 0);
    EXPECT_EQ("first text", WindowText(left));
    EXPECT_EQ(first + " - Quorvane", WindowText(main));

    ::SendMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(sub)), 0);
    EXPECT_EQ(first + " - Quorvane", WindowText(main)) << "a folder is no document";

    // A modified document asks first; Cancel keeps it, No lets the drop in.
    ::SendMessageA(left, WM_CHAR, 'x', 0);
    DialogDriver driver;
    driver.Queue(DialogDriver::Press(IDCANCEL)).Queue(DialogDriver::Press(IDNO));
    ::SendMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(second)), 0);
    EXPECT_NE(std::string::npos, WindowText(main).find("（更新）"));
    ::SendMessageA(main, WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(second)), 0);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_EQ("second text", WindowText(left));
    EXPECT_EQ(second + " - Quorvane", WindowText(main));
    ::DestroyWindow(main);
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}
