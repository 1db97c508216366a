#include "util/File.h"

#include <cstring>
#include <new>

File::~File()
{
    Close();
}

int File::Open(std::string filePath, int forRead, int loadWhole)
{
    if (IsOpen())
        Close();
    // Others may read and write the file meanwhile, as the editor's documents
    // are often open in other programs too.
    handle = ::CreateFileA(filePath.c_str(), forRead ? GENERIC_READ : GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           forRead ? OPEN_EXISTING : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return 0;
    path = std::move(filePath);
    buffer.reset();
    if (forRead == 0 || loadWhole == 0)
        return 1;
    if (Load() == 0) {
        Release();
        return 0;
    }
    return 1;
}

// Reads the whole file into one image of exactly its size with one ReadFile.
int File::Load()
{
    LARGE_INTEGER fileSize = {};
    // The image is addressed with 32-bit sizes: a file of 4 GiB or more must
    // fail rather than load truncated.
    if (!::GetFileSizeEx(handle, &fileSize) || fileSize.QuadPart < 0 ||
        fileSize.QuadPart > 0xFFFFFFFFLL)
        return 0;
    DWORD bytes = static_cast<DWORD>(fileSize.QuadPart);
    // A huge file may not fit in memory; that is a failed open, not a crash.
    // An empty file still gets an image (new[0] is a real allocation), so it
    // opens with nothing to read.
    std::unique_ptr<char[]> image(new (std::nothrow) char[bytes]);
    if (image == nullptr)
        return 0;
    DWORD got = 0;
    if (!::ReadFile(handle, image.get(), bytes, &got, nullptr) || got != bytes)
        return 0;
    buffer = std::move(image);
    size = bytes;
    position = 0;
    return 1;
}

int File::Close()
{
    if (!IsOpen())
        return 0;
    Release();
    return 1;
}

void File::Release()
{
    if (handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    path.clear();
    buffer.reset();
}

int File::IsOpen() const
{
    return handle != INVALID_HANDLE_VALUE ? 1 : 0;
}

DWORD File::Read(void* dst, DWORD count)
{
    if (IsLoaded())
        return ReadExact(dst, count) ? count : 0;
    if (!IsOpen())
        return 0;
    DWORD got = 0;
    if (!::ReadFile(handle, dst, count, &got, nullptr))
        return 0;
    return got;
}

int File::ReadExact(void* dst, DWORD count)
{
    if (IsLoaded()) {
        // No partial read at the end of the image.
        if (count > Remaining())
            return 0;
        if (count != 0)
            std::memcpy(dst, buffer.get() + position, count);
        position += count;
        return 1;
    }
    if (!IsOpen())
        return 0;
    DWORD got = 0;
    return ::ReadFile(handle, dst, count, &got, nullptr) && got == count ? 1 : 0;
}

int File::Write(const void* src, DWORD count)
{
    // A loaded file was opened for reading, so the handle refuses this.
    if (!IsOpen())
        return 0;
    DWORD written = 0;
    return ::WriteFile(handle, src, count, &written, nullptr) && written == count ? 1 : 0;
}

int File::ReadLine(std::string& out)
{
    if (!IsLoaded() || position == size)
        return 0;
    const char* start = buffer.get() + position;
    // 0x0A is never part of a double-byte character, so a byte search is safe.
    const void* lineFeed = std::memchr(start, '\n', Remaining());
    DWORD length = lineFeed != nullptr
                       ? static_cast<DWORD>(static_cast<const char*>(lineFeed) - start) + 1
                       : Remaining();
    out.assign(start, length);
    position += length;
    return 1;
}

int File::Seek(int origin, LONG offset)
{
    if (!IsOpen())
        return 0;
    if (!IsLoaded())
        return ::SetFilePointer(handle, offset, nullptr, static_cast<DWORD>(origin)) !=
                       INVALID_SET_FILE_POINTER
                   ? 1
                   : 0;
    long long base = 0;
    switch (origin) {
    case FILE_BEGIN:
        base = 0;
        break;
    case FILE_CURRENT:
        base = position;
        break;
    case FILE_END:
        base = size;
        break;
    default:
        return 0;
    }
    long long target = base + offset;
    if (target < 0 || target > static_cast<long long>(size))
        return 0;
    position = static_cast<DWORD>(target);
    return 1;
}

DWORD File::Tell()
{
    if (IsLoaded())
        return position;
    return ::SetFilePointer(handle, 0, nullptr, FILE_CURRENT);
}

DWORD File::GetSize()
{
    if (IsLoaded())
        return size;
    // The low word alone of a file of 4 GiB or more would be a wrong size
    // that callers read and save back truncated; report failure instead.
    DWORD high = 0;
    DWORD low = ::GetFileSize(handle, &high);
    return high == 0 ? low : INVALID_FILE_SIZE;
}

int File::QueryInformation(const std::string& path, BY_HANDLE_FILE_INFORMATION* info)
{
    File file;
    file.handle = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return file.IsOpen() && ::GetFileInformationByHandle(file.handle, info) ? 1 : 0;
}
