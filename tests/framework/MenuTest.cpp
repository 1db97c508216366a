// Menu holder and menu operations.
#include <gtest/gtest.h>

#include <string>

#include "framework/Menu.h"
#include "FrameworkTestSupport.h"

namespace {

constexpr WORD MainMenuId = 109;

std::string ItemText(HMENU menu, UINT position)
{
    char text[128] = {};
    ::GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

class Menus : public ::testing::Test {
protected:
    RecordingApplication app;
};

TEST_F(Menus, HolderNeverReleasesItsHandle)
{
    HMENU held = nullptr;
    {
        Menu menu;
        ASSERT_EQ(1, menu.CreatePopup());
        held = menu.GetHandle();
    }
    EXPECT_TRUE(::IsMenu(held)) << "destroying the holder leaves the menu";

    Menu menu;
    menu.SetHandle(held);
    HMENU other = ::CreateMenu();
    menu.SetHandle(other);
    EXPECT_TRUE(::IsMenu(held)) << "SetHandle does not destroy the earlier handle";
    EXPECT_EQ(other, menu.GetHandle());
    menu.Detach();
    EXPECT_EQ(nullptr, menu.GetHandle());
    menu.Detach();
    EXPECT_EQ(nullptr, menu.GetHandle());
    EXPECT_TRUE(::IsMenu(other));
    ::DestroyMenu(held);
    ::DestroyMenu(other);
}

TEST_F(Menus, SecondLoadOrCreateFailsAndKeepsTheFirstHandle)
{
    Menu menu;
    ASSERT_EQ(1, menu.Load(MainMenuId));
    HMENU first = menu.GetHandle();
    EXPECT_EQ(0, menu.Load(MainMenuId));
    EXPECT_EQ(0, menu.CreateBar());
    EXPECT_EQ(0, menu.CreatePopup());
    EXPECT_EQ(first, menu.GetHandle());
    EXPECT_EQ(1, menu.Destroy());
    EXPECT_EQ(nullptr, menu.GetHandle());
    EXPECT_FALSE(::IsMenu(first));

    Menu missing;
    EXPECT_EQ(0, missing.Load(static_cast<WORD>(4321)));
    EXPECT_EQ(nullptr, missing.GetHandle());
}

TEST_F(Menus, AppendItemAddsAtTheEnd)
{
    Menu menu;
    ASSERT_EQ(1, menu.CreatePopup());
    for (WORD id = 1; id <= 3; ++id)
        EXPECT_EQ(1, menu.AppendItem(id, "項目" + std::to_string(id)));
    EXPECT_EQ(1, menu.AppendItem(40, "四番目"));
    ASSERT_EQ(4, ::GetMenuItemCount(menu.GetHandle()));
    EXPECT_EQ(40u, ::GetMenuItemID(menu.GetHandle(), 3));
    EXPECT_EQ("四番目", ItemText(menu.GetHandle(), 3));
    EXPECT_EQ("項目1", ItemText(menu.GetHandle(), 0));
    menu.Destroy();
}

TEST_F(Menus, SetMenuHandsTheHandleToTheWindow)
{
    RecordingWindow window("ZelkTestMenuWindow");
    ASSERT_EQ(1, window.Create(nullptr, 0, 0, 300, 200));
    HMENU loaded = nullptr;
    {
        Menu menu;
        ASSERT_EQ(1, menu.Load(MainMenuId));
        loaded = menu.GetHandle();
        EXPECT_EQ(1, window.SetMenu(menu));
        EXPECT_EQ(nullptr, menu.GetHandle());
    }
    EXPECT_EQ(loaded, ::GetMenu(window.GetHandle()));
    EXPECT_TRUE(::IsMenu(loaded));
    EXPECT_EQ(0, window.SetMenu(static_cast<WORD>(MainMenuId)))
        << "the window's own member already holds a menu";
    EXPECT_EQ(loaded, ::GetMenu(window.GetHandle()));
    window.DestroyWindow();
}

TEST_F(Menus, SetMenuByIdBeforeCreationIsUsedAtCreation)
{
    RecordingWindow window("ZelkTestMenuWindow");
    ASSERT_EQ(1, window.SetMenu(static_cast<WORD>(MainMenuId)));
    ASSERT_EQ(1, window.Create(nullptr, 0, 0, 300, 200));
    HMENU bar = ::GetMenu(window.GetHandle());
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(4, ::GetMenuItemCount(bar)); // ファイル, 編集, 表示, ヘルプ
    window.DestroyWindow();
}

// Closes the menu tracked by the test and records what was shown.
HMENU shownMenu = nullptr;

void CALLBACK EndTracking(HWND, UINT, UINT_PTR id, DWORD)
{
    ::KillTimer(nullptr, id);
    ::EndMenu();
}

class TrackingWindow : public RecordingWindow {
public:
    TrackingWindow() : RecordingWindow("ZelkTestTrackingWindow") {}
    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITMENUPOPUP && shownMenu == nullptr)
            shownMenu = reinterpret_cast<HMENU>(wParam);
        return RecordingWindow::HandleMessage(h, message, wParam, lParam);
    }
};

TEST_F(Menus, TrackPopupOfABarShowsItsFirstDropDown)
{
    TrackingWindow owner;
    owner.style |= WS_VISIBLE;
    ASSERT_EQ(1, owner.Create(nullptr, 0, 0, 300, 200));
    ::SetForegroundWindow(owner.GetHandle());
    Menu bar;
    ASSERT_EQ(1, bar.Load(MainMenuId));
    shownMenu = nullptr;
    ::SetTimer(nullptr, 0, 200, EndTracking);
    bar.TrackPopup(TPM_LEFTALIGN, 100, 100, &owner);
    EXPECT_EQ(::GetSubMenu(bar.GetHandle(), 0), shownMenu);
    bar.Destroy();
    owner.DestroyWindow();
}

} // namespace
