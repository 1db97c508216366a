#include "framework/EditControl.h"

#include <algorithm>
#include <climits>

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

void EditControl::AppendKeepingView(const std::string& text)
{
    // Offsets here stay in the control's own unit: the text before them does
    // not change.
    DWORD start = 0;
    DWORD end = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    const bool upward = CaretAtStart(start, end);
    const LRESULT firstLine = SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0);
    const LRESULT lastLine = SendMessage(EM_GETLINECOUNT, 0, 0) - 1;
    const bool endInView = lastLine <= firstLine + VisibleLineCount();
    const int column = ::GetScrollPos(hwnd, SB_HORZ);
    RECT pending{};
    const bool paintPending = ::GetUpdateRect(hwnd, &pending, FALSE) && !::IsRectEmpty(&pending);

    // Not drawn while the control scrolls to the new end and back.
    SendMessage(WM_SETREDRAW, FALSE, 0);
    SendMessage(EM_SETSEL, static_cast<WPARAM>(INT_MAX), static_cast<LPARAM>(INT_MAX));
    SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
    // EM_SETSEL leaves the caret at its second position.
    SendMessage(EM_SETSEL, static_cast<WPARAM>(upward ? end : start), static_cast<LPARAM>(upward ? start : end));
    const LRESULT scrolled = SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0) - firstLine;
    if (scrolled != 0)
        SendMessage(EM_LINESCROLL, 0, static_cast<LPARAM>(-scrolled));
    if (::GetScrollPos(hwnd, SB_HORZ) != column) // the message carries 16 bits of it
        SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::min(column, 0xFFFF)), 0);
    SendMessage(WM_SETREDRAW, TRUE, 0);

    if (endInView || paintPending) {
        ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    }
    ::ValidateRect(hwnd, nullptr); // nothing in view changed, whatever the control marked meanwhile
    // The scroll bars were not drawn meanwhile: the frame is drawn now, and
    // not through the update region, which would have the text drawn again.
    SendMessage(WM_NCPAINT, 1, 0);
}

// EM_GETSEL gives the ends in order; the caret shows which end the user
// moves. Across lines the caret's line tells; on one line only the caret's
// place does, and the control shows its caret only while it has the focus.
bool EditControl::CaretAtStart(DWORD start, DWORD end)
{
    if (start == end)
        return false;
    const LRESULT startLine = SendMessage(EM_LINEFROMCHAR, start, 0);
    if (startLine != SendMessage(EM_LINEFROMCHAR, end, 0))
        return SendMessage(EM_LINEINDEX, static_cast<WPARAM>(-1), 0) == SendMessage(EM_LINEINDEX, startLine, 0);
    POINT caret{};
    if (::GetFocus() != hwnd || !::GetCaretPos(&caret))
        return false;
    const LRESULT place = SendMessage(EM_POSFROMCHAR, start, 0);
    return static_cast<short>(LOWORD(place)) == caret.x;
}

int EditControl::VisibleLineCount()
{
    RECT format{};
    SendMessage(EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    const HDC dc = ::GetDC(hwnd);
    if (dc == nullptr)
        return INT_MAX / 2; // unknown: as if every line were in view
    const auto font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT, 0, 0));
    const HGDIOBJ old = font != nullptr ? ::SelectObject(dc, font) : nullptr;
    TEXTMETRICA metrics{};
    const BOOL measured = ::GetTextMetricsA(dc, &metrics);
    if (old != nullptr)
        ::SelectObject(dc, old);
    ::ReleaseDC(hwnd, dc);
    if (!measured || metrics.tmHeight <= 0)
        return INT_MAX / 2;
    return (format.bottom - format.top) / metrics.tmHeight + 1;
}
