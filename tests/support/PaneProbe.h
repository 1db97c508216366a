// PaneProbe: a pane of another process's editor as a user sees it: the
// caret and selection, where a line is on screen, which control has the
// focus, and a click that puts the caret on a line.
#pragma once

#include <utility>

#include "framework/Win32.h"

// The selection of an Edit-like pane (start, end) by EM_GETSEL's result.
std::pair<int, int> SelectionOf(HWND pane);
// The focused control of main's thread.
HWND FocusOf(HWND main);
// A point inside the first character of line (0-based) of a pane.
POINT LinePoint(HWND pane, int line);
// Clicks line of pane until it has the focus and the caret is there; a
// loaded machine can lose a click sent while the window comes to the front.
bool PutCaretOnLine(HWND main, HWND pane, int line);
