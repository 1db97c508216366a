// grep_bench: times grep (a rare and a common text) and the directory listing
// on a generated tree, each beside its floor measured in the same run, and
// the setting of a 100,000-line result into the right pane. Then grep as the
// user runs it, on its worker thread, for that tree and for a tree of
// 100,000 result lines: how long the main window goes unanswered, the first
// result line, the total beside a single call; the peak memory while
// grepping one large file; one 100 MB line beside 100 MB of ordinary lines;
// and how long the window goes unanswered when a run with a large backlog is
// stopped by 中止 or by closing the window. Grep by regular expression too,
// beside the same floor.
//   grep_bench [files [folders [megabytes [big-file-megabytes]]]]
//   (defaults 20000 2000 200 1024; with 0 files, only the large file and the long line)
#include <algorithm>
#include <atomic>
#include <thread>
#include <utility>
#include <vector>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchTree.h"
#include "FloorWalk.h"
#include "app/folders/FolderGrep.h"
#include "app/TestWindow.h"
#include "framework/Win32.h"

#include <psapi.h> // after Win32.h, which it needs

namespace {

// The main window with its walks and right pane reachable from here.
class BenchWindow : public TestWindow {
public:
    using TestWindow::GrepDirectory;
    using TestWindow::ListDirectory;
    using TestWindow::StartGrep;
    using TestWindow::backgroundRun;
    using TestWindow::grepText;
    using TestWindow::rightPane;
};

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Best of a few runs, so that one hiccup of the machine does not decide.
template <typename Work>
double BestSeconds(int runs, Work work)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        double start = Now();
        work();
        best = std::min(best, Now() - start);
    }
    return best;
}

// The process's commit now, or its peak so far.
double CommitMegabytes(bool peak = false)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return static_cast<double>(peak ? counters.PeakPagefileUsage : counters.PagefileUsage) / (1024.0 * 1024.0);
}

double PeakMegabytes()
{
    return CommitMegabytes(true);
}

double Megabytes(uint64_t bytes)
{
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

size_t CountLines(const std::string& text)
{
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
}

void PrintRow(const char* what, double seconds, double floorSeconds, uint64_t bytes, uint64_t files)
{
    std::printf("%-26s %8.3f s %9.1f MB/s %10.0f files/s   floor %8.3f s   ratio %.2f\n", what, seconds,
                Megabytes(bytes) / seconds, static_cast<double>(files) / seconds, floorSeconds,
                floorSeconds / seconds);
}

struct GrepFigures {
    double seconds;
    std::string result;
};

GrepFigures TimeGrep(BenchWindow& window, const std::string& root, const char* text)
{
    GrepFigures figures;
    window.grepText = text;
    figures.seconds = BestSeconds(1, [&] { figures.result = window.GrepDirectory(root); });
    return figures;
}

// A regular expression's grep, as the worker runs it.
GrepFigures TimeRegexGrep(const std::string& root, const char* text, bool matchCase)
{
    GrepFigures figures;
    SearchOptions options;
    options.regex = true;
    options.matchCase = matchCase;
    figures.seconds = BestSeconds(1, [&] {
        figures.result.clear();
        FolderGrep grep(text, "*.*", options);
        grep.Search(root, figures.result);
    });
    return figures;
}

struct RegexRow {
    const char* label;
    const char* text;
    bool matchCase;
    GrepFigures best{1e30, {}};
};

// The first 100,000 result lines (repeated when there are fewer) into the
// right pane with one SetWindowTextA.
void TimePane(const std::string& results)
{
    constexpr size_t Lines = 100000;
    std::string text;
    size_t lines = 0;
    for (size_t pos = 0; lines < Lines && !results.empty(); pos = pos >= results.size() ? 0 : pos) {
        size_t end = results.find('\n', pos);
        end = end == std::string::npos ? results.size() : end + 1;
        text.append(results, pos, end - pos);
        pos = end;
        ++lines;
    }
    BenchWindow window;
    if (!window.Create(nullptr, 0, 0, 640, 480)) {
        std::printf("pane: the main window could not be made\n");
        return;
    }
    double start = Now();
    window.rightPane.SetText(text);
    double seconds = Now() - start;
    int length = window.rightPane.GetTextLength();
    std::printf("pane: %zu lines, %.1f MB set with one SetWindowTextA in %.3f s (pane holds %d bytes)\n",
                lines, Megabytes(text.size()), seconds, length);
    window.DestroyWindow();
}

// What redrawing one scroll bar of the right pane costs: the pane draws its
// scroll bars again whenever text is added, so this is part of every slice.
void TimeScrollBar()
{
    BenchWindow window;
    if (!window.Create(nullptr, 0, 0, 640, 480))
        return;
    const HWND pane = window.rightPane.GetHandle();
    SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE | SIF_POS, 0, 1000, 20, 0, 0};
    const int draws = 50;
    double start = Now();
    for (int i = 0; i < draws; ++i) {
        info.nPos = i;
        ::SetScrollInfo(pane, SB_VERT, &info, TRUE);
    }
    std::printf("pane: one scroll bar redrawn in %.2f ms\n", (Now() - start) * 1000 / draws);
    window.DestroyWindow();
}

