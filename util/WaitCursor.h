// WaitCursor: shows the hourglass while an object of it lives, for work the
// user waits for on the window's own thread (opening or saving a large
// file), and puts the previous cursor back when it goes.
#pragma once

#include "framework/Win32.h"

class WaitCursor {
public:
    WaitCursor() : previous(::SetCursor(::LoadCursorA(nullptr, IDC_WAIT))) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { ::SetCursor(previous); }

private:
    HCURSOR previous;
};
