// Class registration, creation and the binding of a new window to its object.
#include <gtest/gtest.h>

#include "framework/Control.h"
#include "framework/WindowTables.h"
#include "FrameworkTestSupport.h"

namespace {

class WindowCreation : public ::testing::Test {
protected:
    RecordingApplication app;
};

TEST_F(WindowCreation, EveryCreationMessageReachesTheObject)
{
    RecordingWindow window;
    ASSERT_EQ(1, window.Create(nullptr, 0, 0, 200, 100));
    HWND h = window.GetHandle();
    ASSERT_NE(nullptr, h);

    EXPECT_EQ(CreationSequence(), Only(window.received, CreationSequence()));
    EXPECT_FALSE(app.FallbackSawAnyFor(h));
    EXPECT_EQ(&window, windowTable.at(h));
    window.DestroyWindow();
}

TEST_F(WindowCreation, RefusesWithoutClassNameOrWhenAlreadyCreated)
{
    RecordingWindow unnamed(Window::DefaultClassName);
    EXPECT_EQ(0, unnamed.Create(nullptr, 0, 0, 100, 100));
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    EXPECT_FALSE(::GetClassInfoExA(::GetModuleHandleA(nullptr), Window::DefaultClassName, &info));

    RecordingWindow window;
    ASSERT_EQ(1, window.Create(nullptr, 0, 0, 100, 100));
    HWND first = window.GetHandle();
    EXPECT_EQ(0, window.Create(nullptr, 0, 0, 100, 100));
    EXPECT_EQ(first, window.GetHandle());
    window.DestroyWindow();
}

class RefusingWindow : public RecordingWindow {
public:
    RefusingWindow() : RecordingWindow("ZelkTestRefusedClass") {}
    int CanCreate() override { return 0; }
};

TEST_F(WindowCreation, CanCreateRefusesBeforeAnythingIsRegistered)
{
    RefusingWindow window;
    EXPECT_EQ(0, window.Create(nullptr, 0, 0, 100, 100));
    WNDCLASSEXA info = {};
    info.cbSize = sizeof(info);
    EXPECT_FALSE(::GetClassInfoExA(::GetModuleHandleA(nullptr), "ZelkTestRefusedClass", &info));
}

TEST_F(WindowCreation, ClassRegisteredByFirstObjectIsReusedUnchanged)
{
    RecordingWindow first("ZelkTestSharedClass");
    ASSERT_EQ(1, first.Create(nullptr, 0, 0, 100, 100));
    EXPECT_EQ(COLOR_MENU + 1, ::GetClassLongPtrA(first.GetHandle(), GCLP_HBRBACKGROUND));
    EXPECT_EQ(CS_DBLCLKS, ::GetClassLongPtrA(first.GetHandle(), GCL_STYLE));

    RecordingWindow second("ZelkTestSharedClass");
    second.background.CreateSolid(RGB(1, 2, 3));
    second.classStyle = CS_HREDRAW;
    ASSERT_EQ(1, second.Create(nullptr, 0, 0, 100, 100));
    EXPECT_EQ(COLOR_MENU + 1, ::GetClassLongPtrA(second.GetHandle(), GCLP_HBRBACKGROUND));
    EXPECT_EQ(CS_DBLCLKS, ::GetClassLongPtrA(second.GetHandle(), GCL_STYLE));
    EXPECT_EQ(&second, windowTable.at(second.GetHandle()));
    first.DestroyWindow();
    second.DestroyWindow();
}

// A new class paints with the object's background colour, in a brush that
// stays valid after the object that asked for it (and its brush) are gone.
TEST_F(WindowCreation, ClassBackgroundOutlivesTheObject)
{
    struct Case {
        const char* className;
        int systemColour; // 0: a solid brush of colour
        COLORREF colour;
    } cases[] = {
        {"ZelkTestOwnBackground", 0, RGB(10, 20, 30)},
        {"ZelkTestSystemBackground", COLOR_WINDOW, ::GetSysColor(COLOR_WINDOW)},
    };
    for (const Case& c : cases) {
        HBRUSH classBrush = nullptr;
        {
            RecordingWindow window(c.className);
            if (c.systemColour != 0)
                window.background.FromSysColor(c.systemColour);
            else
                window.background.CreateSolid(c.colour);
            ASSERT_EQ(1, window.Create(nullptr, 0, 0, 100, 100));
            classBrush = reinterpret_cast<HBRUSH>(
                ::GetClassLongPtrA(window.GetHandle(), GCLP_HBRBACKGROUND));
            window.DestroyWindow();
        }
        LOGBRUSH info = {};
        ASSERT_EQ(static_cast<int>(sizeof(info)), ::GetObjectA(classBrush, sizeof(info), &info))
            << c.className << ": the class brush was deleted with the object";
        EXPECT_EQ(c.colour, info.lbColor) << c.className;
    }
}

// A window whose creation fails before the hook ran must not leave a pending
// object: here a raw child made afterwards, while the parent's creation hook
// is still installed, must not be bound to the failed object.
class ParentMakingChildren : public RecordingWindow {
public:
    ParentMakingChildren() : RecordingWindow("ZelkTestNestedParent") {}
    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE) {
            failedResult = failing.Create(nullptr, 0, 0, 10, 10);
            rawChild = ::CreateWindowExA(0, "STATIC", "raw", WS_CHILD, 0, 0, 10, 10, h, nullptr,
                                         ::GetModuleHandleA(nullptr), nullptr);
        }
        return RecordingWindow::HandleMessage(h, message, wParam, lParam);
    }

    // A child style without a parent fails before any window exists.
    class FailingChild : public RecordingWindow {
    public:
        FailingChild() : RecordingWindow("ZelkTestFailingChild") { style = WS_CHILD; }
    };

    FailingChild failing;
    int failedResult = -1;
    HWND rawChild = nullptr;
};

