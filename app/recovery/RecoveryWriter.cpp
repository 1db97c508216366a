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
        if (!tasks.empty() && tasks.back().kind == Kind::Write)
            tasks.back().copy = std::move(copy);
        else
            tasks.push_back({Kind::Write, std::move(copy), {}});
    }
    wake.notify_one();
}

// Waiting writes would only be removed again; a takeover still goes first,
// so that the restored copy goes too.
void RecoveryWriter::Remove()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        while (!tasks.empty() && tasks.back().kind != Kind::TakeOver)
            tasks.pop_back();
        tasks.push_back({Kind::Remove, {}, {}});
    }
    wake.notify_one();
}

void RecoveryWriter::TakeOver(std::string from)
{
    {
        std::lock_guard<std::mutex> guard(lock);
        tasks.push_back({Kind::TakeOver, {}, std::move(from)});
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
        Outcome outcome = Written;
        switch (task.kind) {
        case Kind::Remove:
            ::DeleteFileA(path.c_str());
            continue;
        case Kind::TakeOver:
            if (!::MoveFileExA(task.from.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
                outcome = NotTakenOver;
            break;
        case Kind::Write:
            if (!RecoveryFolder::Write(path, task.copy))
                outcome = Failed;
            break;
        }
        ::PostMessageA(window, message, outcome, 0);
    }
}
