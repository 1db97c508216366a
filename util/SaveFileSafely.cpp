#include "util/SaveFileSafely.h"

#include <algorithm>
#include <vector>

#include "framework/Win32.h"
#include "util/PathText.h"

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

// An existing target must be writable now; otherwise the save is refused
// before anything is created.
int CanWrite(const std::string& path)
{
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

// A target that is a link is saved through to the file it points to: the
// replace below would otherwise put a plain file in the link's place. The
// system names the file a handle really reaches; Wine does not mark a Unix
// link to a file as a reparse point, so every existing target is asked.
std::string ThroughLinks(const std::string& target)
{
    ScopedHandle file(::CreateFileA(target.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return target;
    char final[MAX_PATH + 8] = {};
    const DWORD length = ::GetFinalPathNameByHandleA(file.Get(), final, sizeof final, FILE_NAME_NORMALIZED);
    if (length == 0 || length >= sizeof final)
        return target;
    const std::string resolved(final, length);
    if (resolved.compare(0, 8, "\\\\?\\UNC\\") == 0)
        return "\\" + resolved.substr(7);
    if (resolved.compare(0, 4, "\\\\?\\") == 0)
        return resolved.substr(4);
    return resolved;
}

// Whether the target may be replaced: a program that holds it open without
// FILE_SHARE_DELETE forbids that (Windows refuses the replace; Wine would
// replace it and leave the old file behind under a temporary name).
bool CanReplace(const std::string& target)
{
    ScopedHandle file(::CreateFileA(target.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.IsValid();
}

// A new, empty file beside the target, named here rather than by
// GetTempFileNameA, which refuses folders longer than MAX_PATH - 14. The
// short name keeps it within MAX_PATH wherever the target itself is.
std::string MakeFileBeside(const std::string& target)
{
    const std::string folder = FolderPart(target);
    const DWORD seed = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
    for (DWORD attempt = 0; attempt < 256; ++attempt) {
        char name[8];
        wsprintfA(name, "~q%04x", static_cast<unsigned>((seed + attempt) & 0xFFFF));
        const std::string path = folder + name;
        ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.IsValid())
            return path;
        if (::GetLastError() != ERROR_FILE_EXISTS && ::GetLastError() != ERROR_ALREADY_EXISTS)
            return std::string();
    }
    return std::string();
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

// Opens an existing file for writing over it, sharing it the way the
// programs that hold a document open usually do.
HANDLE OpenToWriteOver(const std::string& path)
{
    return ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The bytes must be on the disk before the file is trusted with them:
// otherwise a crash could leave a renamed or rewritten but empty file.
int Finish(ScopedHandle& file)
{
    if (!::SetEndOfFile(file.Get()) || !::FlushFileBuffers(file.Get()))
        return 0;
    return file.Close();
}

// Writes the whole of data over the existing file at path.
int FillFile(const std::string& path, const char* data, size_t size)
{
    ScopedHandle file(OpenToWriteOver(path));
    if (!file.IsValid() || WriteAll(file.Get(), data, size) == 0)
        return 0;
    return Finish(file);
}

// Copies the bytes of one existing file over another, a piece at a time.
int CopyBytes(const std::string& from, const std::string& to)
{
    ScopedHandle source(::CreateFileA(from.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ScopedHandle destination(OpenToWriteOver(to));
    if (!source.IsValid() || !destination.IsValid())
        return 0;
    std::vector<char> piece(1u << 20);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(source.Get(), piece.data(), static_cast<DWORD>(piece.size()), &got, nullptr))
            return 0;
        if (got == 0)
            break;
        if (WriteAll(destination.Get(), piece.data(), got) == 0)
            return 0;
    }
    return Finish(destination);
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

enum class Placed { Done, Failed, Refused };

// Refused: the replace did not happen and the target is as it was.
Placed PutInPlace(const std::string& temporary, const std::string& target, DWORD attributes)
{
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return ::MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? Placed::Done
                                                                                       : Placed::Failed;
    // A save that cannot carry ACLs over (some network shares) still saves.
    if (::ReplaceFileA(target.c_str(), temporary.c_str(), nullptr,
                       REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        KeepAttributes(target, attributes);
        return Placed::Done;
    }
    // ReplaceFileA can fail after the old file is gone; then the temporary
    // file holds the only copy and must take the name rather than be deleted.
    if (::GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
        ::GetFileAttributesA(temporary.c_str()) != INVALID_FILE_ATTRIBUTES)
        return ::MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? Placed::Done
                                                                                       : Placed::Failed;
    // The target is still there, unchanged: it can be written in place
    // (Wine's replace, for one, fails in folders too long for its own
    // temporary names).
    return Placed::Refused;
}

// The safe way to write over a file that cannot be replaced: its bytes go
// to a backup beside it first, and the backup is removed only once every
// new byte is written and flushed. After a failure the old bytes are put
// back; if even that fails, the backup stays so that nothing is lost.
int WriteInPlace(const std::string& target, const char* data, size_t size)
{
    const std::string backup = MakeFileBeside(target);
    if (backup.empty())
        return 0;
    if (!CopyBytes(target, backup)) {
        ::DeleteFileA(backup.c_str());
        return 0;
    }
    if (FillFile(target, data, size)) {
        ::DeleteFileA(backup.c_str());
        return 1;
    }
    if (CopyBytes(backup, target))
        ::DeleteFileA(backup.c_str());
    return 0;
}

} // namespace

int SaveFileSafely(const std::string& path, const char* data, size_t size)
{
    std::string target = FullPathOf(path);
    if (target.empty())
        return 0;
    target = ThroughLinks(target);
    // INVALID_FILE_ATTRIBUTES: there is no target yet.
    DWORD attributes = ::GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !CanWrite(target)))
        return 0;

    if (attributes != INVALID_FILE_ATTRIBUTES && !CanReplace(target))
        return WriteInPlace(target, data, size);
    // Creates the empty temporary file; fails when the folder does not exist.
    const std::string temporary = MakeFileBeside(target);
    if (temporary.empty())
        return 0;
    Placed placed = FillFile(temporary, data, size) ? PutInPlace(temporary, target, attributes) : Placed::Failed;
    if (placed == Placed::Done)
        return 1;
    ::DeleteFileA(temporary.c_str());
    return placed == Placed::Refused ? WriteInPlace(target, data, size) : 0;
}
