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

// A mouse event at a place on the screen. Absolute input is in 65536ths of
// the primary screen; this aims at the middle of the pixel, so either
// rounding lands on it.
INPUT MouseAt(POINT screen, DWORD buttons)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
    auto scaled = [](LONG at, int size) { return static_cast<LONG>((2LL * at + 1) * 65536 / (2LL * size)); };
    input.mi.dx = scaled(screen.x, ::GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = scaled(screen.y, ::GetSystemMetrics(SM_CYSCREEN));
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
    // The pointer is there before the first button, and every button event
    // says where it is: Wine can deliver a button at the place the pointer
    // had before, and an Edit control that holds the mouse then selects up
    // to that place.
    std::vector<INPUT> inputs{MouseAt(point, 0)};
    Send(inputs);
    WaitUntil([&] {
        POINT at = {};
        return ::GetCursorPos(&at) && at.x == point.x && at.y == point.y;
    }, 1000);
    inputs.clear();
    for (int i = 0; i < clicks; ++i) {
        inputs.push_back(MouseAt(point, MOUSEEVENTF_LEFTDOWN));
        inputs.push_back(MouseAt(point, MOUSEEVENTF_LEFTUP));
    }
    Send(inputs);
}
