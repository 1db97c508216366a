#include "framework/Application.h"

#include <algorithm>
#include <cstdlib>

#include "framework/WindowTables.h"

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
        if (IsModelessDialogMessage(msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void Application::AddModelessDialog(HWND dialog)
{
    if (std::find(modelessDialogs.begin(), modelessDialogs.end(), dialog) == modelessDialogs.end())
        modelessDialogs.push_back(dialog);
}

void Application::RemoveModelessDialog(HWND dialog)
{
    modelessDialogs.erase(std::remove(modelessDialogs.begin(), modelessDialogs.end(), dialog),
                          modelessDialogs.end());
}

bool Application::IsModelessDialogMessage(MSG& msg)
{
    for (HWND dialog : modelessDialogs) {
        if (::IsDialogMessageA(dialog, &msg))
            return true;
    }
    return false;
}

std::string Application::GetModuleDirectory()
{
    char path[MAX_PATH];
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH) == 0)
        return std::string();
    char drive[_MAX_DRIVE];
    char dir[_MAX_DIR];
    _splitpath(path, drive, dir, nullptr, nullptr);
    return std::string(drive) + dir;
}
