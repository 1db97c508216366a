// TestApp: Quorvane's application object. It makes the main window and runs
// the message loop; WinMain keeps it on its stack for the whole run.
#pragma once

#include "app/TestWindow.h"
#include "framework/Application.h"

class TestApp : public Application {
public:
    TestApp() = default;
    ~TestApp() override = default;

    int OnInit() override;
    int OnExit() override;

private:
    TestWindow mainWindow;
};
