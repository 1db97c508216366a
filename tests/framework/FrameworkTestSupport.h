// Shared pieces of the framework tests: an application object that records
// what reaches its fallback procedure, a window that records its messages,
// and a helper that pumps the thread's messages.
#pragma once

#include <string>
#include <vector>

#include "framework/Application.h"
#include "framework/Window.h"

struct RecordedMessage {
    HWND hwnd;
    UINT message;
};

class RecordingApplication : public Application {
public:
    LRESULT FallbackProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        fallback.push_back({h, message});
        return Application::FallbackProc(h, message, wParam, lParam);
    }
    int OnInit() override { return 1; }
    int OnExit() override { return 1; }

    bool FallbackSaw(HWND h, UINT message) const
    {
        for (const RecordedMessage& m : fallback)
            if (m.hwnd == h && m.message == message)
                return true;
        return false;
    }
    bool FallbackSawAnyFor(HWND h) const
    {
        for (const RecordedMessage& m : fallback)
            if (m.hwnd == h)
                return true;
        return false;
    }

    std::vector<RecordedMessage> fallback;
};

// A top-level window of a framework-registered class that records every
// message reaching its handler.
class RecordingWindow : public Window {
public:
    explicit RecordingWindow(const char* classNameToUse = "ZelkTestRecordingWindow")
    {
        className = classNameToUse;
        style = WS_OVERLAPPEDWINDOW;
        caption = "recording";
    }

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        received.push_back(message);
        if (message == WM_DESTROY)
            OnDestroy(h);
        return Window::HandleMessage(h, message, wParam, lParam);
    }

    virtual void OnDestroy(HWND) {}

    bool Received(UINT message) const
    {
        for (UINT m : received)
            if (m == message)
                return true;
        return false;
    }

    std::vector<UINT> received;

    // Exposed for the tests.
    using Window::autoDelete;
    using Window::background;
    using Window::className;
    using Window::classStyle;
    using Window::prevWindowProc;
    using Window::style;
};

inline void PumpMessages()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// The messages a window must see while CreateWindowExA runs, in this order.
inline std::vector<UINT> CreationSequence()
{
    return {WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE, WM_CREATE};
}

// Keeps the messages of received that are in interesting, in order.
inline std::vector<UINT> Only(const std::vector<UINT>& received, const std::vector<UINT>& interesting)
{
    std::vector<UINT> kept;
    for (UINT m : received)
        for (UINT i : interesting)
            if (m == i)
                kept.push_back(m);
    return kept;
}
