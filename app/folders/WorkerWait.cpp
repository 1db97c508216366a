#include "app/folders/WorkerWait.h"

#include <system_error>
#include <thread>

#include "framework/Window.h"

namespace {

constexpr DWORD PollMs = 50;

} // namespace

WorkerWait::Job::~Job() = default;

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
    progress.Close();
    if (enabled)
        ::EnableWindow(owner.GetHandle(), TRUE);
    for (const MSG& command : postponed)
        ::PostMessageA(command.hwnd, command.message, command.wParam, command.lParam);
    postponed.clear();
    return end;
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
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                job.stop = true;
                if (leaveOnStop)
                    std::lock_guard<std::mutex> wait(job.borrowing);
                else
                    ::WaitForSingleObject(done, INFINITE);
                ::PostQuitMessage(static_cast<int>(message.wParam));
                return End::Quit;
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
        if (::GetTickCount64() - started >= progressDelay)
            ShowProgress(owner, job, title, detail);
    }
}

void WorkerWait::ShowProgress(Window& owner, const Job& job, const std::string& title, const std::string& detail)
{
    if (!progress.IsOpen()) {
        if (!progress.Open(owner, title))
            return;
        progress.ShowFolder(detail);
    }
    progress.SetCountsText(job.CountsText());
}
