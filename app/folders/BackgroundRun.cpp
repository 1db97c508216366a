#include "app/folders/BackgroundRun.h"

#include <algorithm>
#include <chrono>
#include <new>
#include <stdexcept>
#include <system_error>
#include <thread>

#include "framework/ScintillaControl.h"
#include "framework/MessageGuard.h"
#include "util/TextSearch.h"

namespace {

constexpr UINT_PTR SliceTimer = 1;
constexpr UINT_PTR LingerTimer = 2;
constexpr UINT SliceMs = 40;
// How long the last state of a stopped run stays in view.
constexpr UINT LingerMs = 1500;
// Each slice should take about this long in the pane: long enough
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

// The end of a piece of at most room bytes of text from `from` on: between
// two characters of the pane's code page, and not between the CR and LF of a
// line end, which the pane would take for two breaks.
size_t PieceEnd(const std::string& text, size_t from, size_t room)
{
    const TextSearch::LeadBytes& lead = TextSearch::ProcessLeadBytes();
    const size_t limit = std::min(text.size(), from + room);
    size_t at = from;
    while (at < limit) {
        const size_t next = at + (lead[static_cast<unsigned char>(text[at])] ? 2 : 1);
        if (next > limit)
            break;
        at = next;
    }
    if (at > from + 1 && text[at - 1] == '\r' && at < text.size() && text[at] == '\n')
        --at;
    return at;
}

uint64_t CountLines(const std::string& text, size_t from)
{
    return static_cast<uint64_t>(std::count(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), '\n'));
}

} // namespace

BackgroundRun::BackgroundRun() : progress(*this)
{
}

BackgroundRun::~BackgroundRun()
{
    Abandon();
    CloseProgress();
}

bool BackgroundRun::Start(Window& ownerWindow, ScintillaControl& resultPane, const std::string& title, Work work)
{
    CloseProgress(); // the last state of a stopped run may still show
    owner = &ownerWindow;
    if (!progress.Open(ownerWindow, title))
        return CannotStart();
    pane = &resultPane;
    // Results are not undone: a history would hold them twice. Emptied as
    // any program empties a pane, with nothing to undo.
    pane->KeepHistory(false);
    pane->SetText("");
    pending.clear();
    frontOffset = 0;
    linesShown = 0;
    lineShown = 0;
    lineRestAtOnce = false;
    sliceBytes = FirstSliceBytes; // the pane is empty again
    msPerByte = 0;
    notice.clear();
    outOfMemory = false;
    workerDone = false;
    // A worker of an earlier run may still be ending with the run it owns.
    shared = std::make_shared<Shared>();
    shared->sink.SetLimit(resultLimit);
    shared->sink.SetStopFlag(&shared->stopAsked);
    const HWND target = progress.GetHandle();
    const uint64_t id = ++runId;
    shared->sink.SetHandover([target, id](std::string chunk) {
        auto block = std::make_unique<std::string>(std::move(chunk));
        if (::PostMessageA(target, ProgressDialog::ChunkMessage, static_cast<WPARAM>(id),
                           reinterpret_cast<LPARAM>(block.get())))
            block.release(); // the main thread owns it now
    });
    try {
        std::thread(&BackgroundRun::WorkerMain, shared, std::move(work), target, id).detach();
    } catch (const std::system_error&) {
        CloseProgress();
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
    if (!running)
        return true; // it ended while the question was up
    const uint64_t left = Abandon();
    std::string text = "中止しました（" + FormatCount(linesShown) + " 行";
    if (left > 0)
        text += "、表示しなかった結果 " + FormatCount(left) + " 行";
    progress.ShowFinal(text + "）");
    ::SetTimer(progress.GetHandle(), LingerTimer, LingerMs, nullptr);
    return true;
}

// Ends the run where it is, without waiting for the worker: it sees the stop
// at its next step, or after the file call it waits in, and what it posts
// then is dropped. Returns how many lines found were dropped unseen.
uint64_t BackgroundRun::Abandon()
{
    if (!running)
        return 0;
    running = false;
    shared->stopAsked = true;
    ::KillTimer(progress.GetHandle(), SliceTimer);
    uint64_t dropped = 0;
    for (const std::string& chunk : pending) {
        dropped += CountLines(chunk, frontOffset);
        frontOffset = 0;
    }
    pending.clear();
    return dropped + ReceiveQueued();
}

// Takes what the worker posted and nobody received yet, so that no block is
// left behind; the lines of the blocks dropped.
uint64_t BackgroundRun::ReceiveQueued()
{
    uint64_t dropped = 0;
    if (!progress.IsOpen())
        return dropped;
    MSG message;
    while (::PeekMessageA(&message, progress.GetHandle(), ProgressDialog::ChunkMessage, ProgressDialog::DoneMessage,
                          PM_REMOVE))
        dropped += Receive(message.message, message.wParam, message.lParam);
    return dropped;
}

void BackgroundRun::CloseProgress()
{
    ReceiveQueued();
    progress.Close();
}

// Nothing may escape the worker: running out of memory ends the run and is
// told at the end, like any other notice.
void BackgroundRun::WorkerMain(std::shared_ptr<Shared> shared, Work work, HWND target, uint64_t id)
{
    std::unique_ptr<Ending> ending;
    try {
        ending = std::make_unique<Ending>();
        ending->notice = work(shared->sink);
    } catch (const std::bad_alloc&) {
        ending.reset();
    }
    if (::PostMessageA(target, ProgressDialog::DoneMessage, static_cast<WPARAM>(id),
                       reinterpret_cast<LPARAM>(ending.get())))
        ending.release();
}

// A block of a run that is no longer going is dropped; returns the lines
// dropped of the last run.
uint64_t BackgroundRun::Receive(UINT message, WPARAM wParam, LPARAM lParam)
{
    const bool ofLastRun = wParam == static_cast<WPARAM>(runId);
    const bool current = running && ofLastRun;
    if (message == ProgressDialog::ChunkMessage) {
        std::unique_ptr<std::string> chunk(reinterpret_cast<std::string*>(lParam));
        if (!chunk)
            return 0;
        if (!current)
            return ofLastRun ? CountLines(*chunk, 0) : 0;
        pending.push_back(std::move(*chunk));
        return 0;
    }
    std::unique_ptr<Ending> ending(reinterpret_cast<Ending*>(lParam));
    if (!current)
        return 0;
    outOfMemory = ending == nullptr;
    if (ending)
        notice = std::move(ending->notice);
    workerDone = true;
    return 0;
}

// Memory running out anywhere in the run ends it here, not in the window's
// guard: the guard's box would let the slice timer fail again under it.
void BackgroundRun::OnRunMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    try {
        HandleRunMessage(message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        FailForMemory();
    } catch (const std::length_error&) {
        FailForMemory();
    }
}

// The run ends before the box shows, so nothing of it runs under the box.
void BackgroundRun::FailForMemory()
{
    Abandon();
    CloseProgress();
    ReportStoppedOperation(owner != nullptr ? owner->GetHandle() : nullptr, true);
}

void BackgroundRun::HandleRunMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_TIMER) {
        Receive(message, wParam, lParam);
        return;
    }
    if (wParam == LingerTimer) {
        CloseProgress();
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
        shared->stopAsked = true;
}

