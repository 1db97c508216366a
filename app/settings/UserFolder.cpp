#include "app/settings/UserFolder.h"

#include "framework/Win32.h"

std::string UserFolder(const char* environmentVariable, int shellFolder)
{
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA(environmentVariable, folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return std::string(folder, length);
    if (SUCCEEDED(::SHGetFolderPathA(nullptr, shellFolder, nullptr, 0, folder)))
        return folder;
    return std::string();
}
