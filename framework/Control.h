// Control: a child window with a control id. Either it makes its own child
// (Create) or the framework attaches it to an existing one (GetDlgItem). It
// keeps its system class's window procedure; its notifications go to the
// parent as WM_COMMAND. Bound controls are also listed in controlTable.
#pragma once

#include "framework/Rect.h"
#include "framework/Window.h"

class Control : public Window {
public:
    Control();
    ~Control() override = default;

    void Attach(HWND h) override;

    // style -1 keeps the constructor's style; rect is read as edges.
    int Create(DWORD newStyle, Rect rect, Window* parentWindow, int id);
    LRESULT SetCheck(int state);
};
