// OwnerWindow: a plain, visible top-level window of the framework that owns
// the dialogs a test shows. The constructor creates it and the destructor
// destroys it; IsReady tells whether creation worked.
#pragma once

#include "framework/Window.h"

class OwnerWindow : public Window {
public:
    OwnerWindow();
    ~OwnerWindow() override;

    bool IsReady() { return IsWindow() != FALSE; }
};
