#include "support/TempFolder.h"

#include <algorithm>

#include "framework/Win32.h"

namespace {

// Removes a folder and everything below it; attributes that would block the
// removal are cleared first.
void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA entry = {};
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = folder + "\\" + name;
            ::SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
            // A folder link is removed itself; walking into it could loop or
            // empty a folder outside the test's own.
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                ::RemoveDirectoryA(full.c_str());
            else if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileA(full.c_str());
        } while (::FindNextFileA(find, &entry));
        ::FindClose(find);
    }
    ::RemoveDirectoryA(folder.c_str());
}

} // namespace

TempFolder::TempFolder()
{
    char base[MAX_PATH + 1] = {};
    DWORD length = ::GetTempPathA(sizeof(base), base);
    if (length == 0 || length > MAX_PATH)
        return;
    std::string prefix = std::string(base) + "zelk-test-" + std::to_string(::GetCurrentProcessId());
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate = prefix + "-" + std::to_string(attempt);
        if (::CreateDirectoryA(candidate.c_str(), nullptr)) {
            path = candidate;
            return;
        }
    }
}

TempFolder::~TempFolder()
{
    if (!IsReady())
        return;
    // A file dialog makes the chosen folder the current one, and the current
    // folder cannot be removed: step out of it first.
    char current[MAX_PATH + 1] = {};
    DWORD length = ::GetCurrentDirectoryA(sizeof(current), current);
    if (length > 0 && length <= MAX_PATH &&
        ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, current,
                         static_cast<int>(std::min<size_t>(length, path.size())), path.c_str(),
                         static_cast<int>(path.size())) == CSTR_EQUAL) {
        char base[MAX_PATH + 1] = {};
        if (::GetTempPathA(sizeof(base), base) > 0)
            ::SetCurrentDirectoryA(base);
    }
    RemoveTree(path);
}

std::string TempFolder::PathOf(const std::string& name) const
{
    return path + "\\" + name;
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::string full = PathOf(name);
    HANDLE file = ::CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size() ? full : std::string();
}

std::string TempFolder::MakeFolder(const std::string& name) const
{
    std::string full = PathOf(name);
    return ::CreateDirectoryA(full.c_str(), nullptr) ? full : std::string();
}

std::vector<std::string> TempFolder::Entries(const std::string& subfolder) const
{
    return EntriesOf(subfolder.empty() ? path : PathOf(subfolder));
}

std::vector<std::string> TempFolder::EntriesOf(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry = {};
    HANDLE find = ::FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        std::string name = entry.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (::FindNextFileA(find, &entry));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

bool TempFolder::ReadBytes(const std::string& fullPath, std::string& out)
{
    HANDLE file = ::CreateFileA(fullPath.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    out.clear();
    char chunk[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ::ReadFile(file, chunk, sizeof(chunk), &got, nullptr) != FALSE) && got > 0)
        out.append(chunk, got);
    ::CloseHandle(file);
    return ok;
}
