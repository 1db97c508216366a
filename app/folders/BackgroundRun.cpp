#include "app/folders/BackgroundRun.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <system_error>

#include "framework/EditControl.h"

namespace {

constexpr UINT_PTR SliceTimer = 1;
constexpr UINT_PTR LingerTimer = 2;
constexpr UINT SliceMs = 40;
// How long the last state of a stopped run stays in view.
constexpr UINT LingerMs = 1500;
// Each slice should take about this long in the Edit control: long enough
// that the pane's cost per call stays small, short enough that the window
// answers within a quarter of a second.
constexpr double SliceTargetMs = 120;
// About 500 lines of a grep: the first lines show at once in any pane.
constexpr size_t FirstSliceBytes = 64 * 1024;
constexpr size_t MinSliceBytes = 4 * 1024;
constexpr size_t MaxSliceBytes = 8 * 1024 * 1024;
constexpr UINT ErrorBoxType = MB_OK | MB_ICONEXCLAMATION;

// What the worker posts when it ends.
struct Ending {
    std::string notice;
};

} // namespace

BackgroundRun::BackgroundRun() : progress(*this)
{
}

BackgroundRun::~BackgroundRun()
{
    running = false;
    EndWorker();
    progress.Close();
}

bool BackgroundRun::Start(Window& ownerWindow, EditControl& resultPane, const std::string& title, Work work)
{
    progress.Close(); // the last state of a stopped run may still show
    if (worker.joinable())
        worker.join(); // a run that ended by itself has ended its worker too
    owner = &ownerWindow;
    if (!progress.Open(ownerWindow, title))
        return CannotStart();
    pane = &resultPane;
    // The pane takes any length of text; appended text is limited otherwise.
    pane->SendMessage(EM_SETLIMITTEXT, 0, 0);
    pane->SetText("");
    pending.clear();
    frontOffset = 0;
    linesShown = 0;
    sliceBytes = FirstSliceBytes; // the pane is empty again
    msPerByte = 0;
    notice.clear();
    outOfMemory = false;
    workerDone = false;
    stopAsked = false;
    sink = std::make_unique<ResultSink>();
    sink->SetLimit(resultLimit);
    sink->SetStopFlag(&stopAsked);
    const HWND target = progress.GetHandle();
    const uint64_t id = ++runId;
    sink->SetHandover([target, id](std::string chunk) {
        auto block = std::make_unique<std::string>(std::move(chunk));
        if (::PostMessageA(target, ProgressDialog::ChunkMessage, static_cast<WPARAM>(id),
                           reinterpret_cast<LPARAM>(block.get())))
            block.release(); // the main thread owns it now
    });
    try {
        worker = std::thread(&BackgroundRun::WorkerMain, this, std::move(work), target, id);
    } catch (const std::system_error&) {
        progress.Close();
        return CannotStart();
    }
    running = true;
    ::SetTimer(target, SliceTimer, SliceMs, nullptr);
    return true;
}

bool BackgroundRun::CannotStart()
{
    owner->MessageBox("処理を開始できませんでした。", "エラー", ErrorBoxType);
    return false;
}

bool BackgroundRun::AskToStop(Window& ownerWindow)
{
    if (!running)
        return true;
    if (ownerWindow.MessageBox("検索または一覧の処理を実行中です。\n中止しますか？", "確認",
                               MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    StopNow();
    return true;
}

void BackgroundRun::StopNow()
{
    if (!running)
        return;
    EndWorker();
    std::string rest;
    for (std::string& chunk : pending) {
        rest.append(chunk, frontOffset, std::string::npos);
        frontOffset = 0;
    }
    pending.clear();
    AppendToPane(rest);
    running = false;
    progress.Close();
}

// Ends the worker and takes what it posted, so no block is left behind.
void BackgroundRun::EndWorker()
{
    stopAsked = true;
    if (worker.joinable())
        worker.join();
    ReceiveQueued();
}

void BackgroundRun::ReceiveQueued()
{
    if (!progress.IsOpen())
        return;
    MSG message;
    while (::PeekMessageA(&message, progress.GetHandle(), ProgressDialog::ChunkMessage, ProgressDialog::DoneMessage,
                          PM_REMOVE))
        Receive(message.message, message.wParam, message.lParam);
}

// Nothing may escape the worker: running out of memory ends the run and is
// told at the end, like any other notice.
void BackgroundRun::WorkerMain(Work work, HWND target, uint64_t id)
{
    std::unique_ptr<Ending> ending;
    try {
        ending = std::make_unique<Ending>();
        ending->notice = work(*sink);
    } catch (const std::bad_alloc&) {
        ending.reset();
    }
    if (::PostMessageA(target, ProgressDialog::DoneMessage, static_cast<WPARAM>(id),
                       reinterpret_cast<LPARAM>(ending.get())))
        ending.release();
}

void BackgroundRun::Receive(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool current = running && wParam == static_cast<WPARAM>(runId);
    if (message == ProgressDialog::ChunkMessage) {
        std::unique_ptr<std::string> chunk(reinterpret_cast<std::string*>(lParam));
        if (current && chunk)
            pending.push_back(std::move(*chunk));
        return;
    }
    std::unique_ptr<Ending> ending(reinterpret_cast<Ending*>(lParam));
    if (!current)
        return;
    outOfMemory = ending == nullptr;
    if (ending)
        notice = std::move(ending->notice);
    workerDone = true;
    if (worker.joinable())
        worker.join(); // it has nothing left to do but return
}

void BackgroundRun::OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_TIMER) {
        Receive(message, wParam, lParam);
        return;
    }
    if (wParam == LingerTimer) {
        progress.Close();
        return;
    }
    if (!running)
        return;
    AppendSlice();
    ShowProgress();
    if (workerDone && pending.empty())
        Complete();
}

