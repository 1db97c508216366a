// RecoveryFolder: the folder of recovery copies
// (%LOCALAPPDATA%\Quorvane\Recovery) and this editor's place in it. Every
// running editor holds a lock file of its own, <id>.lock, open without
// sharing and deleted when it is closed (also when the process is killed),
// beside its copy, <id>.qrc. A copy whose lock nobody holds was left by an
// editor that ended without removing it: a crash, a killed process, a power
// cut. Such copies are claimed by taking their lock in turn, so two editors
// never take the same one. Copies are written whole to a temporary file,
// flushed and then renamed over the previous one, so a failed write leaves
// that one readable.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/recovery/RecoveryCopy.h"
#include "util/KernelHandle.h"

class RecoveryFolder {
public:
    // A copy left by an editor that is gone, claimed by this one.
    struct LeftCopy {
        std::string path;
        uint64_t written = 0; // FILETIME of its last write, to sort by
    };

    // The folder under the user's local application data.
    static std::string DefaultFolder();

    explicit RecoveryFolder(std::string folder = DefaultFolder());
    ~RecoveryFolder();
    RecoveryFolder(const RecoveryFolder&) = delete;
    RecoveryFolder& operator=(const RecoveryFolder&) = delete;

    // Makes the folder and takes this editor's lock; false when either
    // cannot be done (the editor then runs without recovery copies).
    bool Claim();
    // This editor's copy.
    const std::string& CopyPath() const { return copyPath; }

    // The copies no running editor holds, newest first, each claimed until
    // Release or Remove.
    const std::vector<LeftCopy>& ClaimLeftCopies();
    // Deletes the claimed copies, or lets them go for a later start.
    void RemoveLeftCopies();
    void ReleaseLeftCopies();

    static bool Write(const std::string& path, const RecoveryCopy& copy);
    // With headerOnly the text is left out: for listing copies.
    static bool Read(const std::string& path, RecoveryCopy* copy, bool headerOnly = false);

private:
    static KernelHandle TakeLock(const std::string& path);

    std::string folder;
    std::string copyPath;
    KernelHandle own;
    std::vector<LeftCopy> left;
    std::vector<KernelHandle> leftLocks;
};
