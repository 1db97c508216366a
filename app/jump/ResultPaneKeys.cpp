#include "app/jump/ResultPaneKeys.h"

namespace {
const char* const OwnerProperty = "Quorvane.ResultPaneKeys";

bool PlainKey()
{
    return ::GetKeyState(VK_CONTROL) >= 0 && ::GetKeyState(VK_MENU) >= 0 && ::GetKeyState(VK_SHIFT) >= 0;
}
} // namespace

ResultPaneKeys::~ResultPaneKeys()
{
    Detach();
}

int ResultPaneKeys::Attach(HWND window, WORD enter, WORD click)
{
    Detach();
    if (!::IsWindow(window) || !::SetPropA(window, OwnerProperty, this))
        return 0;
    pane = window;
    enterCommand = enter;
    clickCommand = click;
    previous = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure)));
    return 1;
}

// Only put back what is still ours: someone who subclassed the pane after us
// keeps their procedure.
void ResultPaneKeys::Detach()
{
    if (pane == nullptr)
        return;
    if (::IsWindow(pane)) {
        if (::GetWindowLongPtrA(pane, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(Procedure))
            ::SetWindowLongPtrA(pane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        ::RemovePropA(pane, OwnerProperty);
    }
    pane = nullptr;
}

LRESULT CALLBACK ResultPaneKeys::Procedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* keys = static_cast<ResultPaneKeys*>(::GetPropA(h, OwnerProperty));
    if (keys == nullptr)
        return ::DefWindowProcA(h, message, wParam, lParam);
    return keys->Handle(h, message, wParam, lParam);
}

LRESULT ResultPaneKeys::Handle(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    WNDPROC original = previous;
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN && PlainKey()) {
            Ask(enterCommand);
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == '\r' && PlainKey())
            return 0; // the jump replaces the line break
        break;
    case WM_LBUTTONDBLCLK:
        clickPending = true;
        break;
    case WM_LBUTTONUP: {
        // Asked once the pane has finished with the mouse (its word
        // selection, its capture), so the jump does not race the click.
        LRESULT result = ::CallWindowProcA(original, h, message, wParam, lParam);
        if (clickPending)
            Ask(clickCommand);
        clickPending = false;
        return result;
    }
    case WM_NCDESTROY:
        Detach();
        return ::CallWindowProcA(original, h, message, wParam, lParam);
    default:
        break;
    }
    return ::CallWindowProcA(original, h, message, wParam, lParam);
}

// Posted, so the jump runs after the pane has finished with its message.
void ResultPaneKeys::Ask(WORD command)
{
    ::PostMessageA(::GetParent(pane), WM_COMMAND, command, 0);
}
