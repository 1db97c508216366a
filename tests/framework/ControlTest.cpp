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

// Text added at the end while someone reads or selects in the control:
// their selection and scroll position stay, and the text is only drawn again
// when the new lines can be seen.
TEST_F(Controls, AppendKeepingViewLeavesTheReaderWhereTheyWere)
{
    struct Case {
        const char* name;
        int lines;
        int selectFrom, selectTo;
        int scrollDown, scrollRight;
        bool newLinesInView;
    };
    const Case cases[] = {
        {"short text, caret at the start", 3, 0, 0, 0, 0, true},
        {"caret at the start", 100, 0, 0, 0, 0, false},
        {"selection in the middle, view moved down", 100, 500, 540, 40, 0, false},
        {"view moved right", 100, 10, 10, 5, 60, false},
        {"view at the end", 100, 0, 0, 99, 0, true},
        {"upward selection over two lines", 100, 700, 500, 0, 0, false},
    };
    const DWORD paneStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE |
                            ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL;
    const std::string longLine = std::string(150, 'x') + "\r\n";
    ::ShowWindow(parent.GetHandle(), SW_SHOW); // a hidden window has nothing to draw again
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditControl edit;
        ASSERT_EQ(1, edit.Create(paneStyle, Rect(0, 0, 300, 200), &parent, 3));
        edit.SendMessage(EM_SETLIMITTEXT, 0, 0);
        std::string before;
        for (int i = 0; i < c.lines; ++i)
            before += longLine;
        edit.SetText(before);
        edit.SendMessage(EM_SETSEL, c.selectFrom, c.selectTo);
        edit.SendMessage(EM_LINESCROLL, 0, c.scrollDown);
        if (c.scrollRight != 0)
            edit.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, c.scrollRight), 0);
        const LRESULT firstLine = edit.SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0);
        const int column = ::GetScrollPos(edit.GetHandle(), SB_HORZ);
        ASSERT_TRUE(c.scrollRight == 0 || column != 0);
        ::UpdateWindow(edit.GetHandle());

        edit.AppendKeepingView("added 1\r\nadded 2\r\n");

        EXPECT_EQ(before + "added 1\r\nadded 2\r\n", edit.GetText());
        DWORD start = 0;
        DWORD end = 0;
        edit.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(static_cast<DWORD>(std::min(c.selectFrom, c.selectTo)), start);
        EXPECT_EQ(static_cast<DWORD>(std::max(c.selectFrom, c.selectTo)), end);
        const LRESULT caretLine = edit.SendMessage(EM_LINEFROMCHAR, c.selectTo, 0); // EM_LINEINDEX -1: its start
        EXPECT_EQ(edit.SendMessage(EM_LINEINDEX, caretLine, 0), edit.SendMessage(EM_LINEINDEX, -1, 0));
        EXPECT_EQ(firstLine, edit.SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0));
        EXPECT_EQ(column, ::GetScrollPos(edit.GetHandle(), SB_HORZ));
        EXPECT_EQ(c.newLinesInView, ::GetUpdateRect(edit.GetHandle(), nullptr, FALSE) != FALSE);
        edit.DestroyWindow();
    }
}

} // namespace
