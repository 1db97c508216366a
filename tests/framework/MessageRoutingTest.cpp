// WindowProcedure: routing to objects, the fallback for unbound handles,
// subclassing, and what WM_DESTROY undoes.
#include <gtest/gtest.h>

#include "framework/Control.h"
#include "framework/WindowTables.h"
#include "FrameworkTestSupport.h"

namespace {

// A window class of our own, outside the framework, whose procedure counts
// the messages it is given.
int rawProcCalls = 0;
std::vector<UINT> rawProcMessages;

LRESULT CALLBACK RawProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    ++rawProcCalls;
    rawProcMessages.push_back(message);
    return ::DefWindowProcA(h, message, wParam, lParam);
}

HWND CreateRawWindow()
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = RawProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = "ZelkTestRawClass";
        registered = ::RegisterClassA(&wc) != 0;
    }
    rawProcCalls = 0;
    rawProcMessages.clear();
    return ::CreateWindowExA(0, "ZelkTestRawClass", "raw", WS_POPUP, 0, 0, 10, 10, nullptr,
                             nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

class MessageRouting : public ::testing::Test {
protected:
    RecordingApplication app;
};

class DestroyWatcher : public RecordingWindow {
public:
    DestroyWatcher() : RecordingWindow("ZelkTestDestroyWatcher") {}
    void OnDestroy(HWND h) override
    {
        entryPresentAtDestroy = windowTable.count(h) != 0;
        // A message sent while WM_DESTROY is handled already finds no object.
        ::SendMessageA(h, WM_USER + 7, 0, 0);
    }
    bool entryPresentAtDestroy = true;
};

TEST_F(MessageRouting, DestroyUnbindsBeforeTheHandlerRuns)
{
    DestroyWatcher window;
    ASSERT_EQ(1, window.Create(nullptr, 0, 0, 100, 100));
    HWND h = window.GetHandle();
    window.DestroyWindow();

    EXPECT_TRUE(window.Received(WM_DESTROY));
    EXPECT_FALSE(window.entryPresentAtDestroy);
    EXPECT_FALSE(window.Received(WM_USER + 7));
    EXPECT_TRUE(app.FallbackSaw(h, WM_USER + 7));
    EXPECT_FALSE(window.Received(WM_NCDESTROY));
    EXPECT_TRUE(app.FallbackSaw(h, WM_NCDESTROY));
    EXPECT_EQ(0u, windowTable.count(h));
}

class ProcWatcher : public RecordingWindow {
public:
    void OnDestroy(HWND h) override
    {
        procAtDestroy = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(h, GWLP_WNDPROC));
    }
    WNDPROC procAtDestroy = nullptr;
};

TEST_F(MessageRouting, SubclassedAttachedWindowReachesObjectThenOldProcedure)
{
    HWND h = CreateRawWindow();
    ASSERT_NE(nullptr, h);
    ProcWatcher window;
    window.Attach(h);
    ASSERT_EQ(1, window.Subclass());
    EXPECT_EQ(RawProc, window.prevWindowProc);

    rawProcCalls = 0;
    ::SendMessageA(h, WM_USER + 1, 0, 0);
    EXPECT_TRUE(window.Received(WM_USER + 1));
    EXPECT_EQ(1, rawProcCalls) << "default processing goes to the saved procedure";

    ::DestroyWindow(h);
    EXPECT_TRUE(window.Received(WM_DESTROY));
    EXPECT_EQ(RawProc, window.procAtDestroy);
    EXPECT_FALSE(window.Received(WM_NCDESTROY));
    EXPECT_EQ(0u, windowTable.count(h));
}

TEST_F(MessageRouting, SubclassedButUnattachedWindowGoesToTheFallback)
{
    HWND h = CreateRawWindow();
    ASSERT_NE(nullptr, h);
    RecordingWindow window;
    window.Attach(h);
    ASSERT_EQ(1, window.Subclass());
    windowTable.erase(h); // bound object without a table entry: never routed

    rawProcCalls = 0;
    ::SendMessageA(h, WM_USER + 2, 0, 0);
    EXPECT_TRUE(app.FallbackSaw(h, WM_USER + 2));
    EXPECT_FALSE(window.Received(WM_USER + 2));
    EXPECT_EQ(0, rawProcCalls);
    // Nothing restores the procedure: put it back so the window can close.
    ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RawProc));
    ::DestroyWindow(h);
}

TEST_F(MessageRouting, SubclassedDialogItemIsDestroyedWithItsWindow)
{
    RecordingWindow parent("ZelkTestItemParent");
    ASSERT_EQ(1, parent.Create(nullptr, 0, 0, 100, 100));
    HWND child = ::CreateWindowExA(0, "BUTTON", "item", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20,
                                   parent.GetHandle(), reinterpret_cast<HMENU>(42),
                                   ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, child);

    size_t ownedBefore = FrameworkOwnedWindowCount();
    Control* item = parent.GetDlgItem(42);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(item, parent.GetDlgItem(42)) << "the same child gives the same object";
    EXPECT_EQ(nullptr, parent.GetDlgItem(43));
    EXPECT_EQ(ownedBefore + 1, FrameworkOwnedWindowCount());
    EXPECT_EQ(item, controlTable.at(child));
    EXPECT_EQ(child, item->GetHandle());
    EXPECT_EQ(parent.GetHandle(), item->GetParent()->GetHandle());
    EXPECT_EQ(&parent, item->GetParent());

    ASSERT_EQ(1, item->Subclass());
    ::SendMessageA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed"));
    char text[16] = {};
    ::GetWindowTextA(child, text, sizeof(text));
    EXPECT_STREQ("changed", text) << "the button's own procedure still runs";

    ::DestroyWindow(child);
    EXPECT_EQ(ownedBefore, FrameworkOwnedWindowCount());
    EXPECT_EQ(0u, controlTable.count(child));
    EXPECT_EQ(0u, windowTable.count(child));
    parent.DestroyWindow();
}

TEST_F(MessageRouting, ParentWithoutObjectGetsAFrameworkOwnedWindow)
{
    HWND raw = CreateRawWindow();
    ASSERT_NE(nullptr, raw);
    HWND child = ::CreateWindowExA(0, "BUTTON", "c", WS_CHILD, 0, 0, 5, 5, raw, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    Control control;
    control.Attach(child);
    Window* parentObject = control.GetParent();
    ASSERT_NE(nullptr, parentObject);
    EXPECT_EQ(raw, parentObject->GetHandle());
    EXPECT_EQ(parentObject, control.GetParent()) << "found in windowTable the second time";
    ::DestroyWindow(raw);
}

TEST_F(MessageRouting, UnboundFrameworkClassWindowGoesToTheFallback)
{
    RecordingWindow registrar("ZelkTestUnbound");
    ASSERT_EQ(1, registrar.Create(nullptr, 0, 0, 10, 10));
    HWND stray = ::CreateWindowExA(0, "ZelkTestUnbound", "stray", WS_POPUP, 0, 0, 10, 10,
                                   nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, stray);
    EXPECT_TRUE(app.FallbackSaw(stray, WM_NCCREATE));
    EXPECT_TRUE(app.FallbackSaw(stray, WM_CREATE));
    ::DestroyWindow(stray);
    registrar.DestroyWindow();
}

} // namespace