// The main window is going: the run goes with it, and what it found but did
// not show yet with it.
void BackgroundRun::OnViewDestroyed()
{
    Abandon();
}

// The next whole lines, about sliceBytes of them and at least one, into the
// pane. A line longer than a slice goes alone, a slice at a time. Each
// append costs the pane about the length of the line it ends as well, so
// once a piece took longer than a slice should, the rest of the line goes in
// one call rather than in many as slow.
void BackgroundRun::AppendSlice()
{
    std::string slice;
    size_t lines = 0;
    bool longLine = false;
    const bool endsLongLine = lineShown > 0;
    while (!pending.empty() && slice.size() < sliceBytes && !longLine) {
        const std::string& front = pending.front();
        const size_t pieceLimit = lineRestAtOnce ? std::string::npos : sliceBytes;
        size_t at = frontOffset;
        while (at < front.size() && slice.size() + (at - frontOffset) < sliceBytes) {
            const size_t lineEnd = front.find('\n', at);
            const size_t next = lineEnd == std::string::npos ? front.size() : lineEnd + 1;
            longLine = next - at > pieceLimit;
            if (longLine) {
                if (slice.empty() && at == frontOffset) {
                    at = PieceEnd(front, at, pieceLimit);
                    lineShown += at - frontOffset;
                }
                break;
            }
            at = next;
            ++lines;
            lineShown = 0;
            lineRestAtOnce = false;
        }
        slice.append(front, frontOffset, at - frontOffset);
        frontOffset = at;
        if (frontOffset >= front.size()) {
            pending.pop_front();
            frontOffset = 0;
        }
    }
    if (slice.empty())
        return;
    const auto start = std::chrono::steady_clock::now();
    AppendToPane(slice);
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    linesShown += lines;
    lineRestAtOnce = lineShown > 0 && took.count() > SliceTargetMs;
    if (endsLongLine || lineShown > 0)
        return; // the line's length, not the slice's, set what it cost
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
    pane->Append(text);
}

void BackgroundRun::ShowProgress()
{
    if (workerDone)
        return;
    const ResultSink::Progress now = shared->sink.ReadProgress();
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
    if (shared->stopAsked) {
        progress.ShowFinal("中止しました（" + FormatCount(linesShown) + " 行）");
        ::SetTimer(view, LingerTimer, LingerMs, nullptr);
    } else {
        CloseProgress();
    }
    if (outOfMemory)
        owner->MessageBox("メモリが足りません", "エラー", ErrorBoxType);
    if (shared->sink.LimitReached())
        owner->MessageBox("結果が多すぎるため、" + FormatCount(linesShown) + " 行で打ち切りました", "エラー",
                          ErrorBoxType);
    if (!notice.empty())
        owner->MessageBox(notice, "エラー", ErrorBoxType);
}
