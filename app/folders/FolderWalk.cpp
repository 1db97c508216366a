#include "app/folders/FolderWalk.h"

#include <cstring>
#include <memory>

#include "app/folders/FileMask.h"
#include "app/folders/ResultSink.h"
#include "util/FindHandle.h"
#include "util/KernelHandle.h"

namespace {

bool IsDotEntry(const char* name)
{
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// A sub-folder remembered during the enumeration, walked after the files.
struct SubFolder {
    std::string name;
    bool isLink;
    bool reachable;
};

// The name to use in paths: the long one, or the short one when the code
// page could not spell the long one ('?' never occurs in a real name, and is
// no trail byte). "" when there is neither.
const char* ReachableName(const WIN32_FIND_DATAA& entry)
{
    if (std::strchr(entry.cFileName, '?') == nullptr)
        return entry.cFileName;
    return entry.cAlternateFileName;
}

bool Stopped(const ResultSink* sink)
{
    return sink != nullptr && sink->Stopped();
}

} // namespace

bool FolderWalk::FolderId::operator==(const FolderId& other) const
{
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
}

void FolderWalk::OnFolder(const std::string&)
{
}

void FolderWalk::OnUnreachable(const std::string&)
{
}

bool FolderWalk::IsExcluded(const char* name) const
{
    for (const std::string& excludedName : excluded) {
        if (FileMask::SameName(excludedName, name))
            return true;
    }
    return false;
}

void FolderWalk::Walk(const std::string& folder)
{
    path = folder;
    levels.clear();
    levels.push_back(Level{path.size(), 0, FolderId()});
    WalkLevel();
    levels.clear();
}

// Walks the folder in `path`; leaves `path` as it found it.
void FolderWalk::WalkLevel()
{
    const size_t folderLength = path.size();
    if (sink != nullptr)
        sink->NoteFolder(path);
    std::vector<SubFolder> subFolders;
    {
        path += "\\*.*";
        FindHandle find(path);
        path.resize(folderLength);
        // A folder that cannot be enumerated has no entries to take.
        for (bool more = find.IsOpen(); more && !Stopped(sink); more = find.Next()) {
            const WIN32_FIND_DATAA& entry = find.Entry();
            const char* name = ReachableName(entry);
            const bool reachable = *name != '\0';
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!IsDotEntry(entry.cFileName) && !IsExcluded(entry.cFileName))
                    subFolders.push_back(SubFolder{reachable ? name : entry.cFileName,
                                                   (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                                                   reachable});
                continue;
            }
            path += '\\';
            path += reachable ? name : entry.cFileName;
            if (reachable)
                OnFile(path);
            else
                OnUnreachable(path);
            path.resize(folderLength);
        }
    }
    for (const SubFolder& sub : subFolders) {
        if (Stopped(sink))
            break;
        path += '\\';
        path += sub.name;
        if (sub.reachable)
            OnFolder(path);
        else
            OnUnreachable(path);
        if (sub.reachable && (!sub.isLink || !LeadsBack(path))) {
            levels.push_back(Level{path.size(), 0, FolderId()});
            WalkLevel();
            levels.pop_back();
        }
        path.resize(folderLength);
    }
}

// Whether the link at linkPath reaches one of the folders the walk is inside.
// A link whose target cannot be identified is not entered either: the walk
// could not tell whether it loops.
bool FolderWalk::LeadsBack(const std::string& linkPath)
{
    FolderId target;
    if (!ReadFolderId(linkPath, target))
        return true;
    for (Level& level : levels) {
        if (level.idState == 0)
            level.idState = ReadFolderId(path.substr(0, level.pathLength), level.id) ? 1 : -1;
        if (level.idState == 1 && level.id == target)
            return true;
    }
    return false;
}

// Opening follows links, so a link and its target give the same identity.
bool FolderWalk::ReadFolderId(const std::string& folderPath, FolderId& id)
{
    const KernelHandle folder = OwnHandle(::CreateFileA(folderPath.c_str(), 0,
                                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (folder == nullptr)
        return false;
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(folder.get(), &info))
        return false;
    id.volume = info.dwVolumeSerialNumber;
    id.indexHigh = info.nFileIndexHigh;
    id.indexLow = info.nFileIndexLow;
    return true;
}
