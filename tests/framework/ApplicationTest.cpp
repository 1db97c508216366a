// Application::Run, the message loop and the application pointer.
#include <gtest/gtest.h>

#include <string>

#include "FrameworkTestSupport.h"

namespace {

class QuitOnDestroyWindow : public RecordingWindow {
public:
    QuitOnDestroyWindow() : RecordingWindow("ZelkTestQuitWindow") {}
    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_DESTROY)
            ::PostQuitMessage(exitCode);
        return RecordingWindow::HandleMessage(h, message, wParam, lParam);
    }
    int exitCode = 0;
};

HWND windowToClose = nullptr;

// A thread timer's WM_TIMER has no window: only DispatchMessageA calls this.
void CALLBACK CloseOnFirstTick(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    ::DestroyWindow(windowToClose);
}

// Makes its main window, posts itself a thread message and has a timer close
// the window, so Run goes through the whole loop and back.
class ScriptedApplication : public RecordingApplication {
public:
    int OnInit() override
    {
        ++initCalls;
        if (failInit)
            return 0;
        window.exitCode = 5;
        if (window.Create(nullptr, 0, 0, 100, 100) == 0)
            return 0;
        ::PostThreadMessageA(::GetCurrentThreadId(), WM_USER + 9, 11, 22);
        windowToClose = window.GetHandle();
        ::SetTimer(nullptr, 0, 20, CloseOnFirstTick);
        return 1;
    }
    int OnExit() override
    {
        ++exitCalls;
        return 1;
    }
    LRESULT FallbackProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (h == nullptr && message == WM_USER + 9)
            threadMessageParams = static_cast<int>(wParam + lParam);
        if (h == nullptr && message == WM_TIMER)
            sawThreadTimer = true;
        return RecordingApplication::FallbackProc(h, message, wParam, lParam);
    }

    bool failInit = false;
    int initCalls = 0;
    int exitCalls = 0;
    int threadMessageParams = 0;
    bool sawThreadTimer = false;
    QuitOnDestroyWindow window;
};

TEST(ApplicationRun, FailedInitReturnsMinusOneWithoutExit)
{
    ScriptedApplication app;
    app.failInit = true;
    EXPECT_EQ(-1, app.Run(::GetModuleHandleA(nullptr)));
    EXPECT_EQ(1, app.initCalls);
    EXPECT_EQ(0, app.exitCalls);
}

TEST(ApplicationRun, ThreadMessagesReachFallbackAndAreDispatchedUntilQuit)
{
    ScriptedApplication first;
    ScriptedApplication app;
    EXPECT_EQ(&app, GetApplication()) << "the latest application object wins";
    EXPECT_EQ(5, app.Run(::GetModuleHandleA(nullptr)));
    EXPECT_EQ(1, app.exitCalls);
    EXPECT_EQ(33, app.threadMessageParams) << "thread message seen by FallbackProc";
    // The loop ended only because the thread timer was also dispatched.
    EXPECT_TRUE(app.sawThreadTimer);
    EXPECT_EQ(::GetModuleHandleA(nullptr), app.GetInstance());
}

TEST(ApplicationRun, DestroyedApplicationIsNoLongerReachable)
{
    {
        RecordingApplication app;
        EXPECT_EQ(&app, GetApplication());
    }
    EXPECT_EQ(nullptr, GetApplication());
}

TEST(ApplicationRun, ModuleDirectoryIsTheExecutablesFolder)
{
    RecordingApplication app;
    char path[MAX_PATH];
    ASSERT_NE(0u, ::GetModuleFileNameA(nullptr, path, MAX_PATH));
    std::string full(path);
    std::string directory = app.GetModuleDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ('\\', directory.back());
    EXPECT_EQ(full.substr(0, full.rfind('\\') + 1), directory);
}

} // namespace
