// WorkerWait: long work of one command (opening a large file, a regular-
// expression find) done on a worker thread while the main thread keeps the
// window answering; or work of the main thread itself (putting a large
// replacement into a pane) done in short steps, the window answering
// between them. The owner is disabled for input meanwhile, so nothing is
// typed into what the worker reads; commands posted to it wait for the
// work's end and are posted again then. Once the work takes longer than a
// moment, the progress window of grep shows the title, a detail line and
// the job's own counts, with 中止. A local of one command.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/folders/ProgressDialog.h"
#include "util/KernelHandle.h"

class Window;

class WorkerWait : private ProgressDialog::Listener {
public:
    // The work, shared by both threads; the worker may outlive the wait.
    class Job {
    public:
        virtual ~Job();
        // Runs on the worker thread; nothing may escape it.
        virtual void Work() = 0;
        // The progress window's counts line, asked on the main thread.
        virtual std::string CountsText() const { return std::string(); }

        std::atomic<bool> stop{false};
        // Held by the worker while it reads what the main thread owns, and
        // by the main thread before it leaves a stopped worker behind.
        std::mutex borrowing;

    private:
        friend class WorkerWait;
        void RunAndSignal();
        KernelHandle done; // an event, set when Work returns; made once, reset for each run
    };

    // Work on the main thread, a short step at a time.
    class Steps {
    public:
        virtual ~Steps();
        // One step; false once the work is over.
        virtual bool Step() = 0;
        virtual std::string CountsText() const { return std::string(); }
    };

    enum class End { Done, Stopped, Quit, NotStarted };

    WorkerWait() : progress(*this) {}
    WorkerWait(const WorkerWait&) = delete;
    WorkerWait& operator=(const WorkerWait&) = delete;
    ~WorkerWait() override = default;

    // Runs job on a worker and answers the window until it ends. With
    // leaveOnStop, 中止 returns as soon as the worker holds nothing of the
    // main thread's (it sees the stop and ends by itself); without it the
    // wait lasts until Work returns. Quit: the program was asked to end
    // meanwhile (the quit is posted again).
    End Run(Window& owner, const std::shared_ptr<Job>& job, const std::string& title, const std::string& detail,
            bool leaveOnStop);

    // Runs steps to the last one, answering the window between them. The
    // progress window offers no 中止, and a quit meanwhile waits for the
    // last step: work that changes the text is never left half done. Done
    // or Quit.
    End RunSteps(Window& owner, Steps& steps, const std::string& title, const std::string& detail);

    // How long the work goes before the progress window shows.
    void SetProgressDelay(unsigned milliseconds) { progressDelay = milliseconds; }

private:
    void OnStopPressed() override;
    void OnRunMessage(UINT, WPARAM, LPARAM) override {}
    void OnViewDestroyed() override {}

    End Answer(Window& owner, Job& job, const std::string& title, const std::string& detail, bool leaveOnStop);
    // Handles what waits in the queue; false at WM_QUIT, its code kept.
    bool AnswerQueued(Window& owner, int* quitCode);
    void ShowProgress(Window& owner, const std::string& counts, const std::string& title,
                      const std::string& detail);
    // The progress window closed, the owner enabled again if it was, the
    // commands that came meanwhile posted again.
    void Finish(Window& owner, bool enabled);

    ProgressDialog progress;
    Job* running = nullptr;
    unsigned progressDelay = 500;
    std::vector<MSG> postponed;
};
