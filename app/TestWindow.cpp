#include "app/TestWindow.h"

#include <algorithm>

#include "app/settings/UserSettings.h"
#include "app/settings/WindowPlacement.h"
#include "framework/Menu.h"
#include "framework/Rect.h"
#include "res/resource.h"

#include "Scintilla.h"

namespace {
constexpr DWORD MainWindowStyle = WS_VISIBLE | WS_OVERLAPPEDWINDOW; // 0x10CF0000
// A pane shows its selection without the focus too: a match stays visible
// while the replace dialog is in front.
constexpr DWORD PaneStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL; // 0x50B00000
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
    exStyle = WS_EX_ACCEPTFILES;
}

TestWindow::~TestWindow() = default;

void TestWindow::SetCaptionFor(const char* suffix)
{
    SetText(documentPath + documentFormat.CaptionTag() + suffix);
}

LRESULT TestWindow::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        if (keepsPlacement == 1) {
            WindowPlacement::Save(h, UserSettings::Get());
            RememberSession();
        }
        ::PostQuitMessage(0);
        return 0;
    case WM_CREATE:
        HandleCreate();
        return 0;
    case WM_CLOSE:
        // A run goes on while the user is asked; it ends with the window.
        HandleClose();
        return 0;
    case WM_QUERYENDSESSION:
        return HandleQueryEndSession();
    case WM_ACTIVATE:
        return HandleActivate(wParam);
    case WM_SIZE:
        HandleSize(wParam, Size(LOWORD(lParam), HIWORD(lParam)));
        return 0;
    case WM_TIMER:
        if (wParam == RecoveryTimerId) {
            WriteRecoveryCopy(false);
            return 0;
        }
        if (wParam == StatusTimerId) {
            UpdateStatus();
            return 0;
        }
        break;
    case RecoveryWrittenMessage:
        HandleRecoveryWritten(static_cast<RecoveryWriter::Outcome>(wParam));
        return 0;
    case DocumentChangedMessage:
        changePending = false;
        ScheduleRecoveryCopy();
        return 0;
    case WM_DROPFILES:
        OnDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_NOTIFY: {
        // The document reached or left its save point (typing, undo, redo).
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom == leftPane.GetHandle() &&
            (header->code == SCN_SAVEPOINTREACHED || header->code == SCN_SAVEPOINTLEFT)) {
            OnEditChange();
            return 0;
        }
        if (header->hwndFrom == leftPane.GetHandle() && header->code == SCN_MODIFIED)
            NoteDocumentChange(static_cast<size_t>(reinterpret_cast<const SCNotification*>(lParam)->length));
        if (header->hwndFrom == leftPane.GetHandle() || header->hwndFrom == rightPane.GetHandle())
            return HandlePaneNotify(*header);
        break;
    }
    case WM_COMMAND:
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
    case IDM_EXIT: HandleClose(); return 1;
    case IDM_ABOUT: OnAbout(); return 1;
    case IDM_OPEN: OnOpen(); return 1;
    case IDM_SAVE: OnSave(); return 1;
    case IDM_SAVE_AS: OnSaveAs(); return 1;
    case IDM_SEARCH: OnSearch(); return 1;
    case IDM_FIND_NEXT: OnFindNext(); return 1;
    case IDM_REPLACE: OnReplace(); return 1;
    case IDM_LIST_DIRECTORY: OnListDirectory(); return 1;
    case IDM_SWAP_TEXT: OnSwapText(); return 1;
    case IDM_GREP: OnGrep(); return 1;
    case IDM_CHANGE_WALLPAPER: OnChangeWallpaper(); return 1;
    case IDM_FIND_PREVIOUS: OnFindPrevious(); return 1;
    case IDM_SELECT_ALL: OnSelectAll(); return 1;
    case IDM_GO_TO_LINE: OnGoToLine(); return 1;
    case IDM_TAG_JUMP: OnTagJump(0); return 1;
    case IDM_TAG_JUMP_CLICK: OnTagJump(1); return 1;
    case IDM_TAG_JUMP_BACK: OnTagJumpBack(); return 1;
    case IDM_OPEN_START_ARGUMENT: OnOpenStartArgument(); return 1;
    case IDM_FONT: OnFont(); return 1;
    case IDM_UNDO: OnUndo(); return 1;
    case IDM_REDO: OnRedo(); return 1;
    case IDM_VIEW_STATUS_BAR:
    case IDM_VIEW_LINE_NUMBERS:
    case IDM_VIEW_WORD_WRAP: OnViewChoice(id); return 1;
    case IDM_VIEW_LAST_SESSION: OnLastSessionChoice(); return 1;
    case IDM_ZOOM_IN:
    case IDM_ZOOM_OUT:
    case IDM_ZOOM_RESET: OnZoom(id); return 1;
    default:
        if (id >= IDM_REOPEN_AUTO && id <= IDM_REOPEN_EUCJP) {
            OnReopen(id);
            return 1;
        }
        return OnRecentFile(id);
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
    leftPane.MakeDocumentPane();
    // Results are not undone; a history would hold them twice.
    rightPane.KeepHistory(false);
    fileDocument = leftPane.Document();
    resultPaneKeys.Attach(rightPane.GetHandle(), IDM_TAG_JUMP, IDM_TAG_JUMP_CLICK);
    statusBar.Create(*this, IDC_STATUS_BAR);
    LoadUserChoices();
    return 0;
}

// Window::Move takes right and bottom as width and height: the left pane is
// W/2 wide, the right one starts one column further and is W/2 wide as well;
// both end above the status bar.
int TestWindow::HandleSize(WPARAM, Size)
{
    statusBar.Fit();
    Rect rect;
    GetClientRect(&rect);
    rect.bottom = std::max(0, static_cast<int>(rect.bottom) - statusBar.Height());
    rect.right = rect.right / 2;
    Rect rect2 = rect;
    rect2.left = rect.right + 1;
    leftPane.Move(rect);
    rightPane.Move(rect2);
    return 0;
}
