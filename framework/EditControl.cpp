#include "framework/EditControl.h"

EditControl::EditControl()
{
    className = "Edit";
    style = WS_CHILD | WS_VISIBLE;
}

LRESULT EditControl::GetSelection(DWORD* start, DWORD* end)
{
    DWORD controlStart = 0;
    DWORD controlEnd = 0;
    const LRESULT packed = SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&controlStart),
                                       reinterpret_cast<LPARAM>(&controlEnd));
    if (start != nullptr)
        *start = controlStart;
    if (end != nullptr)
        *end = controlEnd;
    return packed;
}

LRESULT EditControl::SetSelection(int start, int end)
{
    return SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

LRESULT EditControl::ReplaceSelection(const std::string& text)
{
    return SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}
