#include "util/DirectoryUtils.h"

#include "framework/Win32.h"
#include "util/FindHandle.h"
#include "util/PathText.h"

#include <shlwapi.h>

int CopyDirectoryFiles(std::string destination, std::string source)
{
    // An empty path would turn into "\", the root of the current drive.
    if (destination.empty() || source.empty())
        return 0;
    if (!::PathFileExistsA(destination.c_str()) &&
        !::CreateDirectoryA(destination.c_str(), nullptr))
        return 0;

    AppendSeparator(source);
    AppendSeparator(destination);

    FindHandle search(source + "*.*");
    if (!search.IsOpen())
        return 0;
    int result = 1;
    do {
        const WIN32_FIND_DATAA& entry = search.Entry();
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
            continue;
        const std::string from = source + entry.cFileName;
        const std::string to = destination + entry.cFileName;
        if (!::CopyFileA(from.c_str(), to.c_str(), FALSE))
            result = 0;
    } while (search.Next());
    return result;
}

int IsDirectory(std::string path)
{
    FindHandle search(path);
    if (!search.IsOpen())
        return 0;
    do {
        if (search.Entry().dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY)
            return 1;
    } while (search.Next());
    return 0;
}
