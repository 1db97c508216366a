// Geometry, text, style and scroll helpers of Window, and the value types.
#include <gtest/gtest.h>

#include "framework/Rect.h"
#include "FrameworkTestSupport.h"

namespace {

class WindowHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
        ASSERT_EQ(1, window.Create(nullptr, 0, 0, 640, 480));
    }
    void TearDown() override { window.DestroyWindow(); }

    Rect WindowRect()
    {
        Rect r;
        window.GetWindowRect(&r);
        return r;
    }

    RecordingApplication app;
    RecordingWindow window{"ZelkTestHelpers"};
};

TEST(RectValues, ContainsAllFourEdgesAndLaysOutAsRECT)
{
    Rect r(10, 20, 110, 70);
    EXPECT_EQ(100, r.Width());
    EXPECT_EQ(50, r.Height());
    const Point inside[] = {{10, 20}, {110, 20}, {10, 70}, {110, 70}, {60, 45}};
    for (const Point& p : inside)
        EXPECT_EQ(1, r.Contains(p)) << p.x << "," << p.y;
    const Point outside[] = {{9, 20}, {111, 70}, {10, 19}, {110, 71}};
    for (const Point& p : outside)
        EXPECT_EQ(0, r.Contains(p)) << p.x << "," << p.y;
    const RECT* raw = r.AsRECT();
    EXPECT_EQ(10, raw->left);
    EXPECT_EQ(70, raw->bottom);
    Rect copy;
    copy = r;
    EXPECT_EQ(110, copy.right);
}

TEST_F(WindowHelpers, MoveTakesRightAndBottomAsWidthAndHeight)
{
    ASSERT_TRUE(window.Move(Rect(100, 50, 300, 200)));
    Rect r = WindowRect();
    EXPECT_EQ(100, r.left);
    EXPECT_EQ(50, r.top);
    EXPECT_EQ(300, r.Width());
    EXPECT_EQ(200, r.Height());
}

TEST_F(WindowHelpers, CenterOnScreenOfTheTestDesktop)
{
    ASSERT_EQ(1024, ::GetSystemMetrics(SM_CXSCREEN)) << "tests run on a 1024 x 768 desktop";
    ASSERT_EQ(768, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(1, window.CenterOnScreen());
    Rect r = WindowRect();
    EXPECT_EQ(192, r.left);
    EXPECT_EQ(144, r.top);
    EXPECT_EQ(640, r.Width());
}

TEST_F(WindowHelpers, CenterOnScreenPutsAnOversizedWindowAtZero)
{
    window.SetSize(1200, 600);
    window.CenterOnScreen();
    Rect r = WindowRect();
    if (r.Width() <= 1024)
        GTEST_SKIP() << "the system would not make the window wider than the screen";
    EXPECT_EQ(0, r.left);
    EXPECT_EQ((768 - r.Height()) / 2, r.top);
}

TEST_F(WindowHelpers, SetClientSizeCountsTheMenuMember)
{
    EXPECT_EQ(1, window.SetClientSize(300, 200));
    Rect client;
    window.GetClientRect(&client);
    EXPECT_EQ(300, client.Width());
    EXPECT_EQ(200, client.Height());
    int heightWithoutMenu = WindowRect().Height();

    Menu bar;
    ASSERT_EQ(1, bar.Load(static_cast<WORD>(109)));
    window.SetMenu(bar);
    window.SetClientSize(300, 200);
    EXPECT_GT(WindowRect().Height(), heightWithoutMenu);
}

TEST_F(WindowHelpers, TextRoundTripsAndEmptyTextIsEmpty)
{
    EXPECT_TRUE(window.SetText(""));
    EXPECT_EQ("", window.GetText());
    EXPECT_EQ(0, window.GetTextLength());
    EXPECT_TRUE(window.SetText("表ソ - Quorvane（更新）"));
    EXPECT_EQ("表ソ - Quorvane（更新）", window.GetText());
    EXPECT_EQ(23, window.GetTextLength());
}

TEST_F(WindowHelpers, RemoveStyleChangesOnlyTheMember)
{
    EXPECT_EQ(WS_OVERLAPPEDWINDOW, window.RemoveStyle(WS_VISIBLE));
    EXPECT_TRUE(::IsWindowVisible(window.GetHandle()));
    window.RemoveExStyle(WS_EX_TOOLWINDOW);
    LONG previous = window.SetStyle(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    EXPECT_NE(0, previous & WS_VISIBLE);
}

TEST_F(WindowHelpers, ScrollLimitSubtractsThePageButNeverWraps)
{
    ::ShowScrollBar(window.GetHandle(), SB_VERT, TRUE);
    struct Case {
        int max;
        UINT page;
        int limit;
    };
    const Case cases[] = {{100, 10, 91}, {100, 1, 100}, {100, 0, 100}};
    for (const Case& c : cases) {
        SCROLLINFO info = {};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE;
        info.nMin = 0;
        info.nMax = c.max;
        info.nPage = c.page;
        window.SetScrollInfo(SB_VERT, &info, FALSE);
        EXPECT_EQ(c.limit, window.GetScrollLimit(SB_VERT)) << "page " << c.page;
    }
}

TEST_F(WindowHelpers, ScreenToClientConvertsBothCorners)
{
    Rect client;
    window.GetClientRect(&client);
    POINT origin = {0, 0};
    ::ClientToScreen(window.GetHandle(), &origin);
    Rect r(origin.x + 5, origin.y + 6, origin.x + 15, origin.y + 26);
    EXPECT_EQ(1, window.ScreenToClient(r));
    EXPECT_EQ(5, r.left);
    EXPECT_EQ(6, r.top);
    EXPECT_EQ(15, r.right);
    EXPECT_EQ(26, r.bottom);
}

} // namespace
