#include "util/SaveFileSafely.h"

#include <algorithm>

#include "framework/Win32.h"

namespace {

// Closes its handle when it goes out of scope.
class ScopedHandle {
public:
    explicit ScopedHandle(HANDLE h) : handle(h) {}
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;
    ~ScopedHandle() { Close(); }

    HANDLE Get() const { return handle; }
    int IsValid() const { return handle != INVALID_HANDLE_VALUE ? 1 : 0; }
    int Close()
    {
        if (handle == INVALID_HANDLE_VALUE)
            return 0;
        BOOL closed = ::CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return closed ? 1 : 0;
    }

private:
    HANDLE handle;
};

std::string FullPathOf(const std::string& path)
{
    DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0)
        return std::string();
    std::string full(needed, '\0');
    DWORD length = ::GetFullPathNameA(path.c_str(), needed, &full[0], nullptr);
    if (length == 0 || length >= needed)
        return std::string();
    full.resize(length);
    return full;
}

// The folder part with its trailing separator. Walks character by character:
// in code page 932 the byte 0x5C ('\\') is also a trail byte (表, ソ).
std::string FolderOf(const std::string& fullPath)
{
    size_t end = 0;
    for (size_t i = 0; i < fullPath.size();) {
        unsigned char c = static_cast<unsigned char>(fullPath[i]);
        if (c == '\\' || c == '/') {
            end = i + 1;
            ++i;
        } else if (::IsDBCSLeadByte(c) && i + 1 < fullPath.size()) {
            i += 2;
        } else {
            ++i;
        }
    }
    return fullPath.substr(0, end);
}

// An existing target must be writable now; otherwise the save is refused
// before anything is created.
int CanWrite(const std::string& path)
{
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

// WriteFile takes 32-bit counts, so large texts go in pieces.
int WriteAll(HANDLE file, const char* data, size_t size)
{
    const size_t piece = 1u << 20;
    while (size > 0) {
        DWORD count = static_cast<DWORD>(std::min(size, piece));
        DWORD written = 0;
        if (!::WriteFile(file, data, count, &written, nullptr) || written != count)
            return 0;
        data += count;
        size -= count;
    }
    return 1;
}

// The bytes must be on the disk before the file takes the target's place:
// otherwise a crash could leave a renamed but empty file.
int FillFile(const std::string& path, const char* data, size_t size)
{
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return 0;
    if (WriteAll(file.Get(), data, size) == 0 || !::FlushFileBuffers(file.Get()))
        return 0;
    return file.Close();
}

// Windows carries the replaced file's attributes over; some systems (Wine)
// do not, so they are put back when they differ.
void KeepAttributes(const std::string& target, DWORD attributes)
{
    const DWORD settable = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN |
                           FILE_ATTRIBUTE_NOT_CONTENT_INDEXED | FILE_ATTRIBUTE_OFFLINE |
                           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM |
                           FILE_ATTRIBUTE_TEMPORARY;
    DWORD now = ::GetFileAttributesA(target.c_str());
    if (now != INVALID_FILE_ATTRIBUTES && (now & settable) != (attributes & settable))
        ::SetFileAttributesA(target.c_str(), (now & ~settable) | (attributes & settable));
}

int PutInPlace(const std::string& temporary, const std::string& target, DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ::MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? 1 : 0;
    // A save that cannot carry ACLs over (some network shares) still saves.
    if (::ReplaceFileA(target.c_str(), temporary.c_str(), nullptr,
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        KeepAttributes(target, attributes);
        return 1;
    }
    // ReplaceFileA can fail after the old file is gone; then the temporary
    // file holds the only copy and must take the name rather than be deleted.
    if (::GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
        ::GetFileAttributesA(temporary.c_str()) != INVALID_FILE_ATTRIBUTES)
        return ::MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? 1 : 0;
    return 0;
}

} // namespace

int SaveFileSafely(const std::string& path, const char* data, size_t size)
{
    std::string target = FullPathOf(path);
    if (target.empty())
        return 0;
    // INVALID_FILE_ATTRIBUTES: there is no target yet.
    DWORD attributes = ::GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !CanWrite(target)))
        return 0;

    char temporary[MAX_PATH] = {};
    // Creates the empty temporary file; fails when the folder does not exist.
    if (::GetTempFileNameA(FolderOf(target).c_str(), "qvs", 0, temporary) == 0)
        return 0;
    if (FillFile(temporary, data, size) && PutInPlace(temporary, target, attributes))
        return 1;
    ::DeleteFileA(temporary);
    return 0;
}
