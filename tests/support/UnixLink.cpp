#include "support/UnixLink.h"

#include <vector>

#include "framework/Win32.h"

namespace {

using SpawnFunction = LONG(WINAPI*)(char* const* argv, int wait);
using UnixNameFunction = char*(__cdecl*)(const WCHAR* dosName);

template <typename Function>
Function WineExport(const char* module, const char* name)
{
    HMODULE handle = ::GetModuleHandleA(module);
    if (handle == nullptr)
        return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(handle, name)));
}

std::string UnixPathOf(const std::string& windowsPath)
{
    auto unixName = WineExport<UnixNameFunction>("kernel32.dll", "wine_get_unix_file_name");
    if (unixName == nullptr)
        return std::string();
    int length = ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(length > 0 ? length : 1));
    ::MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide.data(), length);
    char* name = unixName(wide.data());
    if (name == nullptr)
        return std::string();
    std::string result = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

// Runs a Unix program and waits for it; false when it could not be started.
bool RunUnix(std::vector<std::string> arguments)
{
    auto spawn = WineExport<SpawnFunction>("ntdll.dll", "__wine_unix_spawnvp");
    if (spawn == nullptr)
        return false;
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(nullptr);
    return spawn(argv.data(), 1) == 0;
}

} // namespace

UnixLink::UnixLink(const std::string& linkPath, const std::string& target)
{
    std::string path = UnixPathOf(linkPath);
    if (path.empty() || !RunUnix({"/bin/ln", "-s", target, path}))
        return;
    if (::GetFileAttributesA(linkPath.c_str()) != INVALID_FILE_ATTRIBUTES)
        unixPath = path;
}

UnixLink::~UnixLink()
{
    if (IsMade())
        RunUnix({"/bin/rm", "-f", unixPath});
}
