#include "app/TestApp.h"

// Without a main window there is nothing to wait for: report the failure so
// that Run ends the process instead of looping with no window.
int TestApp::OnInit()
{
    return mainWindow.Create(nullptr, 0, 0, 640, 480);
}

int TestApp::OnExit()
{
    return 0;
}
