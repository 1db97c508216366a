// BackgroundRun: one directory listing or grep at a time, on a worker thread,
// with its progress window. The worker walks and hands its result text over
// in chunks by messages posted to the progress window; the main thread keeps
// the chunks and appends them to the right pane in slices on a timer, each
// slice short enough that the window keeps answering. The end of a run (by
// itself, by 中止, at the result limit) leaves in the pane exactly the lines
// found, in order, then says what else happened. A stop never waits for the
// worker, which may be stuck in a slow file call: the worker owns what it
// uses together with the run, ends on its own and nothing it makes after the
// stop is used. Owned by the main window.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/folders/ProgressDialog.h"
#include "app/folders/ResultSink.h"

class ScintillaControl;
class Window;

class BackgroundRun : private ProgressDialog::Listener {
public:
    // Runs on the worker; returns a message to show at the end ("" for none),
    // such as the files it could not read.
    using Work = std::function<std::string(ResultSink& results)>;

    BackgroundRun();
    BackgroundRun(const BackgroundRun&) = delete;
    BackgroundRun& operator=(const BackgroundRun&) = delete;
    ~BackgroundRun() override;

    // Empties pane and starts work; false, after telling the user, when the
    // progress window or the worker cannot be made. A run must not be going.
    bool Start(Window& owner, ScintillaControl& pane, const std::string& title, Work work);
    // Whether a run is going (its worker, or results not yet in the pane).
    bool IsRunning() const { return running; }
    // With a run going, asks whether to stop it; Yes stops it at once: the
    // pane keeps what it shows and the progress window says how many lines
    // were left out. True when no run is going any more.
    bool AskToStop(Window& owner);

    // The limit of a run's result text; tests make it small.
    void SetResultLimit(size_t bytes) { resultLimit = bytes; }

private:
    // What the worker uses; it lives as long as the run or the worker.
    struct Shared {
        ResultSink sink;
        std::atomic<bool> stopAsked{false};
    };

    void OnStopPressed() override;
    void OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnViewDestroyed() override;

    static void WorkerMain(std::shared_ptr<Shared> shared, Work work, HWND target, uint64_t id);
    void HandleRunMessage(UINT message, WPARAM wParam, LPARAM lParam);
    uint64_t Receive(UINT message, WPARAM wParam, LPARAM lParam);
    uint64_t ReceiveQueued();
    void CloseProgress();
    void AppendSlice();
    void SizeNextSlice(size_t bytes, double milliseconds);
    void AppendToPane(const std::string& text);
    void ShowProgress();
    void Complete();
    uint64_t Abandon();
    void FailForMemory();
    bool CannotStart();

    ProgressDialog progress;
    ScintillaControl* pane = nullptr;
    Window* owner = nullptr;
    std::shared_ptr<Shared> shared;
    size_t resultLimit = ResultSink::DefaultLimit;
    uint64_t runId = 0;
    bool running = false;
    bool workerDone = false;

    // What the worker said at its end.
    std::string notice;
    bool outOfMemory = false;

    // Chunks received and not yet in the pane; the front one is used from
    // frontOffset on.
    std::deque<std::string> pending;
    size_t frontOffset = 0;
    size_t sliceBytes = 0;
    double msPerByte = 0;
    uint64_t linesShown = 0;
    // The part of a line longer than a slice that is in the pane already.
    size_t lineShown = 0;
    bool lineRestAtOnce = false;
};
