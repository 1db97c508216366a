// The framework among other code on the thread: its creation hook passes on
// what it does not use, and operations whose system call failed say so.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "framework/Menu.h"
#include "FrameworkTestSupport.h"

namespace {

std::vector<HWND> creationsSeen;

LRESULT CALLBACK OtherHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND)
        creationsSeen.push_back(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

bool Contains(const std::vector<HWND>& handles, HWND h)
{
    for (HWND seen : handles)
        if (seen == h)
            return true;
    return false;
}

// Makes a plain child while its own creation hook is still installed.
class ParentOfPlainChild : public RecordingWindow {
public:
    ParentOfPlainChild() : RecordingWindow("ZelkTestHookChain") {}
    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
            ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, h, nullptr,
                              ::GetModuleHandleA(nullptr), nullptr);
        return RecordingWindow::HandleMessage(h, message, wParam, lParam);
    }
};

TEST(CreationHook, PassesOnTheCreationsItDoesNotBind)
{
    RecordingApplication app;
    HHOOK other = ::SetWindowsHookExA(WH_CBT, OtherHook, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, other);
    creationsSeen.clear();
    ParentOfPlainChild parent;
    ASSERT_EQ(1, parent.Create(nullptr, 0, 0, 100, 100));
    ::UnhookWindowsHookEx(other);
    HWND child = ::GetWindow(parent.GetHandle(), GW_CHILD);
    ASSERT_NE(nullptr, child);
    EXPECT_TRUE(Contains(creationsSeen, child)) << "the child's creation is passed on";
    EXPECT_FALSE(Contains(creationsSeen, parent.GetHandle())) << "the bound creation is not";
    parent.DestroyWindow();
}

TEST(FailedCalls, AreReportedAsFailures)
{
    RecordingApplication app;
    RecordingWindow plain("ZelkTestFontless");
    ASSERT_EQ(1, plain.Create(nullptr, 0, 0, 100, 100));
    Window edit;
    edit.Attach(::CreateWindowExA(0, "Edit", "", WS_POPUP, 0, 0, 100, 20, nullptr, nullptr,
                                  ::GetModuleHandleA(nullptr), nullptr));
    edit.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), 0);
    Menu destroyed;
    ASSERT_EQ(1, destroyed.CreatePopup());
    ::DestroyMenu(destroyed.GetHandle());
    Menu popup;
    ASSERT_EQ(1, popup.CreatePopup());
    LOGFONTA font = {};
    struct Case {
        const char* label;
        std::function<int()> call;
        int expected;
    } cases[] = {
        {"font of a window with the system font", [&] { return plain.GetFontInfo(&font); }, 0},
        {"font of an Edit given a font", [&] { return edit.GetFontInfo(&font); }, 1},
        {"item appended to a destroyed menu", [&] { return destroyed.AppendItem(1, "項目"); }, 0},
        {"item appended to a popup", [&] { return popup.AppendItem(1, "項目"); }, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.call()) << c.label;
    popup.Destroy();
    plain.DestroyWindow();
    edit.DestroyWindow();
}

} // namespace
