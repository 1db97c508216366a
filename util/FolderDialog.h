// FolderDialog: the shell's folder browser, optionally opening with a folder
// selected. The caller sets the public members, shows it and reads the chosen
// folder with GetPath. The browser's item list lives only inside Show.
// COM is the caller's business (the browser's classic form needs none).
#pragma once

#include <string>

#include "framework/Win32.h"

class Window;

class FolderDialog {
public:
    FolderDialog();
    FolderDialog(const FolderDialog&) = delete;
    FolderDialog& operator=(const FolderDialog&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~FolderDialog();

    // 1 when a file-system folder was chosen (path then holds it), else 0
    // with path unchanged.
    int Show(Window& owner);
    std::string GetPath() const { return path; }

    std::string title = "フォルダを選択";
    // Selected when the browser opens; "" selects nothing.
    std::string initialFolder;
    std::string path;
    UINT flags = BIF_RETURNONLYFSDIRS;
};
