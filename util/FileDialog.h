// FileDialog: the system's Open or Save As dialog with a list of file-type
// filters. The caller sets the public strings, adds filters and flags, shows
// it and reads the chosen path. The OPENFILENAMEA record, the file-name buffer
// and the filter list belong to the object and persist between showings, so
// what the system writes back (such as the chosen filter) is kept.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "framework/Win32.h"
#include "util/FileFilter.h"

class Window;

class FileDialog {
public:
    // The file-name buffer: room for a long path, or for several names.
    static constexpr DWORD FileBufferSize = 33280;
    static constexpr DWORD DefaultFlags = OFN_READONLY | OFN_HIDEREADONLY | OFN_FILEMUSTEXIST;

    FileDialog();
    FileDialog(const FileDialog&) = delete;
    FileDialog& operator=(const FileDialog&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~FileDialog();

    // Configuration.
    void AddFilter(const FileFilter& filter);
    int AddFilters(const FileFilter* list, int count);
    void SetFlags(int flags);
    // A part of the caller's own below the dialog's controls: a dialog
    // template of the program's resources and its hook, which finds data in
    // the record's lCustData. The explorer-style dialog is then shown.
    void SetCustomPart(const char* templateName, LPOFNHOOKPROC hook, LPARAM data);

    // Mode 1 shows the Open dialog, any other value the Save As dialog.
    // Non-zero when the user chose a file. Each showing starts from fileName.
    BOOL Show(Window& owner, int mode);
    // The chosen path; "" before the first showing.
    std::string GetFileName() const;

    // Read-only views of what is handed to the system.
    const OPENFILENAMEA& GetRecord() const { return ofn; }
    // The filter list of the last showing, up to and including its final NUL.
    std::string GetFilterList() const;

    std::string defaultExt;
    std::string initialDir;
    std::string fileName;
    std::string title;

private:
    int PrepareFileBuffer();
    int BuildFilterList();

    OPENFILENAMEA ofn;
    LPOFNHOOKPROC partHook = nullptr;
    std::vector<FileFilter> filters;
    std::unique_ptr<char[]> fileBuffer;
    std::unique_ptr<char[]> filterList;
    size_t filterListSize = 0;
};
