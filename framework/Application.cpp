#include "framework/Application.h"

#include <algorithm>
#include <cstdlib>

#include "framework/WindowTables.h"
#include "util/PathText.h"

namespace {
Application* theApplication = nullptr;
}

Application* GetApplication()
{
    return theApplication;
}

HINSTANCE ApplicationInstance()
{
    return theApplication != nullptr ? theApplication->GetInstance()
                                     : ::GetModuleHandleA(nullptr);
}

// Until Run stores the handle WinMain was given, the executable's own module
// handle (the same value) serves, so windows can be made before Run.
Application::Application() : instance(::GetModuleHandleA(nullptr))
{
    theApplication = this;
}

Application::~Application()
{
    while (!controlTable.empty())
        controlTable.erase(controlTable.begin());
    // Nothing may reach this object through the global pointer once it is gone.
    if (theApplication == this)
        theApplication = nullptr;
}

LRESULT Application::FallbackProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcA(h, message, wParam, lParam);
}

int Application::InitFramework()
{
    waitCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)); // IDC_WAIT
    ::InitCommonControls();
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_INTERNET_CLASSES;
    ::InitCommonControlsEx(&controls);
    controls.dwICC = ICC_DATE_CLASSES;
    ::InitCommonControlsEx(&controls);
    return 1;
}

int Application::Run(HINSTANCE moduleInstance)
{
    instance = moduleInstance;
    if (InitFramework() == 0)
        return -2;
    if (OnInit() == 0)
        return -1;
    int result = MessageLoop();
    OnExit();
    return result;
}

int Application::MessageLoop()
{
    MSG msg = {};
    // GetMessageA reports -1 on an invalid call; that must end the loop too.
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.hwnd == nullptr)
            FallbackProc(nullptr, msg.message, msg.wParam, msg.lParam);
        if (PreTranslate(msg) == 1)
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : -1; // -1: GetMessageA failed
}

int Application::SetAccelerators(HWND target, WORD id)
{
    accelerators = ::LoadAcceleratorsA(instance, MAKEINTRESOURCEA(id));
    acceleratorTarget = accelerators != nullptr ? target : nullptr;
    return accelerators != nullptr ? 1 : 0;
}

void Application::AddModelessDialog(HWND dialog)
{
    if (dialog != nullptr &&
        std::find(modelessDialogs.begin(), modelessDialogs.end(), dialog) == modelessDialogs.end())
        modelessDialogs.push_back(dialog);
}

void Application::RemoveModelessDialog(HWND dialog)
{
    modelessDialogs.erase(std::remove(modelessDialogs.begin(), modelessDialogs.end(), dialog),
                          modelessDialogs.end());
}

// A dialog's own keys come first, so Enter or Esc in a modeless dialog is
// never taken as a shortcut of the main window. Shortcuts apply only while
// the target or one of its children has the message: a key in some other
// top-level window of the thread stays that window's.
int Application::PreTranslate(MSG& msg)
{
    for (HWND dialog : modelessDialogs) {
        if (::IsWindow(dialog) && ::IsDialogMessageA(dialog, &msg))
            return 1;
    }
    if (accelerators == nullptr || !::IsWindow(acceleratorTarget))
        return 0;
    if (msg.hwnd != acceleratorTarget && !::IsChild(acceleratorTarget, msg.hwnd))
        return 0;
    return ::TranslateAcceleratorA(acceleratorTarget, accelerators, &msg) ? 1 : 0;
}

std::string Application::GetModuleDirectory()
{
    char path[MAX_PATH];
    // A path that fills the buffer was cut short: a directory made from it
    // would name some other folder.
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    // By character: a byte split takes the 0x5C of "ソ.exe" for a separator.
    return FolderPart(path);
}
