#include "support/KeyInput.h"

#include <cctype>
#include <vector>

#include "support/WaitUntil.h"

namespace {

INPUT Key(WORD key, bool up)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

INPUT Button(DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

void Send(std::vector<INPUT>& inputs)
{
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// A click sent within the double-click time of the one before, at the same
// place, reaches the window as a double click: in the result pane, a tag jump.
void WaitOutDoubleClickTime()
{
    static DWORD lastClick = 0;
    static bool clicked = false;
    DWORD gap = ::GetDoubleClickTime() + 50;
    DWORD since = ::GetTickCount() - lastClick;
    if (clicked && since < gap)
        ::Sleep(gap - since);
    lastClick = ::GetTickCount();
    clicked = true;
}

} // namespace

bool BringToFront(HWND window)
{
    return WaitUntil([&] {
        ::SetForegroundWindow(window);
        return ::GetForegroundWindow() == window;
    });
}

void PressChord(std::initializer_list<WORD> keys)
{
    std::vector<INPUT> inputs;
    for (WORD key : keys)
        inputs.push_back(Key(key, false));
    for (auto key = keys.end(); key != keys.begin();)
        inputs.push_back(Key(*--key, true));
    Send(inputs);
}

void TypeText(const std::string& text)
{
    for (char c : text)
        PressChord({static_cast<WORD>(std::toupper(static_cast<unsigned char>(c)))});
}

void ClickAt(HWND window, POINT point, int clicks)
{
    WaitOutDoubleClickTime();
    ::ClientToScreen(window, &point);
    ::SetCursorPos(point.x, point.y);
    std::vector<INPUT> inputs;
    for (int i = 0; i < clicks; ++i) {
        inputs.push_back(Button(MOUSEEVENTF_LEFTDOWN));
        inputs.push_back(Button(MOUSEEVENTF_LEFTUP));
    }
    Send(inputs);
}
