// Dialog: runs a dialog template from the program's resources, modally or
// modelessly, bound to this object before its first message. OK and Cancel
// (Enter, Esc and the close box included) go to OnIdOk and OnIdCancel, whose
// defaults end the dialog with 1 and 2. The owner of the object runs it.
#pragma once

#include <map>

#include "framework/Window.h"

class Dialog : public Window {
public:
    Dialog();
    ~Dialog() override;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override;
    // Virtual slots 6 and 7.
    virtual int OnIdOk();
    virtual int OnIdCancel();

    int RunModal(Window* owner);
    int CreateModeless(Window* owner);
    BOOL EndDialog(int code);

protected:
    int templateId = 0;
    HHOOK hook = nullptr;
    int isModal = 0;
    int endCode = 0;

private:
    int EndWith(int code);
    void BeginCreation();
    void ClearPendingCreation();
    friend INT_PTR RouteDialogMessage(HWND, UINT, WPARAM, LPARAM);
    friend LRESULT CALLBACK DialogCreationHook(int, WPARAM, LPARAM);
};

extern std::map<HWND, Dialog*> dialogTable;

// The procedure of every framework dialog: routes each message through
// RouteDialogMessage to its object, and lets no exception out to the system.
INT_PTR CALLBACK DialogProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR RouteDialogMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK DialogCreationHook(int code, WPARAM wParam, LPARAM lParam);
