#include "support/PaneProbe.h"

#include "support/KeyInput.h"
#include "support/WaitUntil.h"

std::pair<int, int> SelectionOf(HWND pane)
{
    auto packed = static_cast<DWORD>(::SendMessageA(pane, EM_GETSEL, 0, 0));
    return {LOWORD(packed), HIWORD(packed)};
}

HWND FocusOf(HWND main)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info);
    return info.hwndFocus;
}

POINT LinePoint(HWND pane, int line)
{
    LRESULT index = ::SendMessageA(pane, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    auto packed = static_cast<DWORD>(::SendMessageA(pane, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0));
    return POINT{static_cast<short>(LOWORD(packed)) + 3, static_cast<short>(HIWORD(packed)) + 4};
}

bool PutCaretOnLine(HWND main, HWND pane, int line)
{
    auto caretLine = [&] { return ::SendMessageA(pane, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0); };
    for (int attempt = 0; attempt < 3; ++attempt) {
        BringToFront(main);
        ClickAt(pane, LinePoint(pane, line));
        if (WaitUntil([&] { return FocusOf(main) == pane && caretLine() == line; }, 5000))
            return true;
    }
    return false;
}
