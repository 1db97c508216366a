#include "util/SaveFileSafely.h"

#include <algorithm>
#include <memory>
#include <new>

#include "framework/Win32.h"
#include "util/File.h"
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

// A replace would give only this name the new text; the file's other names
// (hard links) would keep the old bytes as a file of their own.
bool HasOtherNames(const std::string& target)
{
    BY_HANDLE_FILE_INFORMATION information = {};
    return File::QueryInformation(target, &information) && information.nNumberOfLinks > 1;
}

// The user's temporary folder with its separator, or "".
std::string TemporaryFolder()
{
    char folder[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathA(sizeof folder, folder);
    return length == 0 || length >= sizeof folder ? std::string() : std::string(folder, length);
}

// A new, empty file in folder (which ends in a separator), named here rather
// than by GetTempFileNameA, which refuses folders longer than MAX_PATH - 14.
// The short name keeps it within MAX_PATH wherever the target itself is.
std::string MakeFileIn(const std::string& folder)
{
    if (folder.empty())
        return std::string();
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

int WriteAll(HANDLE file, const FileContents& contents)
{
    return WriteAll(file, contents.head.data(), contents.head.size()) &&
           WriteAll(file, contents.body.data(), contents.body.size());
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
int FillFile(const std::string& path, const FileContents& contents)
{
    ScopedHandle file(OpenToWriteOver(path));
    if (!file.IsValid() || WriteAll(file.Get(), contents) == 0)
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
    // Memory may be short beside a large text: then the copy fails, and
    // with it the save, rather than the program.
    const DWORD pieceSize = 1u << 20;
    std::unique_ptr<char[]> piece(new (std::nothrow) char[pieceSize]);
    if (piece == nullptr)
        return 0;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(source.Get(), piece.get(), pieceSize, &got, nullptr))
            return 0;
        if (got == 0)
            break;
        if (WriteAll(destination.Get(), piece.get(), got) == 0)
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

enum class Placed { Done, Failed, Refused, NameLost };

// Refused: the replace did not happen and the target is as it was.
// NameLost: the target's name is gone and the temporary file holds the
// only copy of the new text.
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
    // ReplaceFileA can fail after the old file left its name
    // (ERROR_UNABLE_TO_MOVE_REPLACEMENT); then the temporary file holds the
    // only copy and must take the name, or else stay where it is.
    if (::GetFileAttributesA(target.c_str()) == INVALID_FILE_ATTRIBUTES &&
        ::GetFileAttributesA(temporary.c_str()) != INVALID_FILE_ATTRIBUTES)
        return ::MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) ? Placed::Done
                                                                                       : Placed::NameLost;
    // The target is still there, unchanged: it can be written in place
    // (Wine's replace, for one, fails in folders too long for its own
    // temporary names).
    return Placed::Refused;
}

// A copy of the target's bytes beside it or, where no file may be made
// there, in the user's temporary folder; "" when neither could be made.
std::string MakeBackup(const std::string& target)
{
    for (const std::string& folder : {FolderPart(target), TemporaryFolder()}) {
        const std::string backup = MakeFileIn(folder);
        if (backup.empty())
            continue;
        if (CopyBytes(target, backup))
            return backup;
        ::DeleteFileA(backup.c_str());
    }
    return std::string();
}

// The safe way to write over a file that cannot be replaced: its bytes go
// to a backup first, and the backup is removed only once every new byte is
// written and flushed. After a failure the old bytes are put back; if even
// that fails, the backup stays and failure names it. Without a backup
// nothing is written.
int WriteInPlace(const std::string& target, const FileContents& contents, SaveFailure& failure)
{
    ScopedHandle file(OpenToWriteOver(target));
    if (!file.IsValid())
        return 0;
    const std::string backup = MakeBackup(target);
    if (backup.empty()) {
        failure.kind = SaveFailure::Kind::NoBackup;
        return 0;
    }
    const bool written = WriteAll(file.Get(), contents) && Finish(file);
    file.Close();
    if (written || CopyBytes(backup, target)) {
        ::DeleteFileA(backup.c_str());
        return written ? 1 : 0;
    }
    failure = {SaveFailure::Kind::OldBytesKept, backup};
    return 0;
}

} // namespace

int SaveFileSafely(const std::string& path, const char* data, size_t size, SaveFailure* failure)
{
    return SaveFileSafely(path, FileContents{std::string_view(), std::string_view(data, size)}, failure);
}

int SaveFileSafely(const std::string& path, const FileContents& contents, SaveFailure* failure)
{
    SaveFailure unasked;
    SaveFailure& left = failure != nullptr ? *failure : unasked;
    left = SaveFailure();
    std::string target = FullPathOf(path);
    if (target.empty())
        return 0;
    target = ThroughLinks(target);
    // INVALID_FILE_ATTRIBUTES: there is no target yet.
    DWORD attributes = ::GetFileAttributesA(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && ((attributes & FILE_ATTRIBUTE_DIRECTORY) || !CanWrite(target)))
        return 0;

    if (exists && (!CanReplace(target) || HasOtherNames(target)))
        return WriteInPlace(target, contents, left);
    // Creates the empty temporary file; fails when the folder does not exist
    // or takes no new files, where only an existing file can still be saved.
    const std::string temporary = MakeFileIn(FolderPart(target));
    if (temporary.empty())
        return exists ? WriteInPlace(target, contents, left) : 0;
    Placed placed = FillFile(temporary, contents) ? PutInPlace(temporary, target, attributes) : Placed::Failed;
    if (placed == Placed::Done)
        return 1;
    if (placed == Placed::NameLost) {
        left = {SaveFailure::Kind::NewTextKept, temporary};
        return 0;
    }
    ::DeleteFileA(temporary.c_str());
    return placed == Placed::Refused ? WriteInPlace(target, contents, left) : 0;
}
