#include "FloorWalk.h"

#include <cstring>
#include <new>
#include <vector>

#include "framework/Win32.h"
#include "util/FindHandle.h"

namespace {
struct HandleCloser {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
} // namespace

FloorWalk::FloorWalk(bool read) : readFiles(read)
{
}

FloorWalk::Totals FloorWalk::Run(const std::string& folder)
{
    totals = Totals();
    WalkLevel(folder);
    return totals;
}

void FloorWalk::WalkLevel(const std::string& folder)
{
    std::vector<std::string> subFolders;
    {
        FindHandle find(folder + "\\*.*");
        for (bool more = find.IsOpen(); more; more = find.Next()) {
            const WIN32_FIND_DATAA& entry = find.Entry();
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (std::strcmp(entry.cFileName, ".") != 0 && std::strcmp(entry.cFileName, "..") != 0)
                    subFolders.push_back(folder + "\\" + entry.cFileName);
                continue;
            }
            ++totals.files;
            if (readFiles)
                ReadFile(folder + "\\" + entry.cFileName);
        }
    }
    for (const std::string& sub : subFolders) {
        ++totals.folders;
        WalkLevel(sub);
    }
}

void FloorWalk::ReadFile(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::unique_ptr<void, HandleCloser> owner(h);
    DWORD size = ::GetFileSize(h, nullptr);
    if (size == INVALID_FILE_SIZE)
        return;
    if (size > capacity) {
        buffer.reset();
        buffer.reset(new (std::nothrow) char[size]);
        capacity = buffer ? size : 0;
        if (!buffer)
            return;
    }
    DWORD got = 0;
    if (size > 0 && ::ReadFile(h, buffer.get(), size, &got, nullptr))
        totals.bytes += got;
}
