// The 表示 menu's view of both panes (status bar, line numbers, word wrap,
// zoom) and what the status bar says about the pane that has the focus. The
// three choices are kept in the user's settings; the zoom is not.
#include "app/TestWindow.h"

#include <algorithm>

#include "app/settings/UserSettings.h"
#include "res/resource.h"

#include "Scintilla.h"

namespace {

const char* const Section = "View";
// Wrapping lays out every line again at each width change; past this size
// that would stall the window.
constexpr size_t WrapLimit = 64u << 20;
// Scintilla's own bounds for the zoom, in points.
constexpr int ZoomMin = -10;
constexpr int ZoomMax = 20;

} // namespace

void TestWindow::CheckMenuCommand(UINT id, bool checked)
{
    ::CheckMenuItem(::GetMenu(hwnd), id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

void TestWindow::LoadViewChoices()
{
    const UserSettings& settings = UserSettings::Get();
    showStatusBar = settings.GetInt(Section, "StatusBar", 1) != 0;
    showLineNumbers = settings.GetInt(Section, "LineNumbers", 0) != 0;
    wordWrap = settings.GetInt(Section, "WordWrap", 0) != 0;
    ApplyViewChoices();
}

void TestWindow::ApplyViewChoices()
{
    statusBar.Show(showStatusBar);
    leftPane.ShowLineNumbers(showLineNumbers);
    rightPane.ShowLineNumbers(showLineNumbers);
    ApplyWrap();
    CheckMenuCommand(IDM_VIEW_STATUS_BAR, showStatusBar);
    CheckMenuCommand(IDM_VIEW_LINE_NUMBERS, showLineNumbers);
    CheckMenuCommand(IDM_VIEW_WORD_WRAP, wordWrap);
    HandleSize(0, Size());
    UpdateStatus();
}

// A pane too large to wrap stays unwrapped; the document's one says so once.
void TestWindow::ApplyWrap()
{
    for (ScintillaControl* pane : {&leftPane, &rightPane}) {
        const bool tooLarge = pane->Length() > WrapLimit;
        pane->SetWrap(wordWrap && !tooLarge);
        if (pane == &leftPane && wordWrap && tooLarge && !wrapRefusalTold) {
            statusBar.ShowNote("64 MB を超える文書のため、折り返しをしていません");
            wrapRefusalTold = true;
        }
    }
}

int TestWindow::OnViewChoice(WORD id)
{
    bool* choice = id == IDM_VIEW_STATUS_BAR ? &showStatusBar : id == IDM_VIEW_LINE_NUMBERS ? &showLineNumbers : &wordWrap;
    const char* key = id == IDM_VIEW_STATUS_BAR ? "StatusBar" : id == IDM_VIEW_LINE_NUMBERS ? "LineNumbers" : "WordWrap";
    *choice = !*choice;
    UserSettings::Get().SetInt(Section, key, *choice ? 1 : 0);
    ApplyViewChoices();
    return 0;
}

int TestWindow::OnZoom(WORD id)
{
    int zoom = 0;
    if (id != IDM_ZOOM_RESET)
        zoom = std::clamp(leftPane.Zoom() + (id == IDM_ZOOM_IN ? 1 : -1), ZoomMin, ZoomMax);
    leftPane.SetZoom(zoom);
    rightPane.SetZoom(zoom);
    return 0;
}

// Ctrl + wheel zooms the pane under it; the other one follows.
void TestWindow::FollowZoom(ScintillaControl& from)
{
    ScintillaControl& other = &from == &leftPane ? rightPane : leftPane;
    from.SetZoom(from.Zoom());
    if (other.Zoom() != from.Zoom())
        other.SetZoom(from.Zoom());
}

// A count too long for one update goes on at the timer's, which comes only
// when no input waits.
void TestWindow::UpdateStatus()
{
    ::KillTimer(hwnd, StatusTimerId);
    if (!statusBar.IsShown())
        return;
    const HWND focus = ::GetFocus();
    ScintillaControl& pane = focus == rightPane.GetHandle() ? rightPane
                             : focus == leftPane.GetHandle() ? leftPane
                                                             : *focusPane;
    statusBar.ShowTexts(statusBar.Describe(pane, &pane == &leftPane ? documentFormat : otherFormat));
    if (statusBar.Counting())
        ::SetTimer(hwnd, StatusTimerId, USER_TIMER_MINIMUM, nullptr);
}

// The panes' notices other than the save point: the caret, the selection,
// the text or the typing mode changed, a pane took the focus, or was zoomed.
LRESULT TestWindow::HandlePaneNotify(const NMHDR& header)
{
    ScintillaControl& pane = header.hwndFrom == leftPane.GetHandle() ? leftPane : rightPane;
    switch (header.code) {
    case SCN_UPDATEUI:
        if ((reinterpret_cast<const SCNotification&>(header).updated & SC_UPDATE_CONTENT) != 0) {
            pane.FitLineNumbers();
            statusBar.TextChanged(pane.Document());
        }
        UpdateStatus();
        break;
    case SCN_FOCUSIN:
        UpdateStatus();
        break;
    case SCN_ZOOM:
        FollowZoom(pane);
        break;
    default:
        break;
    }
    return 0;
}
