// quorvane_driver: drives a running Quorvane from outside, for tools/run.sh
// and tools/screenshot.sh.
//   quorvane_driver wait              waits until the main window is shown
//   quorvane_driver open FILE         opens FILE through the Open dialog
//   quorvane_driver grep FOLDER TEXT  greps FOLDER for TEXT through the folder
//                                     browser and the grep dialog
//   quorvane_driver frame             prints the main window's frame as an
//                                     ImageMagick geometry (640x480+192+144)
//   quorvane_driver close             closes it through the exit question
// Exit code 1 when a window, dialog or result does not appear in time.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/Win32.h"
#include "res/resource.h"
#include "support/FolderBrowserSelection.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

namespace {

constexpr int LeftPaneId = 100;
constexpr int RightPaneId = 0;
constexpr int FileNameBoxId = 1148; // the Open dialog's file-name box

HWND MainWindow()
{
    return ::FindWindowA("TestWindow", nullptr);
}

struct BoxSearch {
    HWND owner;
    HWND skip;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND candidate, LPARAM param)
{
    auto* search = reinterpret_cast<BoxSearch*>(param);
    if (candidate != search->skip && ::IsWindowVisible(candidate) && WindowClass(candidate) == "#32770" &&
        ::GetWindow(candidate, GW_OWNER) == search->owner) {
        search->found = candidate;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog or message box that owner owns, other than skip; null if
// there is none now.
HWND OwnedDialog(HWND owner, HWND skip = nullptr)
{
    BoxSearch search = {owner, skip, nullptr};
    ::EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForOwnedDialog(HWND owner)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = OwnedDialog(owner)) != nullptr; });
    return found;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "quorvane_driver: %s\n", what);
    return 1;
}

void PostCommand(HWND window, int id)
{
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

void SetText(HWND window, const std::string& text)
{
    ::SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int WaitForMainWindow()
{
    if (!WaitUntil([] { return MainWindow() != nullptr && ::IsWindowVisible(MainWindow()); }))
        return Fail("the main window did not appear");
    ::Sleep(1500); // let it paint before a screenshot is taken
    return 0;
}

int OpenDocument(HWND main, const std::string& path)
{
    PostCommand(main, IDM_OPEN);
    HWND dialog = WaitForOwnedDialog(main);
    if (dialog == nullptr)
        return Fail("the Open dialog did not appear");
    SetText(::GetDlgItem(dialog, FileNameBoxId), path);
    PostCommand(dialog, IDOK);
    HWND pane = ::GetDlgItem(main, LeftPaneId);
    if (!WaitUntil([&] { return !::IsWindow(dialog) && !WindowText(pane).empty(); }))
        return Fail("the document did not open");
    return 0;
}

int Grep(HWND main, const std::string& folder, const std::string& text)
{
    DWORD processId = 0;
    ::GetWindowThreadProcessId(main, &processId);
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
    if (process == nullptr)
        return Fail("cannot reach the editor's process");
    PostCommand(main, IDM_GREP);
    HWND browser = WaitForOwnedDialog(main);
    bool selected = browser != nullptr && SelectFolderInBrowser(browser, folder, process);
    ::CloseHandle(process);
    if (!selected)
        return Fail("the folder browser did not take the folder");
    PostCommand(browser, IDOK);
    HWND grepDialog = nullptr;
    if (!WaitUntil([&] {
            grepDialog = ::IsWindow(browser) ? nullptr : OwnedDialog(main, browser);
            return grepDialog != nullptr && ::GetDlgItem(grepDialog, IDC_SEARCH_TEXT) != nullptr;
        }))
        return Fail("the grep dialog did not appear");
    SetText(::GetDlgItem(grepDialog, IDC_SEARCH_TEXT), text);
    PostCommand(grepDialog, IDOK);
    HWND pane = ::GetDlgItem(main, RightPaneId);
    if (!WaitUntil([&] { return !::IsWindow(grepDialog) && !WindowText(pane).empty(); }))
        return Fail("no grep results appeared");
    ::Sleep(1500); // let the panes paint before a screenshot is taken
    return 0;
}

int PrintFrame(HWND main)
{
    RECT frame = {};
    ::GetWindowRect(main, &frame);
    std::printf("%ldx%ld+%ld+%ld\n", frame.right - frame.left, frame.bottom - frame.top, frame.left, frame.top);
    return 0;
}

int CloseThroughExitQuestion(HWND main)
{
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND box = WaitForOwnedDialog(main);
    if (box == nullptr)
        return Fail("the exit question did not appear");
    PostCommand(box, IDOK);
    if (!WaitUntil([&] { return !::IsWindow(main); }))
        return Fail("the main window did not close");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string command = argc >= 2 ? argv[1] : "";
    if (argc == 2 && command == "wait")
        return WaitForMainWindow();
    HWND main = MainWindow();
    if (main == nullptr && !command.empty())
        return Fail("no main window");
    if (argc == 2 && command == "close")
        return CloseThroughExitQuestion(main);
    if (argc == 2 && command == "frame")
        return PrintFrame(main);
    if (argc == 3 && command == "open")
        return OpenDocument(main, argv[2]);
    if (argc == 4 && command == "grep")
        return Grep(main, argv[2], argv[3]);
    if (argc == 3 && command == "menu") { // a menu command by its id, run to its end
        ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(std::atoi(argv[2]), 0), 0);
        return 0;
    }
    std::fprintf(stderr, "usage: quorvane_driver wait|close|frame|open FILE|grep FOLDER TEXT|menu ID\n");
    return 2;
}
