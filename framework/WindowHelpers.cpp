// Window's everyday operations on an existing window: text, geometry, styles,
// scroll bars, focus, fonts, message boxes and menus.
#include <new>
#include <stdexcept>
#include <vector>

#include "framework/Application.h"
#include "framework/Window.h"
#include "util/GdiObject.h"

BOOL Window::IsWindow()
{
    return ::IsWindow(hwnd);
}

BOOL Window::DestroyWindow()
{
    return ::DestroyWindow(hwnd);
}

BOOL Window::SetText(const std::string& text)
{
    return ::SetWindowTextA(hwnd, text.c_str());
}

int Window::GetTextLength()
{
    return ::GetWindowTextLengthA(hwnd);
}

std::string Window::GetText()
{
    std::string text;
    GetText(text);
    return text;
}

bool Window::GetText(std::string& out)
{
    int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0) {
        out.clear();
        return true;
    }
    std::string text;
    try {
        text.resize(static_cast<size_t>(length) + 1);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    // The length may be an upper bound (double-byte text); nothing copied
    // out of a non-empty window is a failure, not an empty text.
    int copied = ::GetWindowTextA(hwnd, &text[0], length + 1);
    if (copied <= 0)
        return false;
    text.resize(static_cast<size_t>(copied));
    out.swap(text);
    return true;
}

int Window::MessageBox(std::string text, std::string title, UINT type)
{
    return ::MessageBoxA(hwnd, text.c_str(), title.c_str(), type);
}

BOOL Window::GetClientRect(Rect* r)
{
    return ::GetClientRect(hwnd, r != nullptr ? r->AsRECT() : nullptr);
}

BOOL Window::GetWindowRect(Rect* r)
{
    return ::GetWindowRect(hwnd, r != nullptr ? r->AsRECT() : nullptr);
}

// right and bottom are the width and the height here, not edges.
BOOL Window::Move(Rect r)
{
    return ::SetWindowPos(hwnd, nullptr, r.left, r.top, r.right, r.bottom, SWP_NOZORDER);
}

BOOL Window::SetPosition(int x, int y)
{
    return ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
}

BOOL Window::SetSize(int cx, int cy)
{
    return ::SetWindowPos(hwnd, nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOMOVE);
}

// A window larger than the screen goes to 0 on that axis, not off screen.
int Window::CenterOnScreen()
{
    int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    Rect r;
    GetWindowRect(&r);
    int x = screenWidth > r.Width() ? (screenWidth - r.Width()) / 2 : 0;
    int y = screenHeight > r.Height() ? (screenHeight - r.Height()) / 2 : 0;
    SetPosition(x, y);
    return 1;
}

// Uses the stored style and menu members, not those of the live window.
int Window::SetClientSize(WORD cx, WORD cy)
{
    Rect r(0, 0, cx, cy);
    ::AdjustWindowRectEx(r.AsRECT(), style, menu.GetHandle() != nullptr ? TRUE : FALSE, exStyle);
    SetSize(r.Width(), r.Height());
    return 1;
}

BOOL Window::ScreenToClient(Point* p)
{
    return ::ScreenToClient(hwnd, p != nullptr ? p->AsPOINT() : nullptr);
}

int Window::ScreenToClient(Rect& r)
{
    Point topLeft(r.left, r.top);
    ::ScreenToClient(hwnd, topLeft.AsPOINT());
    r.left = topLeft.x;
    r.top = topLeft.y;
    Point bottomRight(r.right, r.bottom);
    ::ScreenToClient(hwnd, bottomRight.AsPOINT());
    r.right = bottomRight.x;
    r.bottom = bottomRight.y;
    return 1;
}

LONG Window::SetStyle(DWORD s)
{
    style = s;
    if (hwnd == nullptr)
        return 0;
    return static_cast<LONG>(::SetWindowLongA(hwnd, GWL_STYLE, static_cast<LONG>(s)));
}

DWORD Window::RemoveStyle(DWORD bits)
{
    style &= ~bits;
    return style;
}

DWORD Window::RemoveExStyle(DWORD bits)
{
    exStyle &= ~bits;
    return exStyle;
}

int Window::SetRegion(GdiObject& region, BOOL redraw)
{
    return ::SetWindowRgn(hwnd, static_cast<HRGN>(region.GetHandle()), redraw);
}

BOOL Window::GetScrollInfo(int bar, SCROLLINFO* info, UINT mask)
{
    info->cbSize = sizeof(SCROLLINFO);
    info->fMask = mask;
    return ::GetScrollInfo(hwnd, bar, info);
}

int Window::SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw)
{
    return ::SetScrollInfo(hwnd, bar, info, redraw);
}

// A page of 0 (or a failed query) leaves max as it is.
int Window::GetScrollLimit(int bar)
{
    int minPos = 0;
    int maxPos = 0;
    GetScrollRange(bar, &minPos, &maxPos);
    SCROLLINFO info = {};
    if (!GetScrollInfo(bar, &info, SIF_PAGE) || info.nPage == 0)
        return maxPos;
    return maxPos - static_cast<int>(info.nPage - 1);
}

LRESULT Window::SendMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::SendMessageA(hwnd, message, wParam, lParam);
}

int Window::SetFocus()
{
    return ::SetFocus(hwnd) != nullptr ? 1 : 0;
}

HFONT Window::GetFont()
{
    return reinterpret_cast<HFONT>(::SendMessageA(hwnd, WM_GETFONT, 0, 0));
}

// 0 when the window uses the system font (no handle) or the query failed.
int Window::GetFontInfo(LOGFONTA* out)
{
    HFONT font = GetFont();
    if (font == nullptr)
        return 0;
    return ::GetObjectA(font, sizeof(LOGFONTA), out) == sizeof(LOGFONTA) ? 1 : 0;
}

int Window::SetMenu(Menu& m)
{
    if (hwnd != nullptr && !::SetMenu(hwnd, m.GetHandle()))
        return 0;
    menu.SetHandle(m.GetHandle());
    m.Detach();
    return 1;
}

int Window::SetMenu(WORD id)
{
    if (menu.Load(id) == 0)
        return 0;
    if (hwnd == nullptr)
        return 1;
    return ::SetMenu(hwnd, menu.GetHandle());
}
