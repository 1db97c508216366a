// The editor's main window run in the test's own process: creation, layout of
// the panes, what marks the document, command routing and the exit question.
#include <gtest/gtest.h>

#include <string>

#include "app/TestApp.h"
#include "app/TestWindow.h"
#include "framework/WindowTables.h"
#include "support/BareApplication.h"
#include "support/DialogDriver.h"

namespace {

class MainWindowProbe : public TestWindow {
public:
    using TestWindow::documentPath;
    using TestWindow::leftPane;
    using TestWindow::modified;
    using TestWindow::rightPane;
};

RECT ChildRect(HWND parent, HWND child)
{
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string ClassOf(HWND h)
{
    char name[64] = {};
    ::GetClassNameA(h, name, sizeof(name));
    return name;
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(1, window.Create(nullptr, 0, 0, 640, 480));
        main = window.GetHandle();
        left = ::GetDlgItem(main, 100);
        right = ::GetDlgItem(main, 0);
    }
    void TearDown() override
    {
        if (::IsWindow(main))
            ::DestroyWindow(main);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // Sets the client width by sizing the window around it.
    void SetClientWidth(int width)
    {
        RECT r = {0, 0, width, 300};
        ::AdjustWindowRectEx(&r, WS_OVERLAPPEDWINDOW, TRUE, 0);
        ::SetWindowPos(main, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                       SWP_NOZORDER | SWP_NOMOVE);
        RECT client;
        ::GetClientRect(main, &client);
        ASSERT_EQ(width, client.right) << "the menu bar wrapped or the frame differs";
    }

    // The panes end above the status bar.
    int StatusHeight() const
    {
        RECT status = ChildRect(main, ::GetDlgItem(main, 1210));
        return ::IsWindowVisible(::GetDlgItem(main, 1210)) ? status.bottom - status.top : 0;
    }

    BareApplication app;
    MainWindowProbe window;
    HWND main = nullptr;
    HWND left = nullptr;
    HWND right = nullptr;
};

TEST_F(MainWindow, OpensCentredWithMenuAndTwoPanes)
{
    EXPECT_EQ("TestWindow", ClassOf(main));
    char caption[64] = {};
    ::GetWindowTextA(main, caption, sizeof(caption));
    EXPECT_STREQ("無題 - Quorvane", caption);
    EXPECT_EQ(0x10CF0000, ::GetWindowLongA(main, GWL_STYLE) & 0x10CF0000);
    RECT r;
    ::GetWindowRect(main, &r);
    EXPECT_EQ(192, r.left);
    EXPECT_EQ(144, r.top);
    EXPECT_EQ(640, r.right - r.left);
    EXPECT_EQ(480, r.bottom - r.top);
    ASSERT_NE(nullptr, ::GetMenu(main));
    EXPECT_EQ(4, ::GetMenuItemCount(::GetMenu(main)));

    ASSERT_NE(nullptr, left);
    ASSERT_NE(nullptr, right);
    EXPECT_EQ("Scintilla", ClassOf(left));
    EXPECT_EQ("Scintilla", ClassOf(right));
    // Scintilla draws its own scroll bars, and Wine reports the border itself.
    const DWORD paneStyle = WS_CHILD | WS_VISIBLE;
    EXPECT_EQ(paneStyle, ::GetWindowLongA(left, GWL_STYLE) & paneStyle);
    EXPECT_EQ(paneStyle, ::GetWindowLongA(right, GWL_STYLE) & paneStyle);
    EXPECT_EQ("無題", window.documentPath);
    EXPECT_EQ(0, window.modified);
}

TEST_F(MainWindow, PanesSplitTheClientAreaLeavingOneColumn)
{
    for (int width : {600, 601}) {
        SetClientWidth(width);
        RECT client;
        ::GetClientRect(main, &client);
        RECT l = ChildRect(main, left);
        RECT r = ChildRect(main, right);
        EXPECT_EQ(0, l.left) << width;
        EXPECT_EQ(300, l.right) << width << ": left pane covers columns 0 to 299";
        EXPECT_EQ(301, r.left) << width;
        EXPECT_EQ(601, r.right) << width << ": right pane ends at column 600";
        EXPECT_EQ(client.bottom - StatusHeight(), l.bottom - l.top) << width;
        EXPECT_EQ(client.bottom - StatusHeight(), r.bottom - r.top) << width;
    }
}

TEST_F(MainWindow, MinimiseShrinksThePanesAndRestoreLaysThemOutAgain)
{
    ::ShowWindow(main, SW_MINIMIZE);
    RECT l = ChildRect(main, left);
    RECT r = ChildRect(main, right);
    EXPECT_EQ(0, l.right - l.left);
    EXPECT_EQ(0, l.bottom - l.top);
    EXPECT_EQ(1, r.left);
    EXPECT_EQ(0, r.right - r.left);

    ::ShowWindow(main, SW_RESTORE);
    RECT client;
    ::GetClientRect(main, &client);
    l = ChildRect(main, left);
    r = ChildRect(main, right);
    EXPECT_EQ(client.right / 2, l.right);
    EXPECT_EQ(client.right / 2 + 1, r.left);
    EXPECT_EQ(client.bottom - StatusHeight(), r.bottom - r.top);
}

TEST_F(MainWindow, OnlyTheLeftPaneMarksTheDocument)
{
    ::SendMessageA(right, WM_CHAR, 'r', 0);
    char caption[64] = {};
    ::GetWindowTextA(main, caption, sizeof(caption));
    EXPECT_STREQ("無題 - Quorvane", caption);
    EXPECT_EQ(0, window.modified);

    ::SendMessageA(left, WM_CHAR, 'l', 0);
    ::GetWindowTextA(main, caption, sizeof(caption));
    EXPECT_STREQ("無題 - Quorvane（更新）", caption);
    EXPECT_EQ(1, window.modified);
}

TEST_F(MainWindow, CommandIdsMatchOnTheLowWordOnly)
{
    // Both dialogs are modal: the driver answers them inside SendMessageA.
    DialogDriver driver;
    driver.Queue(DialogDriver::Press(IDOK)).Queue(DialogDriver::Press(IDCANCEL));
    ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(104, 1), 0);
    ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(32773, 1), 0);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("バージョン情報", driver.Seen()[0].caption);
    EXPECT_EQ("無題", window.documentPath) << "the cancelled Open dialog changed nothing";
}

