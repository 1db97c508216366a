// EditControl: a Control of the system class "Edit", with the selection
// messages the editor sends to its panes. Selections are exchanged in byte
// offsets into the control's text, whatever unit the system's control counts
// in (EditOffsets).
#pragma once

#include <string>

#include "framework/Control.h"

class EditControl : public Control {
public:
    EditControl();
    ~EditControl() override = default;

    // Byte offsets of the selection's start and end (either pointer may be
    // null). Returns EM_GETSEL's packed result, in bytes: -1 when an offset
    // does not fit in 16 bits (the pointers always get the whole offsets).
    LRESULT GetSelection(DWORD* start, DWORD* end);
    // Selects the bytes start..end; -1 keeps its EM_SETSEL meaning.
    LRESULT SetSelection(int start, int end);
    // EM_REPLACESEL that the control's undo can take back.
    LRESULT ReplaceSelection(const std::string& text);
    // Adds text after the last character, not to be undone, and leaves the
    // selection and the scroll position where they were, so that someone
    // reading or selecting in the control is not moved (an upward selection
    // stays upward). Only what the new text changes in view is drawn again.
    void AppendKeepingView(const std::string& text);

private:
    // Whether the caret is at the start of the selection start..end.
    bool CaretAtStart(DWORD start, DWORD end);
    // Whole or partly shown lines of the formatting rectangle.
    int VisibleLineCount();
};
