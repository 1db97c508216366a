// quorvane_driver: drives a running Quorvane from outside, for tools/run.sh.
//   quorvane_driver wait   waits until the main window is shown (exit 0)
//   quorvane_driver close  closes it through the exit question, answering OK
// Exit code 1 when the window or the question does not appear in time.
#include <cstdio>
#include <cstring>

#include "framework/Win32.h"

namespace {

constexpr DWORD TimeoutMs = 60000;

template <typename Probe>
bool WaitFor(Probe probe)
{
    for (DWORD waited = 0; waited < TimeoutMs; waited += 100) {
        if (probe())
            return true;
        ::Sleep(100);
    }
    return false;
}

HWND MainWindow()
{
    return ::FindWindowA("TestWindow", nullptr);
}

struct BoxSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedBox(HWND candidate, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    char className[16] = {};
    ::GetClassNameA(candidate, className, sizeof(className));
    if (std::strcmp(className, "#32770") == 0 && ::GetWindow(candidate, GW_OWNER) == search->owner) {
        search->found = candidate;
        return FALSE;
    }
    return TRUE;
}

HWND OwnedMessageBox(HWND owner)
{
    BoxSearch search = {owner, nullptr};
    ::EnumWindows(FindOwnedBox, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

int WaitForMainWindow()
{
    bool shown = WaitFor([] {
        HWND main = MainWindow();
        return main != nullptr && ::IsWindowVisible(main);
    });
    if (!shown) {
        std::fprintf(stderr, "quorvane_driver: the main window did not appear\n");
        return 1;
    }
    ::Sleep(1500); // let it paint before a screenshot is taken
    return 0;
}

int CloseThroughExitQuestion()
{
    HWND main = MainWindow();
    if (main == nullptr) {
        std::fprintf(stderr, "quorvane_driver: no main window to close\n");
        return 1;
    }
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = OwnedMessageBox(main)) != nullptr; })) {
        std::fprintf(stderr, "quorvane_driver: the exit question did not appear\n");
        return 1;
    }
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    if (!WaitFor([&] { return !::IsWindow(main); })) {
        std::fprintf(stderr, "quorvane_driver: the main window did not close\n");
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 2 && std::strcmp(argv[1], "wait") == 0)
        return WaitForMainWindow();
    if (argc == 2 && std::strcmp(argv[1], "close") == 0)
        return CloseThroughExitQuestion();
    std::fprintf(stderr, "usage: quorvane_driver wait|close\n");
    return 2;
}
