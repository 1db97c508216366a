// What the system asks of the main window for the user: whether the session
// may end (logoff, shutdown) and where typing goes when the window becomes
// active again, and whether its file changed meanwhile.
#include "app/TestWindow.h"

// The end of a session ends the program like a close: a modified document
// gets the exit question, and the session may end only once the text reached
// its file or the user chose to discard it.
LRESULT TestWindow::HandleQueryEndSession()
{
    if (TextHalfChanged())
        return FALSE;
    if (modified != 1)
        return TRUE;
    return AskToSaveBeforeEnd() == 1 ? TRUE : FALSE;
}

// The frame itself takes no typing. Leaving, it notes which pane had the
// focus; activated again (Alt+Tab, after a dialog or message box) it gives
// the focus back to that pane, the left one until the user chose another.
int TestWindow::HandleActivate(WPARAM state)
{
    if (LOWORD(state) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus != nullptr && focus == rightPane.GetHandle())
            focusPane = &rightPane;
        else if (focus != nullptr && focus == leftPane.GetHandle())
            focusPane = &leftPane;
        return 0;
    }
    // A window activated while minimised keeps the focus off its children.
    if (HIWORD(state) == 0 && focusPane->IsWindow())
        focusPane->SetFocus();
    // Another program may have written the file while the user was there.
    CheckFileOnDisk();
    return 0;
}
