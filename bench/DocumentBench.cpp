// document_bench: opens and saves large files in the real editor, one
// editor process per file, and prints the time of each and the process's
// peak memory (private bytes, sampled), beside what it holds once the open is over (then only the
// panes' Edit controls hold the text). Files: 20 MB and 100 MB of code page
// 932 text and 20 MB of UTF-8, made in the temporary folder and removed.
//   document_bench [megabytes...]   (default 20 100; UTF-8 at the first size)
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "framework/Win32.h"
#include "util/TextEncoding.h"

#include <psapi.h> // after Win32.h, which it needs

namespace {

const WORD OpenCommand = 32773;
const WORD SaveCommand = 32775;
const int FileNameBoxId = 1148;
const double Megabyte = 1024.0 * 1024.0;

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Lines of mixed Japanese and ASCII text, as a source or a log would be.
std::string MakeText(size_t bytes)
{
    const std::string line = "2026-12-09 日本語の表示とソフトの能力を予め十分に確かめる test line 0123456789\r\n";
    std::string text;
    text.reserve(bytes + line.size());
    while (text.size() < bytes)
        text += line;
    return text;
}

bool WriteWhole(const std::string& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

std::string Beside(const char* name)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1) + name;
}

struct Found {
    DWORD process;
    const char* className;
    HWND owner;
    HWND window;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM data)
{
    auto* found = reinterpret_cast<Found*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (process == found->process && ::IsWindowVisible(window) && std::string(name) == found->className &&
        (found->owner == nullptr || ::GetWindow(window, GW_OWNER) == found->owner)) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForWindow(DWORD process, const char* className, HWND owner)
{
    for (int i = 0; i < 6000; ++i) {
        Found found{process, className, owner, nullptr};
        ::EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&found));
        if (found.window != nullptr)
            return found.window;
        ::Sleep(10);
    }
    return nullptr;
}

// The highest private bytes of a process, sampled every few milliseconds
// while it lives (Wine keeps no peak of its own).
class PeakSampler {
public:
    explicit PeakSampler(HANDLE process)
        : thread([this, process] {
              while (!stop) {
                  PROCESS_MEMORY_COUNTERS now = {};
                  if (::GetProcessMemoryInfo(process, &now, sizeof now))
                      peak = std::max<size_t>(peak, now.PagefileUsage);
                  ::Sleep(2);
              }
          })
    {
    }
    ~PeakSampler()
    {
        stop = true;
        thread.join();
    }
    size_t Peak() const { return peak; }

private:
    std::atomic<bool> stop{false};
    std::atomic<size_t> peak{0};
    std::thread thread;
};

// Opens path through the editor's Open dialog, then saves it unedited.
void OpenAndSave(const PROCESS_INFORMATION& info, const std::string& path, double* openSeconds,
                 double* saveSeconds, PROCESS_MEMORY_COUNTERS* afterOpen)
{
    HWND main = WaitForWindow(info.dwProcessId, "TestWindow", nullptr);
    if (main == nullptr)
        return;
    ::PostMessageA(main, WM_COMMAND, OpenCommand, 0);
    HWND dialog = WaitForWindow(info.dwProcessId, "#32770", main);
    if (dialog == nullptr)
        return;
    ::SetWindowTextA(::GetDlgItem(dialog, FileNameBoxId), path.c_str());
    const double start = Now();
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    while (::IsWindow(dialog))
        ::Sleep(1);
    ::SendMessageA(main, WM_NULL, 0, 0); // answered once the open is over
    *openSeconds = Now() - start;
    ::GetProcessMemoryInfo(info.hProcess, afterOpen, sizeof *afterOpen);
    const double saveStart = Now();
    ::SendMessageA(main, WM_COMMAND, SaveCommand, 0);
    *saveSeconds = Now() - saveStart;
}

// One file in a fresh editor: open through the dialog, save unedited.
void Measure(const char* label, const std::string& path, size_t size)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    std::string exe = Beside("Quorvane.exe");
    std::string commandLine = "\"" + exe + "\"";
    if (!::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        std::printf("%-24s cannot start %s\n", label, exe.c_str());
        return;
    }
    PROCESS_MEMORY_COUNTERS before = {}, afterOpen = {};
    ::GetProcessMemoryInfo(info.hProcess, &before, sizeof before);
    size_t peak = 0;
    double openSeconds = -1, saveSeconds = -1;
    {
        PeakSampler sampler(info.hProcess);
        OpenAndSave(info, path, &openSeconds, &saveSeconds, &afterOpen);
        peak = sampler.Peak();
    }
    ::TerminateProcess(info.hProcess, 0);
    ::WaitForSingleObject(info.hProcess, 10000);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);

    const double mb = static_cast<double>(size) / Megabyte;
    const double peakMb = static_cast<double>(peak - before.PagefileUsage) / Megabyte;
    const double heldMb = static_cast<double>(afterOpen.PagefileUsage - before.PagefileUsage) / Megabyte;
    std::printf("%-24s open %7.2f s  save %7.2f s  peak +%7.1f MB (%.2f x)  held after open +%7.1f MB (%.2f x)\n",
                label, openSeconds, saveSeconds, peakMb, peakMb / mb, heldMb, heldMb / mb);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<size_t> sizes;
    for (int i = 1; i < argc; ++i)
        sizes.push_back(static_cast<size_t>(std::atoi(argv[i])));
    if (sizes.empty())
        sizes = {20, 100};

    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::printf("Peak and held memory: the editor's private bytes above its start.\n");
    for (size_t i = 0; i < sizes.size(); ++i) {
        const size_t bytes = sizes[i] << 20;
        const std::string path = std::string(temp) + "document_bench.txt";
        std::string text = MakeText(bytes);
        if (!WriteWhole(path, text)) {
            std::printf("cannot write %s\n", path.c_str());
            return 1;
        }
        Measure(("code page 932, " + std::to_string(sizes[i]) + " MB").c_str(), path, text.size());
        if (i == 0) {
            TextEncoding(TextEncoding::Utf8).Encode(text);
            WriteWhole(path, text);
            Measure(("UTF-8, " + std::to_string(text.size() >> 20) + " MB").c_str(), path, text.size());
        }
        ::DeleteFileA(path.c_str());
    }
    return 0;
}
