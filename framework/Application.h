// Application: the program's one application object. It records the module
// instance handle that class registration, dialogs and resource loads use,
// lets the derived class make its main window, and runs the message loop.
// The derived object lives on the entry function's stack for the whole run.
#pragma once

#include <string>
#include <vector>

#include "framework/Win32.h"

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~Application();
    virtual LRESULT FallbackProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
    virtual int OnInit() = 0;
    virtual int OnExit() = 0;
    virtual int MessageLoop();

    int Run(HINSTANCE moduleInstance);
    HINSTANCE GetInstance() const { return instance; }
    std::string GetModuleDirectory();

    // Modeless dialogs whose keys (Tab, Enter, Esc) the message loop hands to
    // IsDialogMessageA; a dialog leaves the list before it is destroyed.
    void AddModelessDialog(HWND dialog);
    void RemoveModelessDialog(HWND dialog);

private:
    int InitFramework();
    bool IsModelessDialogMessage(MSG& msg);

    HINSTANCE instance;
    HCURSOR waitCursor = nullptr;
    std::vector<HWND> modelessDialogs;
};

Application* GetApplication();

// The instance handle resources are loaded from: the application's, or the
// executable's own while no application object exists.
HINSTANCE ApplicationInstance();
