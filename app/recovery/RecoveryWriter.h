// RecoveryWriter: writes this editor's recovery copy on a thread of its
// own, so that typing never waits on the disk. The main thread hands it a
// snapshot of the document; a newer snapshot takes the place of one not yet
// written. Removing the copy, and taking a restored one over as this
// editor's own, go through the same queue, so a write asked for earlier can
// never bring a removed copy back or meet the restored one on its way. How
// each write or takeover went is posted to a window (wParam an Outcome).
#pragma once

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

#include "app/recovery/RecoveryCopy.h"
#include "framework/Win32.h"

class RecoveryWriter {
public:
    enum Outcome { Failed = 0, Written = 1, NotTakenOver = 2 };

    RecoveryWriter(std::string copyPath, HWND notified, UINT message);
    // Finishes what was asked, then ends the thread.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    bool Started() const { return thread.joinable(); }
    void Write(RecoveryCopy copy);
    void Remove();
    // The copy at `from` becomes this editor's by its name alone: at no
    // moment is there none on disk.
    void TakeOver(std::string from);

private:
    enum class Kind { Write, Remove, TakeOver };
    struct Task {
        Kind kind = Kind::Write;
        RecoveryCopy copy;
        std::string from;
    };
    void Loop();

    std::string path;
    HWND window;
    UINT message;
    std::mutex lock;
    std::condition_variable wake;
    std::deque<Task> tasks;
    bool ending = false;
    std::thread thread; // last: it starts once the rest is ready
};