TEST_F(WindowCreation, FailedCreationLeavesNothingPending)
{
    ParentMakingChildren parent;
    ASSERT_EQ(1, parent.Create(nullptr, 0, 0, 100, 100));
    EXPECT_EQ(0, parent.failedResult);
    ASSERT_NE(nullptr, parent.rawChild);
    EXPECT_EQ(nullptr, parent.failing.GetHandle());
    EXPECT_EQ(0u, windowTable.count(parent.rawChild));
    EXPECT_EQ(&parent, windowTable.at(parent.GetHandle()));
    parent.DestroyWindow();
}

TEST_F(WindowCreation, ANestedCreationIsBoundToItsOwnObject)
{
    class Outer : public RecordingWindow {
    public:
        Outer() : RecordingWindow("ZelkTestOuter") {}
        LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_CREATE)
                inner.Create(nullptr, 0, 0, 50, 50);
            return RecordingWindow::HandleMessage(h, message, wParam, lParam);
        }
        RecordingWindow inner{"ZelkTestInner"};
    };
    Outer outer;
    ASSERT_EQ(1, outer.Create(nullptr, 0, 0, 100, 100));
    ASSERT_NE(nullptr, outer.inner.GetHandle());
    EXPECT_EQ(&outer.inner, windowTable.at(outer.inner.GetHandle()));
    EXPECT_EQ(&outer, windowTable.at(outer.GetHandle()));
    EXPECT_EQ(CreationSequence(), Only(outer.inner.received, CreationSequence()));
    outer.inner.DestroyWindow();
    outer.DestroyWindow();
}

// A table entry must never outlive its object.
TEST_F(WindowCreation, DestroyedObjectLeavesNoTableEntry)
{
    HWND h = ::CreateWindowExA(0, "BUTTON", "plain", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, h);
    {
        Control attached;
        attached.Attach(h);
        EXPECT_EQ(&attached, windowTable.at(h));
        EXPECT_EQ(&attached, controlTable.at(h));
    }
    EXPECT_EQ(0u, windowTable.count(h));
    EXPECT_EQ(0u, controlTable.count(h));
    ::DestroyWindow(h);
}

// Attaching keeps the first object; a window being created replaces a stale
// entry left for the same handle value by a window that was never unbound.
TEST_F(WindowCreation, CreationReplacesStaleEntryButAttachDoesNot)
{
    HWND h = ::CreateWindowExA(0, "STATIC", "reused", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, h);
    RecordingWindow stale("ZelkTestStale");
    stale.Attach(h);

    RecordingWindow late("ZelkTestLate");
    late.Attach(h);
    EXPECT_EQ(h, late.GetHandle());
    EXPECT_EQ(&stale, windowTable.at(h));

    RecordingWindow created("ZelkTestCreated");
    BindCreatedWindow(&created, h);
    EXPECT_EQ(h, created.GetHandle());
    EXPECT_EQ(&created, windowTable.at(h));
    ::DestroyWindow(h);
}

} // namespace
