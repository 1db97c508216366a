// FolderWalk: the depth-first folder walk shared by the directory listing and
// grep. At every level the folder's own files come first, in the order the
// file system enumerates them, then each sub-folder in turn with everything
// below it; "." and ".." are skipped and nothing is sorted. A folder that
// cannot be enumerated counts as empty. A folder link that leads back into a
// folder the walk is already inside is reported but not entered, so link
// loops end. A name the ANSI code page cannot spell (it comes back with '?')
// is reached through its short name, which the paths then show; one without
// a short name is reported as unreachable. Folders whose name is on the
// excluded list are neither reported nor entered. Derived classes say what
// happens to each file and folder; a sink, when set, learns the folder being
// walked and can stop the walk between entries.
#pragma once

#include <string>
#include <vector>

#include "framework/Win32.h"

class ResultSink;

class FolderWalk {
public:
    FolderWalk() = default;
    FolderWalk(const FolderWalk&) = delete;
    FolderWalk& operator=(const FolderWalk&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~FolderWalk() = default;

    // Walks everything below folder. Paths are folder + "\\" + name at every
    // level, by plain concatenation (a drive root "C:\" gives "C:\\name").
    void Walk(const std::string& folder);

    // Folder names (any case) that the walk leaves out.
    void SetExcludedFolders(std::vector<std::string> names) { excluded = std::move(names); }

protected:
    // A file (any entry without the folder attribute), with its full path.
    virtual void OnFile(const std::string& path) = 0;
    // A sub-folder, just before its contents are walked (or left out, for a
    // link back into the walk).
    virtual void OnFolder(const std::string& path);
    // An entry whose name cannot be spelled and that has no short name; the
    // path shows the name as the system gave it.
    virtual void OnUnreachable(const std::string& path);

    ResultSink* sink = nullptr;

private:
    // What identifies a folder whatever path reaches it.
    struct FolderId {
        DWORD volume = 0;
        DWORD indexHigh = 0;
        DWORD indexLow = 0;
        bool operator==(const FolderId& other) const;
    };
    // One folder on the way from the walk's start to the current folder. Its
    // identity is read only when a link needs it.
    struct Level {
        size_t pathLength = 0;
        int idState = 0; // 0 not read yet, 1 known, -1 unreadable
        FolderId id;
    };

    void WalkLevel();
    bool IsExcluded(const char* name) const;
    bool LeadsBack(const std::string& linkPath);
    static bool ReadFolderId(const std::string& folderPath, FolderId& id);

    std::string path;           // the folder being walked, or an entry in it
    std::vector<Level> levels;  // the folders the walk is inside
    std::vector<std::string> excluded;
};
