// grep_bench: times grep (a rare and a common text) and the directory listing
// on a generated tree, each beside its floor measured in the same run, and
// the setting of a 100,000-line result into the right pane.
//   grep_bench [files [folders [megabytes]]]   (defaults 20000 2000 200)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "BenchTree.h"
#include "FloorWalk.h"
#include "app/TestWindow.h"
#include "framework/Win32.h"

#include <psapi.h> // after Win32.h, which it needs

namespace {

// The main window with its walks and right pane reachable from here.
class BenchWindow : public TestWindow {
public:
    using TestWindow::GrepDirectory;
    using TestWindow::ListDirectory;
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

double PeakMegabytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return static_cast<double>(counters.PeakPagefileUsage) / (1024.0 * 1024.0);
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

GrepFigures TimeGrep(BenchWindow& window, const std::string& root, const char* text, int runs)
{
    GrepFigures figures;
    window.grepText = text;
    figures.seconds = BestSeconds(runs, [&] { figures.result = window.GrepDirectory(root); });
    return figures;
}

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

int Argument(int argc, char** argv, int index, int fallback)
{
    return argc > index ? std::max(1, std::atoi(argv[index])) : fallback;
}

} // namespace

int main(int argc, char** argv)
{
    TreeShape shape;
    shape.files = Argument(argc, argv, 1, shape.files);
    shape.folders = Argument(argc, argv, 2, shape.folders);
    shape.megabytes = Argument(argc, argv, 3, shape.megabytes);
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

    const int runs = 2;
    BenchWindow window;
    FloorWalk::Totals read;
    FloorWalk::Totals listed;
    double readFloor = BestSeconds(runs, [&] { read = FloorWalk(true).Run(tree.Root()); });
    GrepFigures rare = TimeGrep(window, tree.Root(), BenchTree::RareText(), runs);
    GrepFigures common = TimeGrep(window, tree.Root(), BenchTree::CommonText(), runs);
    double peakAfterGrep = PeakMegabytes();
    readFloor = std::min(readFloor, BestSeconds(1, [&] { FloorWalk(true).Run(tree.Root()); }));
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
    PrintRow("floor: enumerate only", listFloor, listFloor, 0, listed.files + listed.folders);
    PrintRow("directory listing", listSeconds, listFloor, 0, listed.files + listed.folders);
    std::printf("%-26s %zu lines, %.2f MB\n", "", CountLines(listing), Megabytes(listing.size()));
    std::printf("peak commit after grep: %.1f MB (largest file %.2f MB + common result %.2f MB kept twice at most"
                " while the best run is chosen)\n",
                peakAfterGrep, Megabytes(tree.LargestFile()), Megabytes(common.result.size()));
    std::fflush(stdout);

    TimePane(common.result);
    std::printf("removing the tree ...\n");
    return 0;
}
