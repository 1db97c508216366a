#include "framework/EditControl.h"

EditControl::EditControl()
{
    className = "Edit";
    style = WS_CHILD | WS_VISIBLE;
}

LRESULT EditControl::GetSelection(DWORD* start, DWORD* end)
{
    return SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(start), reinterpret_cast<LPARAM>(end));
}

LRESULT EditControl::SetSelection(int start, int end)
{
    return SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}
