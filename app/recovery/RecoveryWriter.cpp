#include "app/recovery/RecoveryWriter.h"

#include <system_error>

#include "app/recovery/RecoveryFolder.h"

RecoveryWriter::RecoveryWriter(std::string copyPath, HWND notified, UINT doneMessage)
    : path(std::move(copyPath)), window(notified), message(doneMessage)
{
    try {
        thread = std::thread(&RecoveryWriter::Loop, this);
    } catch (const std::system_error&) {
    }
}

RecoveryWriter::~RecoveryWriter()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        ending = true;
    }
    wake.notify_one();
    if (thread.joinable())
        thread.join();
}

// A write still waiting is only replaced, never queued behind: the newest
// text is the one worth having.
void RecoveryWriter::Write(RecoveryCopy copy)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        if (!tasks.empty() && !tasks.back().remove)
            tasks.back().copy = std::move(copy);
        else
            tasks.push_back({false, std::move(copy)});
    }
    wake.notify_one();
}

void RecoveryWriter::Remove()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        tasks.clear(); // what was waiting would only be removed again
        tasks.push_back({true, {}});
    }
    wake.notify_one();
}

void RecoveryWriter::Loop()
{
    for (;;) {
        Task task;
        {
            std::unique_lock<std::mutex> guard(lock);
            wake.wait(guard, [this] { return ending || !tasks.empty(); });
            if (tasks.empty())
                return;
            task = std::move(tasks.front());
            tasks.pop_front();
        }
        if (task.remove) {
            ::DeleteFileA(path.c_str());
            continue;
        }
        const bool written = RecoveryFolder::Write(path, task.copy);
        ::PostMessageA(window, message, written ? 1 : 0, 0);
    }
}