void BackgroundRun::OnStopPressed()
{
    if (running)
        stopAsked = true;
}

// The main window is going: the run goes with it.
void BackgroundRun::OnViewDestroyed()
{
    if (!running)
        return;
    running = false;
    EndWorker();
    pending.clear();
}

// The next whole lines, about sliceBytes of them and at least one, into
// the pane.
void BackgroundRun::AppendSlice()
{
    std::string slice;
    size_t lines = 0;
    while (!pending.empty() && slice.size() < sliceBytes) {
        const std::string& front = pending.front();
        size_t at = frontOffset;
        while (at < front.size() && slice.size() + (at - frontOffset) < sliceBytes) {
            const size_t lineEnd = front.find('\n', at);
            at = lineEnd == std::string::npos ? front.size() : lineEnd + 1;
            ++lines;
        }
        slice.append(front, frontOffset, at - frontOffset);
        frontOffset = at;
        if (frontOffset >= front.size()) {
            pending.pop_front();
            frontOffset = 0;
        }
    }
    if (lines == 0)
        return;
    const auto start = std::chrono::steady_clock::now();
    AppendToPane(slice);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    linesShown += lines;
    if (slice.size() >= sliceBytes)
        SizeNextSlice(slice.size(), took.count());
}

// Aims the next slice at SliceTargetMs from what a byte has cost lately. Only
// full slices tell it: in a short one the pane's cost per call weighs most.
void BackgroundRun::SizeNextSlice(size_t bytes, double milliseconds)
{
    const double perByte = std::max(milliseconds, 1.0) / static_cast<double>(bytes);
    msPerByte = msPerByte > 0 ? (msPerByte + perByte) / 2 : perByte;
    const auto aim = static_cast<size_t>(SliceTargetMs / msPerByte);
    sliceBytes = std::clamp(aim, MinSliceBytes, MaxSliceBytes);
}

// After the text already there, leaving the user's caret and view alone.
void BackgroundRun::AppendToPane(const std::string& text)
{
    if (text.empty() || pane == nullptr)
        return;
    pane->AppendKeepingView(text);
}

void BackgroundRun::ShowProgress()
{
    if (workerDone)
        return;
    const ResultSink::Progress now = sink->ReadProgress();
    progress.ShowCounts(now.files, now.lines);
    progress.ShowFolder(now.folder);
}

// Every line is in the pane. A stopped run's last state stays in view a
// moment; then what else happened is told.
void BackgroundRun::Complete()
{
    running = false;
    const HWND view = progress.GetHandle();
    ::KillTimer(view, SliceTimer);
    if (stopAsked) {
        progress.ShowFinal("中止しました（" + FormatCount(linesShown) + " 行）");
        ::SetTimer(view, LingerTimer, LingerMs, nullptr);
    } else {
        progress.Close();
    }
    if (outOfMemory)
        owner->MessageBox("メモリが足りません", "エラー", ErrorBoxType);
    if (sink->LimitReached())
        owner->MessageBox("結果が多すぎるため、" + FormatCount(linesShown) + " 行で打ち切りました", "エラー",
                          ErrorBoxType);
    if (!notice.empty())
        owner->MessageBox(notice, "エラー", ErrorBoxType);
}
