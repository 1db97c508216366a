#include "framework/EditControl.h"

#include "framework/EditOffsets.h"

EditControl::EditControl()
{
    className = "Edit";
    style = WS_CHILD | WS_VISIBLE;
}

LRESULT EditControl::GetSelection(DWORD* start, DWORD* end)
{
    DWORD controlStart = 0;
    DWORD controlEnd = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&controlStart),
                reinterpret_cast<LPARAM>(&controlEnd));
    EditOffsets::Unit unit = EditOffsets::ControlUnit();
    if (unit != EditOffsets::Unit::Bytes) {
        std::string text = GetText();
        controlStart = EditOffsets::ToBytes(text, controlStart, unit);
        controlEnd = EditOffsets::ToBytes(text, controlEnd, unit);
    }
    if (start != nullptr)
        *start = controlStart;
    if (end != nullptr)
        *end = controlEnd;
    return EditOffsets::PackSelection(controlStart, controlEnd);
}

LRESULT EditControl::SetSelection(int start, int end)
{
    EditOffsets::Unit unit = EditOffsets::ControlUnit();
    if (unit != EditOffsets::Unit::Bytes) {
        std::string text = GetText();
        if (start >= 0)
            start = static_cast<int>(EditOffsets::ToControl(text, static_cast<DWORD>(start), unit));
        if (end >= 0)
            end = static_cast<int>(EditOffsets::ToControl(text, static_cast<DWORD>(end), unit));
    }
    return SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
}

LRESULT EditControl::ReplaceSelection(const std::string& text)
{
    return SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}
