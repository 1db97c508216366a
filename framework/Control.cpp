#include "framework/Control.h"

#include "framework/WindowTables.h"

Control::Control()
{
    style = WS_CHILD | WS_VISIBLE;
}

void Control::Attach(HWND h)
{
    Window::Attach(h);
    InsertIfAbsent(controlTable, h, this);
}

int Control::Create(DWORD newStyle, Rect rect, Window* parentWindow, int id)
{
    if (parentWindow == nullptr)
        return 0;
    // For a child window the hMenu argument carries the control id.
    Menu idHolder;
    idHolder.SetHandle(reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
    SetMenu(idHolder);
    if (newStyle != static_cast<DWORD>(-1))
        style = newStyle;
    if (Window::Create(parentWindow->GetHandle(), rect.left, rect.top, rect.Width(),
                       rect.Height()) == 0)
        return 0;
    // A new window: any entry for its handle value is a stale one.
    controlTable[hwnd] = this;
    return 1;
}

LRESULT Control::SetCheck(int state)
{
    return SendMessage(BM_SETCHECK, state == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}
