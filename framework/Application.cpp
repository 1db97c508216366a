#include "framework/Application.h"

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
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

std::string Application::GetModuleDirectory()
{
    char path[MAX_PATH];
    if (::GetModuleFileNameA(nullptr, path, MAX_PATH) == 0)
        return std::string();
    // By character: a byte split takes the 0x5C of "ソ.exe" for a separator.
    return FolderPart(path);
}
