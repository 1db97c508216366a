// WindowText, WindowClass: what a window shows and what it is, for windows of
// this process and of another one alike. The text is asked for with
// WM_GETTEXT: GetWindowTextA would give only the caption of another
// process's window, never the text of its Edit and Static controls.
#pragma once

#include <string>

#include "framework/Win32.h"

std::string WindowText(HWND window);
std::string WindowClass(HWND window);
