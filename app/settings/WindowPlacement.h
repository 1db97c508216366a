// WindowPlacement: the main window's size, position and maximised state kept
// in the user's settings between runs. A placement that no longer meets any
// monitor (a display taken away, a changed resolution) is brought back onto
// the nearest one. Stateless; the main window calls it.
#pragma once

#include "app/settings/UserSettings.h"
#include "framework/Win32.h"

class WindowPlacement {
public:
    // 1 when a saved placement was applied; 0 leaves the window as it is.
    static int Restore(HWND window, const UserSettings& settings);
    // 1 when the placement reached the settings.
    static int Save(HWND window, UserSettings& settings);
    // rect moved (and shrunk if need be) to lie inside area.
    static RECT KeptInside(RECT rect, const RECT& area);
};
