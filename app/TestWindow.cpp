#include "app/TestWindow.h"

#include "framework/Menu.h"
#include "framework/Rect.h"
#include "res/resource.h"

namespace {
constexpr DWORD MainWindowStyle = WS_VISIBLE | WS_OVERLAPPEDWINDOW; // 0x10CF0000
constexpr DWORD PaneStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                            ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL; // 0x50B000C4
constexpr int LeftPaneId = 100;
constexpr int RightPaneId = 0;
} // namespace

TestWindow::TestWindow()
{
    className = "TestWindow";
    style = MainWindowStyle;
    caption = "無題 - Quorvane";
    documentPath = "無題";
    modified = 0;
}

TestWindow::~TestWindow() = default;

void TestWindow::SetCaptionFor(const char* suffix)
{
    SetText(documentPath + suffix);
}

LRESULT TestWindow::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        ::PostQuitMessage(0);
        return 0;
    case WM_CREATE:
        HandleCreate();
        return 0;
    case WM_CLOSE:
        StopRun();
        HandleClose();
        return 0;
    case WM_SIZE:
        HandleSize(wParam, Size(LOWORD(lParam), HIWORD(lParam)));
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && LOWORD(wParam) == LeftPaneId) {
            OnEditChange();
            return 0;
        }
        // Commands match on the low word alone, whatever the notification code.
        if (RunCommand(LOWORD(wParam)))
            return 0;
        break;
    default:
        break;
    }
    return Window::HandleMessage(h, message, wParam, lParam);
}

// Returns 1 when id is one of the menu's commands (it has then been run).
int TestWindow::RunCommand(WORD id)
{
    if ((id == IDM_LIST_DIRECTORY || id == IDM_SWAP_TEXT || id == IDM_GREP) && !AskToStopRun())
        return 1;
    switch (id) {
    case IDM_EXIT: StopRun(); HandleClose(); return 1;
    case IDM_ABOUT: OnAbout(); return 1;
    case IDM_OPEN: OnOpen(); return 1;
    case IDM_SAVE: OnSave(); return 1;
    case IDM_SAVE_AS: OnSaveAs(); return 1;
    case IDM_SEARCH: OnSearch(); return 1;
    case IDM_FIND_NEXT: OnFindNext(); return 1;
    case IDM_LIST_DIRECTORY: OnListDirectory(); return 1;
    case IDM_SWAP_TEXT: OnSwapText(); return 1;
    case IDM_GREP: OnGrep(); return 1;
    case IDM_CHANGE_WALLPAPER: OnChangeWallpaper(); return 1;
    default: return 0;
    }
}

int TestWindow::HandleCreate()
{
    Menu mainMenu;
    mainMenu.Load(static_cast<WORD>(IDR_MAINMENU));
    SetMenu(mainMenu);
    CenterOnScreen();

    Rect rect;
    GetClientRect(&rect);
    Rect rect2 = rect;
    int half = rect.right / 2;
    rect.right = half;
    rect2.left = half + 1;
    leftPane.Create(PaneStyle, rect, this, LeftPaneId);
    rightPane.Create(PaneStyle, rect2, this, RightPaneId);
    return 0;
}

// Window::Move takes right and bottom as width and height: the left pane is
// W/2 wide, the right one starts one column further and is W/2 wide as well.
int TestWindow::HandleSize(WPARAM, Size)
{
    Rect rect;
    GetClientRect(&rect);
    rect.right = rect.right / 2;
    Rect rect2 = rect;
    rect2.left = rect.right + 1;
    leftPane.Move(rect);
    rightPane.Move(rect2);
    return 0;
}