TEST_F(MainWindow, ExitQuestionKeepsTheWindowOnCancelAndClosesOnOk)
{
    DialogDriver driver;
    driver.Queue(DialogDriver::Press(IDCANCEL)).Queue(DialogDriver::Press(IDCANCEL));
    ::SendMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_TRUE(::IsWindow(main));
    ::SendMessageA(main, WM_COMMAND, 105, 0);
    EXPECT_TRUE(::IsWindow(main));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    for (const SeenDialog& question : driver.Seen()) {
        EXPECT_EQ("終了の確認", question.caption);
        EXPECT_EQ("終了しますか？", question.text);
    }

    driver.Queue(DialogDriver::Press(IDOK));
    ::SendMessageA(main, WM_COMMAND, 105, 0);
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_EQ(0u, windowTable.count(main));
    MSG msg;
    EXPECT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, msg.wParam);
}

// A class of the same name whose procedure refuses creation makes the main
// window's creation fail: the application must then end at once.
LRESULT CALLBACK RefuseCreation(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        return FALSE;
    return ::DefWindowProcA(h, message, wParam, lParam);
}

TEST(TestApplication, EndsWithMinusOneWhenTheMainWindowCannotBeMade)
{
    WNDCLASSA refusing = {};
    refusing.lpfnWndProc = RefuseCreation;
    refusing.hInstance = ::GetModuleHandleA(nullptr);
    refusing.lpszClassName = "TestWindow";
    ::UnregisterClassA("TestWindow", ::GetModuleHandleA(nullptr));
    ASSERT_NE(0, ::RegisterClassA(&refusing));
    {
        TestApp app;
        EXPECT_EQ(-1, app.Run(::GetModuleHandleA(nullptr)));
    }
    ::UnregisterClassA("TestWindow", ::GetModuleHandleA(nullptr));
}

} // namespace
