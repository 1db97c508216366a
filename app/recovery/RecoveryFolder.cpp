#include "app/recovery/RecoveryFolder.h"

#include <algorithm>
#include <new>

#include "app/settings/UserFolder.h"
#include "framework/Win32.h"
#include "util/FindHandle.h"
#include "util/SaveFileSafely.h"

namespace {

const char CopyExtension[] = ".qrc";
const char LockExtension[] = ".lock";

// The shell splits the path knowing double-byte characters: a Japanese user
// name may hold 0x5C as a trail byte, which is no separator.
bool MakeFolders(const std::string& path)
{
    const int made = ::SHCreateDirectoryExA(nullptr, path.c_str(), nullptr);
    return made == ERROR_SUCCESS || made == ERROR_ALREADY_EXISTS;
}

uint64_t Ticks(const FILETIME& time)
{
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

} // namespace

std::string RecoveryFolder::DefaultFolder()
{
    const std::string base = UserFolder("LOCALAPPDATA", CSIDL_LOCAL_APPDATA);
    return base.empty() ? std::string() : base + "\\Quorvane\\Recovery";
}

RecoveryFolder::RecoveryFolder(std::string recoveryFolder) : folder(std::move(recoveryFolder)) {}

RecoveryFolder::~RecoveryFolder() = default;

// Nobody else may open it, and it goes when its handle closes, however the
// process ends; a lock file left over from an old crash is simply taken.
KernelHandle RecoveryFolder::TakeLock(const std::string& path)
{
    return OwnHandle(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
}

bool RecoveryFolder::Claim()
{
    if (folder.empty() || !MakeFolders(folder))
        return false;
    // The process id and the start time name this editor among those running
    // and those that ran before it.
    FILETIME now = {};
    ::GetSystemTimeAsFileTime(&now);
    const std::string id = std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(Ticks(now));
    own = TakeLock(folder + "\\" + id + LockExtension);
    if (own == nullptr)
        return false;
    copyPath = folder + "\\" + id + CopyExtension;
    return true;
}

const std::vector<RecoveryFolder::LeftCopy>& RecoveryFolder::ClaimLeftCopies()
{
    ReleaseLeftCopies();
    FindHandle find(folder + "\\*" + CopyExtension);
    for (bool more = find.IsOpen(); more; more = find.Next()) {
        const WIN32_FIND_DATAA& entry = find.Entry();
        const std::string path = folder + "\\" + entry.cFileName;
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || path == copyPath)
            continue;
        const std::string lockPath = path.substr(0, path.size() - (sizeof(CopyExtension) - 1)) + LockExtension;
        KernelHandle lock = TakeLock(lockPath);
        if (lock == nullptr)
            continue; // its editor is running
        left.push_back({path, Ticks(entry.ftLastWriteTime)});
        leftLocks.push_back(std::move(lock));
    }
    std::sort(left.begin(), left.end(), [](const LeftCopy& a, const LeftCopy& b) { return a.written > b.written; });
    return left;
}

void RecoveryFolder::RemoveLeftCopies()
{
    for (const LeftCopy& copy : left)
        ::DeleteFileA(copy.path.c_str());
    ReleaseLeftCopies();
}

void RecoveryFolder::ReleaseLeftCopies()
{
    left.clear();
    leftLocks.clear();
}

bool RecoveryFolder::Write(const std::string& path, const RecoveryCopy& copy)
{
    try {
        const std::string header = copy.Header();
        return SaveFileSafely(path, FileContents{header, copy.text}) == 1;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool RecoveryFolder::Read(const std::string& path, RecoveryCopy* copy, bool headerOnly)
{
    const KernelHandle owned = OwnHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                       OPEN_EXISTING, 0, nullptr));
    if (owned == nullptr)
        return false;
    HANDLE file = owned.get();
    LARGE_INTEGER size = {};
    if (!::GetFileSizeEx(file, &size) || static_cast<uint64_t>(size.QuadPart) >= 0x7FFFFFFF)
        return false;
    constexpr LONGLONG HeaderMost = 64 * 1024;
    try {
        std::string bytes(static_cast<size_t>(headerOnly ? std::min(size.QuadPart, HeaderMost) : size.QuadPart), '\0');
        DWORD got = 0;
        if (!bytes.empty() && (!::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
                               got != bytes.size()))
            return false;
        if (!RecoveryCopy::Parse(bytes, copy))
            return false;
        if (headerOnly)
            copy->text.clear();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}
