// EditControl: a Control of the system class "Edit", with the selection
// messages the editor's dialogs send to their edit boxes. Offsets are the
// control's own.
#pragma once

#include <string>

#include "framework/Control.h"

class EditControl : public Control {
public:
    EditControl();
    ~EditControl() override = default;

    // The selection's start and end (either pointer may be null); returns
    // EM_GETSEL's packed result.
    LRESULT GetSelection(DWORD* start, DWORD* end);
    // Selects start..end; -1 keeps its EM_SETSEL meaning.
    LRESULT SetSelection(int start, int end);
    // EM_REPLACESEL that the control's undo can take back.
    LRESULT ReplaceSelection(const std::string& text);
};
