#include "app/folders/WorkerWait.h"

#include <system_error>
#include <thread>

#include "framework/Window.h"

namespace {

constexpr DWORD PollMs = 50;

} // namespace

WorkerWait::Job::~Job() = default;

WorkerWait::Steps::~Steps() = default;

void WorkerWait::Job::RunAndSignal()
{
    Work();
    ::SetEvent(done.get());
}

void WorkerWait::OnStopPressed()
{
    if (running != nullptr)
        running->stop = true;
}

WorkerWait::End WorkerWait::Run(Window& owner, const std::shared_ptr<Job>& job, const std::string& title,
                                const std::string& detail, bool leaveOnStop)
{
    if (job->done == nullptr)
        job->done = OwnHandle(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    else
        ::ResetEvent(job->done.get());
    if (job->done == nullptr)
        return End::NotStarted;
    try {
        std::thread([job] { job->RunAndSignal(); }).detach(); // the job is the thread's too
    } catch (const std::system_error&) {
        return End::NotStarted;
    }
    running = job.get();
    const bool enabled = !::EnableWindow(owner.GetHandle(), FALSE);
    const End end = Answer(owner, *job, title, detail, leaveOnStop);
    running = nullptr;
    Finish(owner, enabled);
    return end;
}

WorkerWait::End WorkerWait::RunSteps(Window& owner, Steps& steps, const std::string& title, const std::string& detail)
{
    const bool enabled = !::EnableWindow(owner.GetHandle(), FALSE);
    const ULONGLONG started = ::GetTickCount64();
    bool quit = false;
    int quitCode = 0;
    for (bool more = true; more;) {
        const ULONGLONG slice = ::GetTickCount64();
        while (more && ::GetTickCount64() - slice < PollMs)
            more = steps.Step();
        if (!quit)
            quit = !AnswerQueued(owner, &quitCode);
        if (more && !quit && ::GetTickCount64() - started >= progressDelay) {
            ShowProgress(owner, steps.CountsText(), title, detail);
            progress.DisableStop();
        }
    }
    Finish(owner, enabled);
    if (!quit)
        return End::Done;
    ::PostQuitMessage(quitCode);
    return End::Quit;
}

void WorkerWait::Finish(Window& owner, bool enabled)
{
    progress.Close();
    if (enabled)
        ::EnableWindow(owner.GetHandle(), TRUE);
    for (const MSG& command : postponed)
        ::PostMessageA(command.hwnd, command.message, command.wParam, command.lParam);
    postponed.clear();
}

WorkerWait::End WorkerWait::Answer(Window& owner, Job& job, const std::string& title, const std::string& detail,
                                   bool leaveOnStop)
{
    const ULONGLONG started = ::GetTickCount64();
    HANDLE done = job.done.get();
    for (;;) {
        if (job.stop && leaveOnStop) {
            std::lock_guard<std::mutex> wait(job.borrowing); // out of what it borrowed
            return End::Stopped;
        }
        const DWORD woke = ::MsgWaitForMultipleObjects(1, &done, FALSE, PollMs, QS_ALLINPUT);
        if (woke == WAIT_OBJECT_0)
            return job.stop ? End::Stopped : End::Done;
        int quitCode = 0;
        if (!AnswerQueued(owner, &quitCode)) {
            job.stop = true;
            if (leaveOnStop)
                std::lock_guard<std::mutex> wait(job.borrowing);
            else
                ::WaitForSingleObject(done, INFINITE);
            ::PostQuitMessage(quitCode);
            return End::Quit;
        }
        if (::GetTickCount64() - started >= progressDelay)
            ShowProgress(owner, job.CountsText(), title, detail);
    }
}

bool WorkerWait::AnswerQueued(Window& owner, int* quitCode)
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            *quitCode = static_cast<int>(message.wParam);
            return false;
        }
        if (message.message == WM_COMMAND && message.hwnd == owner.GetHandle()) {
            postponed.push_back(message); // a command runs once the work is over
            continue;
        }
        if (progress.IsOpen() && ::IsDialogMessageA(progress.GetHandle(), &message))
            continue;
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
    return true;
}

void WorkerWait::ShowProgress(Window& owner, const std::string& counts, const std::string& title,
                              const std::string& detail)
{
    if (!progress.IsOpen()) {
        if (!progress.Open(owner, title))
            return;
        progress.ShowFolder(detail);
    }
    progress.SetCountsText(counts);
}
