#include "app/settings/UserSettings.h"

#include <vector>

#include "app/settings/UserFolder.h"
#include "framework/Win32.h"

#include <shlwapi.h>
#include "util/VersionInfo.h"

namespace {

std::string DefaultPath()
{
    std::string folder = UserFolder("APPDATA", CSIDL_APPDATA);
    return folder.empty() ? std::string() : folder + "\\Quorvane\\Quorvane.ini";
}

} // namespace

UserSettings& UserSettings::Get()
{
    static UserSettings settings;
    return settings;
}

UserSettings::UserSettings() : path(DefaultPath()) {}

void UserSettings::SetPath(const std::string& iniPath)
{
    path = iniPath;
}

const std::string& UserSettings::Path() const
{
    return path;
}

int UserSettings::GetInt(const char* section, const char* key, int defaultValue) const
{
    if (path.empty())
        return defaultValue;
    return static_cast<int>(::GetPrivateProfileIntA(section, key, defaultValue, path.c_str()));
}

// Grows the buffer until the value fits: GetPrivateProfileStringA reports a
// cut value as size - 1 characters.
std::string UserSettings::GetString(const char* section, const char* key,
                                    const std::string& defaultValue) const
{
    if (path.empty())
        return defaultValue;
    for (DWORD size = 512; size <= 64 * 1024; size *= 4) {
        std::vector<char> buffer(size);
        DWORD length = ::GetPrivateProfileStringA(section, key, defaultValue.c_str(), buffer.data(), size,
                                                  path.c_str());
        if (length < size - 1)
            return std::string(buffer.data(), length);
    }
    return defaultValue;
}

int UserSettings::SetInt(const char* section, const char* key, int value)
{
    if (PrepareFolder() != 1)
        return 0;
    return WriteIniInt(section, key, value, path) ? 1 : 0;
}

int UserSettings::SetString(const char* section, const char* key, const std::string& value)
{
    if (PrepareFolder() != 1)
        return 0;
    return WriteIniString(section, key, value, path) ? 1 : 0;
}

// PathRemoveFileSpecA knows double-byte characters: a Japanese folder name
// may hold 0x5C as a trail byte.
int UserSettings::PrepareFolder() const
{
    if (path.empty() || path.size() >= MAX_PATH)
        return 0;
    char folder[MAX_PATH] = {};
    path.copy(folder, path.size());
    if (!::PathRemoveFileSpecA(folder) || folder[0] == '\0')
        return 1; // a bare file name: the current folder
    DWORD attributes = ::GetFileAttributesA(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 1 : 0;
    return ::CreateDirectoryA(folder, nullptr) ? 1 : 0;
}
