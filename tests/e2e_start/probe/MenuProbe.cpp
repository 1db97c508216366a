// MenuProbe: a hook library that the end-to-end tests place into the running
// editor to read its menu bar from inside. Under Wine a menu handle of
// another process cannot be read (GetMenuItemCount gives -1), so the texts
// are read with GetMenuStringA in the editor's own thread and sent back to
// the test's receiver window with WM_COPYDATA.
#include <string>

#include "framework/Win32.h"

namespace {

HMODULE self = nullptr;

// One line per entry: popup index, item index (-1 for the popup itself),
// command id, text; fields separated by tabs.
std::string DescribeMenu(HMENU bar)
{
    std::string out;
    int popups = ::GetMenuItemCount(bar);
    for (int p = 0; p < popups; ++p) {
        char text[256] = {};
        ::GetMenuStringA(bar, static_cast<UINT>(p), text, sizeof(text), MF_BYPOSITION);
        out += std::to_string(p) + "\t-1\t0\t" + text + "\n";
        HMENU popup = ::GetSubMenu(bar, p);
        int items = popup != nullptr ? ::GetMenuItemCount(popup) : 0;
        for (int i = 0; i < items; ++i) {
            char itemText[256] = {};
            ::GetMenuStringA(popup, static_cast<UINT>(i), itemText, sizeof(itemText), MF_BYPOSITION);
            out += std::to_string(p) + "\t" + std::to_string(i) + "\t" +
                   std::to_string(::GetMenuItemID(popup, i)) + "\t" + itemText + "\n";
        }
    }
    return out;
}

LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    static const UINT request = ::RegisterWindowMessageA("QuorvaneMenuProbeRequest");
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == request && msg->hwnd != nullptr) {
        HWND receiver = reinterpret_cast<HWND>(msg->lParam);
        std::string report = DescribeMenu(::GetMenu(msg->hwnd));
        COPYDATASTRUCT data = {};
        data.dwData = 1;
        data.cbData = static_cast<DWORD>(report.size() + 1);
        data.lpData = &report[0];
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(receiver, WM_COPYDATA, reinterpret_cast<WPARAM>(msg->hwnd),
                              reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 30000, &result);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

// Hooks the message retrieval of one thread of another process; the system
// loads this library into that process to run the hook.
extern "C" __declspec(dllexport) HHOOK InstallMenuProbe(DWORD threadId)
{
    return ::SetWindowsHookExA(WH_GETMESSAGE, ProbeHook, self, threadId);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        self = instance;
    return TRUE;
}
