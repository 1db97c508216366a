// EditControl: a Control of the system class "Edit", with the selection
// messages the editor sends to its panes.
#pragma once

#include "framework/Control.h"

class EditControl : public Control {
public:
    EditControl();
    ~EditControl() override = default;

    LRESULT GetSelection(DWORD* start, DWORD* end);
    LRESULT SetSelection(int start, int end);
};
