#include "app/TestApp.h"

#include "res/resource.h"

// Without a main window there is nothing to wait for: report the failure so
// that Run ends the process instead of looping with no window.
int TestApp::OnInit()
{
    if (mainWindow.Create(nullptr, 0, 0, 640, 480) == 0)
        return 0;
    SetAccelerators(mainWindow.GetHandle(), IDR_ACCELERATORS);
    mainWindow.Start(::GetCommandLineA());
    return 1;
}

int TestApp::OnExit()
{
    return 0;
}
