// Child controls made with Control::Create, and check boxes.
#include <gtest/gtest.h>
#include <algorithm>

#include <string>

#include "framework/Control.h"
#include "framework/EditControl.h"
#include "framework/WindowTables.h"
#include "FrameworkTestSupport.h"

namespace {

class CommandRecordingWindow : public RecordingWindow {
public:
    CommandRecordingWindow() : RecordingWindow("ZelkTestControlParent") {}
    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back(wParam);
        return RecordingWindow::HandleMessage(h, message, wParam, lParam);
    }
    std::vector<WPARAM> commands;
};

class Button : public Control {
public:
    Button() { className = "BUTTON"; }
};

class Controls : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(1, parent.Create(nullptr, 0, 0, 400, 300)); }
    void TearDown() override { parent.DestroyWindow(); }

    RecordingApplication app;
    CommandRecordingWindow parent;
};

TEST_F(Controls, CreateUsesTheRectAsEdgesAndTheIdInNotifications)
{
    EditControl edit;
    ASSERT_EQ(1, edit.Create(static_cast<DWORD>(-1), Rect(10, 20, 110, 70), &parent, 55));
    HWND h = edit.GetHandle();
    LONG style = ::GetWindowLongA(h, GWL_STYLE);
    EXPECT_EQ(WS_CHILD | WS_VISIBLE, style & (WS_CHILD | WS_VISIBLE | WS_POPUP));
    EXPECT_EQ(55, ::GetDlgCtrlID(h));
    EXPECT_EQ(&edit, controlTable.at(h));
    EXPECT_EQ(&edit, windowTable.at(h));

    RECT r;
    ::GetWindowRect(h, &r);
    ::MapWindowPoints(nullptr, parent.GetHandle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(10, r.left);
    EXPECT_EQ(20, r.top);
    EXPECT_EQ(100, r.right - r.left);
    EXPECT_EQ(50, r.bottom - r.top);

    edit.SetText("abc");
    ::SendMessageA(h, WM_CHAR, 'x', 0);
    bool sawChange = false;
    for (WPARAM w : parent.commands)
        if (LOWORD(w) == 55 && HIWORD(w) == EN_CHANGE)
            sawChange = true;
    EXPECT_TRUE(sawChange) << "EN_CHANGE carries the control id";
}

TEST_F(Controls, SetCheckChecksOnlyForOne)
{
    Button box;
    ASSERT_EQ(1, box.Create(WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, Rect(0, 0, 80, 20), &parent, 7));
    box.SetCheck(1);
    EXPECT_EQ(BST_CHECKED, box.SendMessage(BM_GETCHECK, 0, 0));
    box.SetCheck(2);
    EXPECT_EQ(BST_UNCHECKED, box.SendMessage(BM_GETCHECK, 0, 0));
    box.SetCheck(1);
    box.SetCheck(0);
    EXPECT_EQ(BST_UNCHECKED, box.SendMessage(BM_GETCHECK, 0, 0));
}

TEST_F(Controls, PlainControlCannotBeCreated)
{
    Control plain;
    EXPECT_EQ(0, plain.Create(static_cast<DWORD>(-1), Rect(0, 0, 10, 10), &parent, 9));
    EXPECT_EQ(nullptr, plain.GetHandle());
    EXPECT_EQ(nullptr, ::GetDlgItem(parent.GetHandle(), 9));
}

TEST_F(Controls, FocusReportsWhetherAWindowHadItBefore)
{
    EditControl first;
    EditControl second;
    ASSERT_EQ(1, first.Create(static_cast<DWORD>(-1), Rect(0, 0, 50, 20), &parent, 1));
    ASSERT_EQ(1, second.Create(static_cast<DWORD>(-1), Rect(0, 30, 50, 50), &parent, 2));
    // Active, but with the focus on no window at all.
    ::ShowWindow(parent.GetHandle(), SW_SHOW);
    ::SetForegroundWindow(parent.GetHandle());
    ::SetActiveWindow(parent.GetHandle());
    ::SetFocus(nullptr);
    ASSERT_EQ(nullptr, ::GetFocus());
    EXPECT_EQ(0, first.SetFocus());
    EXPECT_EQ(first.GetHandle(), ::GetFocus());
    EXPECT_EQ(1, second.SetFocus());
    EXPECT_EQ(second.GetHandle(), ::GetFocus());
}

} // namespace
