// FolderBrowserSelection: selects a folder in an open folder browser
// (SHBrowseForFolderA) and waits until the browser's tree really shows it
// selected. A browser that has only just opened may still be filling its
// tree and drop a selection made at once; the test would then confirm some
// other folder. Works on a browser of this thread and, given the process
// handle, on one of another process.
#pragma once

#include <string>

#include "framework/Win32.h"

// True once the browser's selected tree item is named like folder's last
// component; tries again for a few seconds. In-process waits pump this
// thread's messages, so the browser keeps working meanwhile.
bool SelectFolderInBrowser(HWND browser, const std::string& folder, HANDLE otherProcess = nullptr);
