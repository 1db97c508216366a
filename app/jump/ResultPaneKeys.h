// ResultPaneKeys: makes Enter and a double click in a pane ask its parent for
// a tag jump on the caret's line (a WM_COMMAND with the given ids), as the
// right pane of the main window needs for grep results. Enter no longer
// breaks the line there; the double click still selects the word first.
// Subclasses the pane's window while attached; the main window holds it.
#pragma once

#include "framework/Win32.h"

class ResultPaneKeys {
public:
    ResultPaneKeys() = default;
    ResultPaneKeys(const ResultPaneKeys&) = delete;
    ResultPaneKeys& operator=(const ResultPaneKeys&) = delete;
    ~ResultPaneKeys();

    // enterCommand is sent for Enter, clickCommand for a double click.
    int Attach(HWND pane, WORD enterCommand, WORD clickCommand);
    void Detach();

private:
    static LRESULT CALLBACK Procedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
    void Ask(WORD command);

    HWND pane = nullptr;
    WNDPROC previous = nullptr;
    WORD enterCommand = 0;
    WORD clickCommand = 0;
    bool clickPending = false;
};
