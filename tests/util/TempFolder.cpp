#include "TempFolder.h"

#include <string>

#include "framework/Win32.h"
#include "util/FindHandle.h"

namespace {

void RemoveTree(const std::string& folder)
{
    {
        FindHandle search(folder + "\\*");
        if (search.IsOpen()) {
            do {
                const std::string name = search.Entry().cFileName;
                if (name == "." || name == "..")
                    continue;
                const std::string child = folder + "\\" + name;
                ::SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if ((search.Entry().dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
                    RemoveTree(child);
                else
                    ::DeleteFileA(child.c_str());
            } while (search.Next());
        }
    }
    ::SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA(folder.c_str());
}

}  // namespace

util_tests::TempFolder::TempFolder()
{
    static int counter = 0;
    char temp[MAX_PATH + 1] = {};
    ::GetTempPathA(sizeof(temp), temp);
    const std::string base = std::string(temp) + "zelk_util_" + std::to_string(::GetCurrentProcessId()) + "_";
    do {
        path = base + std::to_string(++counter);
    } while (!::CreateDirectoryA(path.c_str(), nullptr));
}

util_tests::TempFolder::~TempFolder()
{
    RemoveTree(path);
}

bool WriteTextFile(const std::string& path, const std::string& content)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == content.size();
}

std::string ReadTextFile(const std::string& path)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string content(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file, &content[0], static_cast<DWORD>(content.size()), &read, nullptr);
    ::CloseHandle(file);
    content.resize(read);
    return content;
}

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