// Sends WM_NULL to a window every 20 ms from its own thread and keeps how
// long each round trip took.
class Prober {
public:
    explicit Prober(HWND window) : target(window), thread([this] { Loop(); }) {}
    ~Prober() { Stop(); }
    // Called on the window's thread: a round trip under way is answered
    // before the join, or the two threads would wait for each other.
    std::vector<double> Stop()
    {
        done = true;
        while (!finished) {
            MSG message;
            ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE);
            ::Sleep(1);
        }
        if (thread.joinable())
            thread.join();
        return samples;
    }

private:
    void Loop()
    {
        while (!done) {
            double start = Now();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &result);
            samples.push_back(Now() - start);
            ::Sleep(20);
        }
        finished = true;
    }

    HWND target;
    std::atomic<bool> done{false};
    std::atomic<bool> finished{false};
    std::vector<double> samples;
    std::thread thread; // last: it starts once the rest is ready
};

// The run's timer is due again after every slice: a few messages at a time,
// or the pane would only be looked at when the run ends.
void DispatchAFew()
{
    MSG message;
    for (int i = 0; i < 4 && ::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

// Grep of root for text as the user runs it, beside one call of the walk
// and one SetWindowTextA, measured in the same run; with a floor, also the
// floor beside the whole run, from the start to the last line in the pane.
void TimeBackgroundGrep(const char* label, const std::string& root, const char* text, double floor = 0)
{
    BenchWindow window;
    if (!window.Create(nullptr, 0, 0, 640, 480)) {
        std::printf("%s: the main window could not be made\n", label);
        return;
    }
    window.grepText = text;
    double singleStart = Now();
    window.rightPane.SetText(window.GrepDirectory(root));
    double single = Now() - singleStart;
    std::string singleText = window.rightPane.GetText();

    double start = Now();
    Prober prober(window.GetHandle());
    if (!window.StartGrep(root, text, "*.*", "", SearchOptions()))
        return;
    double firstLine = -1;
    while (window.backgroundRun.IsRunning()) {
        DispatchAFew();
        if (firstLine < 0 && window.rightPane.GetTextLength() > 0)
            firstLine = Now() - start;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
    double total = Now() - start;
    std::vector<double> samples = prober.Stop();
    std::sort(samples.begin(), samples.end());
    double longest = samples.empty() ? 0 : samples.back();
    double p99 = samples.empty() ? 0 : samples[std::min(samples.size() - 1, samples.size() * 99 / 100)];
    bool same = window.rightPane.GetText() == singleText;
    std::printf("%s: %zu lines; first line %.3f s (goal <= 0.5); total %.3f s, single call %.3f s, ratio %.2f"
                " (goal <= 1.25); unanswered longest %.0f ms, 99th percentile %.0f ms (goal <= 250); pane %s\n",
                label, CountLines(singleText), firstLine, total, single, total / single, longest * 1000,
                p99 * 1000, same ? "equal to the single call" : "DIFFERENT from the single call");
    if (floor > 0)
        std::printf("%s: floor %.3f s, floor / total %.2f (goal >= 0.9)\n", label, floor, floor / total);
    std::fflush(stdout);
    window.DestroyWindow();
}

struct OwnedWindowSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedWindow(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<OwnedWindowSearch*>(data);
    if (::GetWindow(window, GW_OWNER) != search->owner)
        return TRUE;
    search->found = window;
    return FALSE;
}

// The progress window of the main window's run, as 中止 is pressed on it.
HWND ProgressWindowOf(HWND main)
{
    OwnedWindowSearch search{main, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), FindOwnedWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A stop with the pane far behind the worker: the worker runs ahead for a
// few seconds while nothing is dispatched, then 中止 is pressed (the rest
// goes into the pane in slices) or the window closes (the rest is dropped).
// Prints how long the window went unanswered.
void TimeStopsWithABacklog(const std::string& root, const char* text)
{
    for (bool close : {false, true}) {
        const char* label = close ? "close during a run" : "stop with a backlog";
        BenchWindow window;
        if (!window.Create(nullptr, 0, 0, 640, 480) || !window.StartGrep(root, text, "*.*", "", SearchOptions())) {
            std::printf("%s: the run could not be started\n", label);
            return;
        }
        ::Sleep(3000);
        if (close) {
            const double start = Now();
            window.DestroyWindow();
            std::printf("%s: the window closed in %.0f ms (goal <= 250)\n", label, (Now() - start) * 1000);
            continue;
        }
        Prober prober(window.GetHandle());
        const double start = Now();
        ::PostMessageA(ProgressWindowOf(window.GetHandle()), WM_COMMAND, IDCANCEL, 0);
        while (window.backgroundRun.IsRunning()) {
            DispatchAFew();
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
        }
        std::vector<double> samples = prober.Stop();
        const double longest = samples.empty() ? 0 : *std::max_element(samples.begin(), samples.end());
        std::printf("%s: %zu lines in the pane after %.3f s; unanswered longest %.0f ms (goal <= 250)\n", label,
                    CountLines(window.rightPane.GetText()), Now() - start, longest * 1000);
        std::fflush(stdout);
        window.DestroyWindow();
    }
}

// A folder of 2,000 files in 20 sub-folders, 50 matching lines each, or
// an empty one for a single large file.
class HitTree {
public:
    explicit HitTree(bool withHits)
    {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "quorvane-hits-" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(root.c_str(), nullptr);
        std::string lines;
        for (int i = 0; i < 50; ++i)
            lines += "この行は hit を含む行 " + std::to_string(i) + "\r\n";
        for (int folder = 0; withHits && folder < 20; ++folder) {
            std::string sub = root + "\\d" + std::to_string(folder);
            ::CreateDirectoryA(sub.c_str(), nullptr);
            for (int file = 0; file < 100; ++file)
                Write(sub + "\\" + std::to_string(file) + ".txt", lines);
        }
    }
    ~HitTree()
    {
        for (const std::string& path : files)
            ::DeleteFileA(path.c_str());
        for (int folder = 0; folder < 20; ++folder)
            ::RemoveDirectoryA((root + "\\d" + std::to_string(folder)).c_str());
        ::RemoveDirectoryA(root.c_str());
    }
    const std::string& Root() const { return root; }

    // One file of about megabytes MB of short lines, a rare match among them,
    // or of the same text as one line, the match only at its end.
    std::string WriteBig(int megabytes, bool oneLine = false)
    {
        std::string block;
        for (int i = 0; block.size() < (1u << 20); ++i)
            block += oneLine ? "ふつうの行です 0123456789  " : i % 5000 == 0 ? "まれな行 hit\r\n" : "ふつうの行です 0123456789\r\n";
        std::string path = root + "\\big.txt";
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return std::string();
        DWORD written = 0;
        for (int i = 0; i < megabytes; ++i)
            ::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr);
        if (oneLine)
            ::WriteFile(file, "hit\r\n", 5, &written, nullptr);
        ::CloseHandle(file);
        files.push_back(path);
        return path;
    }

private:
    void Write(const std::string& path, const std::string& text)
    {
        HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ::CloseHandle(file);
        files.push_back(path);
    }

    std::string root;
    std::vector<std::string> files;
};

// Peak commit above the start while one large file is grepped, before any
// other figure raises the process's peak.
void MeasureBigFile(int megabytes)
{
    HitTree big(false);
    if (big.WriteBig(megabytes).empty()) {
        std::printf("big file: could not be written\n");
        return;
    }
    double before = CommitMegabytes();
    double start = Now();
    FolderGrep grep("hit");
    std::string result;
    grep.Search(big.Root(), result);
    double seconds = Now() - start;
    std::printf("big file: %d MB grepped in %.2f s, %zu lines; peak commit %.1f MB above the start"
                " (goal <= 64 MB + result %.2f MB)\n",
                megabytes, seconds, CountLines(result), PeakMegabytes() - before, Megabytes(result.size()));
    std::fflush(stdout);
}

// Grep is linear in the length of a line: one line of megabytes MB costs
// about what as many MB of ordinary lines cost.
void CompareOneLongLine(int megabytes)
{
    double seconds[2] = {};
    size_t results[2] = {};
    for (int oneLine = 0; oneLine < 2; ++oneLine) {
        HitTree tree(false);
        if (tree.WriteBig(megabytes, oneLine != 0).empty()) {
            std::printf("long line: the file could not be written\n");
            return;
        }
        FolderGrep grep("hit");
        std::string result;
        double start = Now();
        grep.Search(tree.Root(), result);
        seconds[oneLine] = Now() - start;
        results[oneLine] = CountLines(result);
    }
    std::printf("long line: one line of %d MB in %.2f s (%zu result line); %d MB of ordinary lines in %.2f s"
                " (%zu result lines); ratio %.2f (goal <= 1.5)\n",
                megabytes, seconds[1], results[1], megabytes, seconds[0], results[0], seconds[1] / seconds[0]);
    std::fflush(stdout);
}

int Argument(int argc, char** argv, int index, int fallback, int least = 1)
{
    return argc > index ? std::max(least, std::atoi(argv[index])) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    TreeShape shape;
    shape.files = Argument(argc, argv, 1, shape.files, 0);
    shape.folders = Argument(argc, argv, 2, shape.folders);
    shape.megabytes = Argument(argc, argv, 3, shape.megabytes);
    const int bigMegabytes = Argument(argc, argv, 4, 1024);
    MeasureBigFile(bigMegabytes);
    CompareOneLongLine(100);
    if (shape.files == 0)
        return 0;
    std::printf("making %d folders, %d files, %d MB ...\n", shape.folders, shape.files, shape.megabytes);
    std::fflush(stdout);

    BenchTree tree(shape);
    double start = Now();
    if (!tree.Make()) {
        std::printf("could not make the tree under the temporary folder\n");
        return 1;
    }
    std::printf("tree %s: %.1f MB, largest file %.2f MB, made in %.1f s\n", tree.Root().c_str(),
                Megabytes(tree.Bytes()), Megabytes(tree.LargestFile()), Now() - start);
    std::fflush(stdout);

    // The floor and the greps take turns, so that a slow spell of the
    // machine (Wine's file calls vary by half from one run to the next)
    // falls on all of them alike; each keeps its best.
    const int runs = 2;
    const int rounds = 3;
    BenchWindow window;
    FloorWalk::Totals read;
    FloorWalk::Totals listed;
    double readFloor = 1e30;
    GrepFigures rare{1e30, {}};
    GrepFigures common{1e30, {}};
    RegexRow regexRows[] = {
        {"regex: plain word", BenchTree::RareText(), true},
        {"regex: \\d{3}-\\d{4}", "\\d{3}-\\d{4}", true},
        {"regex: alternation \\s*\\(", "(関数|function)\\s*\\(", true},
        {"regex: word, any case", "qrv-rare-7731", false},
    };
    for (int round = 0; round < rounds; ++round) {
        readFloor = std::min(readFloor, BestSeconds(1, [&] { read = FloorWalk(true).Run(tree.Root()); }));
        for (auto [figures, text] : {std::pair{&rare, BenchTree::RareText()}, std::pair{&common, BenchTree::CommonText()}}) {
            GrepFigures now = TimeGrep(window, tree.Root(), text);
            if (now.seconds < figures->seconds)
                *figures = std::move(now);
        }
        for (RegexRow& row : regexRows) {
            GrepFigures now = TimeRegexGrep(tree.Root(), row.text, row.matchCase);
            if (now.seconds < row.best.seconds)
                row.best = std::move(now);
        }
    }
    double peakAfterGrep = PeakMegabytes();
    double listFloor = BestSeconds(runs, [&] { listed = FloorWalk(false).Run(tree.Root()); });
    std::string listing;
    double listSeconds = BestSeconds(runs, [&] { listing = window.ListDirectory(tree.Root()); });

    std::printf("\n%llu files, %llu folders, %.1f MB read by the floor\n",
                static_cast<unsigned long long>(read.files), static_cast<unsigned long long>(read.folders),
                Megabytes(read.bytes));
    PrintRow("floor: enumerate + read", readFloor, readFloor, read.bytes, read.files);
    PrintRow("grep rare text", rare.seconds, readFloor, read.bytes, read.files);
    std::printf("%-26s %zu result lines, %.2f MB\n", "", CountLines(rare.result), Megabytes(rare.result.size()));
    PrintRow("grep common text", common.seconds, readFloor, read.bytes, read.files);
    std::printf("%-26s %zu result lines, %.2f MB\n", "", CountLines(common.result),
                Megabytes(common.result.size()));
    for (const RegexRow& row : regexRows) {
        PrintRow(row.label, row.best.seconds, readFloor, read.bytes, read.files);
        std::printf("%-26s %zu result lines, %.2f MB (goal: ratio >= 0.7)\n", "", CountLines(row.best.result),
                    Megabytes(row.best.result.size()));
    }
    PrintRow("floor: enumerate only", listFloor, listFloor, 0, listed.files + listed.folders);
    PrintRow("directory listing", listSeconds, listFloor, 0, listed.files + listed.folders);
    std::printf("%-26s %zu lines, %.2f MB\n", "", CountLines(listing), Megabytes(listing.size()));
    std::printf("peak commit after grep: %.1f MB (largest file %.2f MB + common result %.2f MB kept twice at most"
                " while the best run is chosen)\n",
                peakAfterGrep, Megabytes(tree.LargestFile()), Megabytes(common.result.size()));
    std::fflush(stdout);

    TimePane(common.result);
    TimeScrollBar();
    TimeBackgroundGrep("background grep, tree, rare text", tree.Root(), BenchTree::RareText(), readFloor);
    TimeBackgroundGrep("background grep, tree", tree.Root(), BenchTree::CommonText(), readFloor);
    {
        HitTree hits(true);
        TimeBackgroundGrep("background grep, 100,000 lines", hits.Root(), "hit");
        TimeStopsWithABacklog(hits.Root(), "hit");
    }
    std::printf("removing the tree ...\n");
    return 0;
}
