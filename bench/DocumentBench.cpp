// document_bench: opens and saves large files in the real editor, one editor
// process per file, through its Open dialog and its Save command. For each
// file it prints the open and save times beside the floor of reading the
// same file with ReadFile (and of writing it with WriteFile), the longest
// time the main window went unanswered while the file opened, and the
// private bytes at their peak and once the open has settled, above the
// editor's empty window. Files: code page 932 text of 20, 100 and 1,024 MB
// and 25 MB of UTF-8, made in the temporary folder and removed. In the
// 100 MB file (any code page 932 file of 100 MB up to 1,024 MB), a regular
// expression whose one match is the file's last line is searched for with
// the search dialog: the time to the selected match and the longest time
// the window went unanswered meanwhile. Then, with the whole 100 MB
// selected, the pane is scrolled and its caret moved up a line five times
// each: the longest time the window went unanswered, and when the status
// bar showed the selection's length after the last move. Last, すべて置換 of
// the regular expression = through the replace dialog, in a 3 MB file of
// about 140,000 matches and a 100 MB one of about 1,000,000: the time to the
// count box and the longest time the window went unanswered meanwhile.
//   document_bench [--quick] [--utf8=MB] [--replace=0|--replace-only] [megabytes...]
//   --quick leaves out the 1,024 MB file; megabytes replace the code page
//   932 sizes; --utf8=0 leaves out the UTF-8 file; --replace=0 leaves out
//   the すべて置換 files, --replace-only runs them alone.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/Win32.h"
#include "util/TextEncoding.h"

#include <psapi.h> // after Win32.h, which it needs
#include <shellapi.h>

namespace {

const WORD OpenCommand = 32773;
const WORD SaveCommand = 32775;
const WORD SearchCommand = 1007;
const WORD ReplaceCommand = 32850;
const int SearchTextId = 1007;
const int ReplaceTextId = 1113;
const int ReplaceAllId = 1115;
const char* const ReplacedCaption = "置換結果";
const int RegexBoxId = 1116;
const int LeftPaneId = 100;
const UINT SciGetSelectionEnd = 2145;
const UINT SciSelectAll = 2013;
const UINT SciLineUpExtend = 2303;
const int StatusBarId = 1210;
const int SelectionPart = 2;
// The one match of FindPattern, the file's last line.
const char* const LastLine = "最後の行 No.4321\r\n";
const char* const FindPattern = "(最後|末尾)の行 No\\.\\d+$";
const int FileNameBoxId = 1148;
const int MessageTextId = 0xFFFF;
const double Megabyte = 1024.0 * 1024.0;
const size_t BlockBytes = 4u << 20; // the editor's own read size
const char* const ProgressCaption = "ファイルを開いています";
const char* const FindProgressCaption = "検索しています";
const double OpenLimitSeconds = 900;

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

double Megabytes(uint64_t bytes)
{
    return static_cast<double>(bytes) / Megabyte;
}

// For the printout, which the terminal reads as UTF-8.
std::string Printable(std::string text)
{
    TextEncoding(TextEncoding::Utf8).Encode(text);
    return text;
}

// The line again and again, about BlockBytes of it.
std::string RepeatLine(const std::string& line)
{
    std::string block;
    block.reserve(BlockBytes + line.size());
    while (block.size() + line.size() <= BlockBytes)
        block += line;
    return block;
}

// Whole lines of mixed Japanese and ASCII text, as a source or a log would
// have, about BlockBytes of them; in UTF-8 when asked.
std::string MakeBlock(bool utf8)
{
    std::string block = RepeatLine("2026-12-09 日本語の表示とソフトの能力を予め十分に確かめる test line 0123456789\r\n");
    if (utf8)
        TextEncoding(TextEncoding::Utf8).Encode(block);
    return block;
}

// Lines of lineBytes bytes with one = each, as a settings file has.
std::string MakeSettingsBlock(size_t lineBytes)
{
    std::string line = "設定値 key=";
    for (char digit = '0'; line.size() + 2 < lineBytes; digit = digit == '9' ? '0' : static_cast<char>(digit + 1))
        line += digit;
    return RepeatLine(line + "\r\n");
}

struct FileHandle {
    HANDLE handle;
    explicit FileHandle(HANDLE h) : handle(h) {}
    ~FileHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
};

// Writes blocks of text, the last cut after a line end, until the file
// holds megabytes MB or a line less; the bytes written, 0 on failure.
// Flushed, as the editor's save is.
uint64_t WriteTextFile(const std::string& path, uint64_t megabytes, const std::string& block)
{
    FileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid())
        return 0;
    const uint64_t wanted = megabytes << 20;
    uint64_t written = 0;
    while (written < wanted) {
        size_t length = block.size();
        if (wanted - written < length)
            length = block.rfind('\n', static_cast<size_t>(wanted - written) - 1) + 1;
        DWORD now = 0;
        if (length == 0)
            break;
        if (!::WriteFile(file.handle, block.data(), static_cast<DWORD>(length), &now, nullptr) || now != length)
            return 0;
        written += now;
    }
    return ::FlushFileBuffers(file.handle) ? written : 0;
}

bool AppendLine(const std::string& path, const std::string& line)
{
    FileHandle file(::CreateFileA(path.c_str(), FILE_APPEND_DATA, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file.Valid() && ::WriteFile(file.handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
           written == line.size();
}

uint64_t FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The whole file read with ReadFile a block at a time, as the editor reads.
double ReadSeconds(const std::string& path)
{
    std::unique_ptr<char[]> block(new char[BlockBytes]);
    const double start = Now();
    FileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid())
        return -1;
    DWORD got = 0;
    while (::ReadFile(file.handle, block.get(), static_cast<DWORD>(BlockBytes), &got, nullptr) && got > 0) {
    }
    return Now() - start;
}

// The floors, best of two runs each, with the file in the OS cache: it was
// just written, and is read once before the timed runs. The write floor
// writes a new file and flushes it, as the editor's save does.
struct Floors {
    double read = 1e30;
    double write = 1e30;
};

Floors MeasureFloors(const std::string& path, uint64_t megabytes, const std::string& block)
{
    Floors floors;
    ReadSeconds(path);
    for (int run = 0; run < 2; ++run)
        floors.read = std::min(floors.read, ReadSeconds(path));
    const std::string scratch = path + ".floor";
    for (int run = 0; run < 2; ++run) {
        const double start = Now();
        WriteTextFile(scratch, megabytes, block);
        floors.write = std::min(floors.write, Now() - start);
        ::DeleteFileA(scratch.c_str());
    }
    return floors;
}

// The file's identity: a save that replaces the file gives its name a new one.
uint64_t FileIdentity(const std::string& path)
{
    FileHandle file(::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    BY_HANDLE_FILE_INFORMATION information = {};
    if (!file.Valid() || !::GetFileInformationByHandle(file.handle, &information))
        return 0;
    return (static_cast<uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow;
}

std::string Beside(const char* name)
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1) + name;
}

std::string CaptionOf(HWND window)
{
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

struct Found {
    DWORD process;
    const char* className;
    HWND owner;
    bool skipProgress;
    HWND window;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM data)
{
    auto* found = reinterpret_cast<Found*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    if (process != found->process || !::IsWindowVisible(window) || std::string(name) != found->className ||
        (found->owner != nullptr && ::GetWindow(window, GW_OWNER) != found->owner))
        return TRUE;
    if (found->skipProgress && (CaptionOf(window) == ProgressCaption || CaptionOf(window) == FindProgressCaption))
        return TRUE;
    found->window = window;
    return FALSE;
}

HWND FindWindowOf(DWORD process, const char* className, HWND owner, bool skipProgress = false)
{
    Found found{process, className, owner, skipProgress, nullptr};
    ::EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

HWND WaitForWindow(DWORD process, const char* className, HWND owner)
{
    for (int i = 0; i < 6000; ++i) {
        if (HWND window = FindWindowOf(process, className, owner))
            return window;
        ::Sleep(10);
    }
    return nullptr;
}

// A message box of the editor over its main window: any owned dialog but
// the progress window of an open or a find.
HWND EditorBox(DWORD process, HWND main)
{
    return FindWindowOf(process, "#32770", main, true);
}

bool ProgressShows(DWORD process, HWND main)
{
    HWND window = FindWindowOf(process, "#32770", main);
    return window != nullptr && CaptionOf(window) == ProgressCaption;
}

// Reads the box's text and answers it with its default button.
std::string DismissBox(HWND box)
{
    char text[1024] = {};
    ::GetDlgItemTextA(box, MessageTextId, text, sizeof text);
    ::PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    return text;
}

// The highest private bytes of a process since the last Take, sampled every
// few milliseconds while it lives (Wine keeps no peak of its own).
class PeakSampler {
public:
    explicit PeakSampler(HANDLE process) : process(process), thread([this] { Loop(); }) {}
    ~PeakSampler()
    {
        stop = true;
        thread.join();
    }
    size_t Take() { return peak.exchange(0); }

private:
    void Loop()
    {
        while (!stop) {
            PROCESS_MEMORY_COUNTERS now = {};
            if (::GetProcessMemoryInfo(process, &now, sizeof now)) {
                size_t seen = peak;
                while (now.PagefileUsage > seen && !peak.compare_exchange_weak(seen, now.PagefileUsage)) {
                }
            }
            ::Sleep(5);
        }
    }

    HANDLE process;
    std::atomic<bool> stop{false};
    std::atomic<size_t> peak{0};
    std::thread thread; // last: it starts once the rest is ready
};

// Sends WM_NULL to a window of another process every ~10 ms and keeps the
// longest round trip, and when it began.
class Prober {
public:
    explicit Prober(HWND window) : target(window), thread([this] { Loop(); }) {}
    ~Prober() { Stop(); }
    double Stop()
    {
        done = true;
        if (thread.joinable())
            thread.join();
        return longest;
    }
    double LongestBegan() const { return longestBegan; }

private:
    void Loop()
    {
        while (!done) {
            const double start = Now();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(target, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
            if (Now() - start > longest) {
                longest = Now() - start;
                longestBegan = start;
            }
            ::Sleep(10);
        }
    }

    HWND target;
    std::atomic<bool> done{false};
    double longest = 0;
    double longestBegan = 0;
    std::thread thread; // last: it starts once the rest is ready
};

size_t PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS now = {};
    return ::GetProcessMemoryInfo(process, &now, sizeof now) ? now.PagefileUsage : 0;
}

// Private bytes once they stop moving: within a quarter of a megabyte over
// half a second, or after ten seconds.
size_t SettledBytes(HANDLE process)
{
    std::vector<size_t> recent;
    for (int i = 0; i < 100; ++i) {
        recent.push_back(PrivateBytes(process));
        if (recent.size() > 5)
            recent.erase(recent.begin());
        const auto [low, high] = std::minmax_element(recent.begin(), recent.end());
        if (recent.size() == 5 && *high - *low < (256u << 10))
            break;
        ::Sleep(100);
    }
    return recent.back();
}

// Whether the open is over: the window is enabled again (it is disabled
// while the file loads) with the file's caption, and still so once it has
// answered a message sent after that was seen, so that the moments between
// the Open dialog closing and the load starting, and between the load ending
// and the document going into the pane, do not count. A box over the window
// disables it.
bool OpenFinished(HWND main, const std::string& caption)
{
    auto looksDone = [&] { return ::IsWindowEnabled(main) && ::lstrcmpiA(CaptionOf(main).c_str(), caption.c_str()) == 0; };
    if (!looksDone())
        return false;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 600000, &result);
    return looksDone();
}

struct Figures {
    double openSeconds = -1;
    double dialogSeconds = -1;
    double progressSeconds = -1; // when the progress window first showed
    double saveSeconds = -1;
    bool saveReplaced = false;
    double unansweredSeconds = 0;
    double unansweredFrom = 0; // after the Open dialog's OK
    double findSeconds = -1;
    double findUnanswered = 0;
    bool foundLast = false;
    double selectedUnanswered = -1;
    double selectedCountSeconds = -1;
    size_t baseline = 0;
    size_t openPeak = 0;
    size_t held = 0;
    size_t savePeak = 0;
    std::string failure;
};

struct ReplaceFigures {
    double seconds = -1;
    double unanswered = 0;
    std::string counted; // the count box's text
    std::string failure;
};

class EditorRun {
public:
    explicit EditorRun(const PROCESS_INFORMATION& info) : info(info) {}

    bool FindMainWindow()
    {
        main = WaitForWindow(info.dwProcessId, "TestWindow", nullptr);
        return main != nullptr;
    }

    // The empty window's private bytes, after the Open dialog has shown once:
    // what the dialog loads is the system's, not the document's.
    size_t Baseline()
    {
        HWND dialog = ShowOpenDialog();
        if (dialog != nullptr) {
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
            while (::IsWindow(dialog))
                ::Sleep(10);
        }
        return SettledBytes(info.hProcess);
    }

    // Opens path through the Open dialog; fills the open's figures.
    bool Open(const std::string& path, const std::string& caption, Figures& figures)
    {
        HWND dialog = ShowOpenDialog();
        if (dialog == nullptr) {
            figures.failure = "the Open dialog did not show";
            return false;
        }
        ::SetWindowTextA(::GetDlgItem(dialog, FileNameBoxId), path.c_str());
        Prober prober(main);
        const double start = Now();
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        while (::IsWindow(dialog))
            ::Sleep(1);
        figures.dialogSeconds = Now() - start;
        bool finished = false;
        while (!finished && figures.failure.empty() && Now() - start < OpenLimitSeconds) {
            if (HWND box = EditorBox(info.dwProcessId, main))
                figures.failure = "the editor said 「" + Printable(DismissBox(box)) + "」 after " +
                                  std::to_string(static_cast<int>(Now() - start)) + " s";
            else if (!(finished = OpenFinished(main, caption)))
                ::Sleep(1);
            if (figures.progressSeconds < 0 && ProgressShows(info.dwProcessId, main))
                figures.progressSeconds = Now() - start;
        }
        figures.openSeconds = Now() - start;
        figures.unansweredSeconds = prober.Stop();
        figures.unansweredFrom = prober.LongestBegan() - start;
        if (!finished && figures.failure.empty())
            figures.failure = "the open did not end within " + std::to_string(static_cast<int>(OpenLimitSeconds)) + " s";
        return finished;
    }

    // The Save command, sent from a thread of its own so that a box the save
    // shows can be read and answered here.
    bool Save(Figures& figures)
    {
        std::atomic<bool> saved{false};
        const double start = Now();
        std::thread sender([&] {
            DWORD_PTR result = 0;
            ::SendMessageTimeoutA(main, WM_COMMAND, SaveCommand, 0, SMTO_NORMAL, 600000, &result);
            figures.saveSeconds = Now() - start;
            saved = true;
        });
        while (!saved) {
            if (HWND box = EditorBox(info.dwProcessId, main))
                figures.failure = "on saving, the editor said 「" + Printable(DismissBox(box)) + "」";
            ::Sleep(1);
        }
        sender.join();
        return figures.failure.empty();
    }

    // FindPattern through the search dialog, down from the start of the
    // document; over when the window is enabled again (a find disables it)
    // and answers.
    bool FindLast(uint64_t size, Figures& figures)
    {
        ::PostMessageA(main, WM_COMMAND, SearchCommand, 0);
        HWND dialog = WaitForWindow(info.dwProcessId, "#32770", main);
        if (dialog == nullptr) {
            figures.failure = "the search dialog did not show";
            return false;
        }
        ::SetDlgItemTextA(dialog, SearchTextId, FindPattern);
        ::SendDlgItemMessageA(dialog, RegexBoxId, BM_SETCHECK, BST_CHECKED, 0);
        Prober prober(main);
        const double start = Now();
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        while (::IsWindow(dialog))
            ::Sleep(1);
        const std::string caption = CaptionOf(main);
        bool finished = false;
        while (!finished && figures.failure.empty() && Now() - start < OpenLimitSeconds) {
            if (HWND box = EditorBox(info.dwProcessId, main))
                figures.failure = "on finding, the editor said 「" + Printable(DismissBox(box)) + "」";
            else if (!(finished = OpenFinished(main, caption)))
                ::Sleep(1);
        }
        figures.findSeconds = Now() - start;
        figures.findUnanswered = prober.Stop();
        const auto end = static_cast<uint64_t>(::SendMessageA(::GetDlgItem(main, LeftPaneId), SciGetSelectionEnd, 0, 0));
        figures.foundLast = end + 2 == size;
        return finished;
    }

    // Scrolls and caret moves posted as the keys would come, 50 ms apart, all
    // of the text selected; the count is shown once the selection part is
    // longer than "… 文字選択".
    void MoveAroundSelection(Figures& figures)
    {
        const HWND pane = ::GetDlgItem(main, LeftPaneId);
        const HWND bar = ::GetDlgItem(main, StatusBarId);
        DWORD_PTR result = 0;
        ::SendMessageTimeoutA(pane, SciSelectAll, 0, 0, SMTO_NORMAL, 600000, &result);
        Prober prober(main);
        for (int move = 0; move < 10; ++move) {
            if (move % 2 == 0)
                ::PostMessageA(pane, WM_VSCROLL, SB_LINEDOWN, 0);
            else
                ::PostMessageA(pane, SciLineUpExtend, 0, 0);
            ::Sleep(50);
        }
        const double last = Now();
        const int placeholder = 11; // "… 文字選択" in code page 932
        while (LOWORD(::SendMessageA(bar, SB_GETTEXTLENGTHA, SelectionPart, 0)) <= placeholder && Now() - last < 60)
            ::Sleep(5);
        figures.selectedCountSeconds = Now() - last;
        figures.selectedUnanswered = prober.Stop();
    }

    // すべて置換 of = with := through the replace dialog, the regular
    // expression checked; over when the count box shows.
    void ReplaceAll(ReplaceFigures& figures)
    {
        ::PostMessageA(main, WM_COMMAND, ReplaceCommand, 0);
        HWND dialog = WaitForWindow(info.dwProcessId, "#32770", main);
        if (dialog == nullptr) {
            figures.failure = "the replace dialog did not show";
            return;
        }
        ::SetDlgItemTextA(dialog, SearchTextId, "=");
        ::SetDlgItemTextA(dialog, ReplaceTextId, ":=");
        ::SendDlgItemMessageA(dialog, RegexBoxId, BM_SETCHECK, BST_CHECKED, 0);
        Prober prober(main);
        const double start = Now();
        ::PostMessageA(dialog, WM_COMMAND, ReplaceAllId, 0);
        HWND box = nullptr;
        while ((box = ::FindWindowA("#32770", ReplacedCaption)) == nullptr && Now() - start < OpenLimitSeconds) {
            for (const char* other : {"検索結果", "エラー"}) {
                if (HWND trouble = ::FindWindowA("#32770", other))
                    figures.failure = "the editor said 「" + Printable(DismissBox(trouble)) + "」";
            }
            if (!figures.failure.empty())
                break;
            ::Sleep(1);
        }
        figures.seconds = Now() - start;
        figures.unanswered = prober.Stop();
        if (box != nullptr)
            figures.counted = Printable(DismissBox(box));
        else if (figures.failure.empty())
            figures.failure = "no count box within " + std::to_string(static_cast<int>(OpenLimitSeconds)) + " s";
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }

private:
    HWND ShowOpenDialog()
    {
        ::PostMessageA(main, WM_COMMAND, OpenCommand, 0);
        return WaitForWindow(info.dwProcessId, "#32770", main);
    }

    const PROCESS_INFORMATION& info;
    HWND main = nullptr;
};

// One file in a fresh editor: its empty window's private bytes, the open
// through the dialog, the bytes once it settled, the save.
// A fresh editor process, ended (not closed) when this goes.
class EditorProcess {
public:
    EditorProcess()
    {
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        std::string commandLine = "\"" + exe + "\"";
        started = ::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                   &startup, &info);
    }
    ~EditorProcess()
    {
        if (!started)
            return;
        ::TerminateProcess(info.hProcess, 0);
        ::WaitForSingleObject(info.hProcess, 10000);
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }
    const std::string exe = Beside("Quorvane.exe");
    PROCESS_INFORMATION info = {};
    bool started = false;
};

// An editor's settings and recovery copies, in a folder of its own
// (inherited through APPDATA and LOCALAPPDATA), made before it starts and
// removed once it has ended: an editor ended with a modified document
// leaves a copy that the next editor would offer back, and the user's own
// settings must not shape the figures.
class PrivateUserFolders {
public:
    PrivateUserFolders() : path(TempPath() + "document_bench_user")
    {
        Remove();
        ::CreateDirectoryA(path.c_str(), nullptr);
        ::SetEnvironmentVariableA("APPDATA", path.c_str());
        ::SetEnvironmentVariableA("LOCALAPPDATA", path.c_str());
    }
    ~PrivateUserFolders() { Remove(); }
    PrivateUserFolders(const PrivateUserFolders&) = delete;
    PrivateUserFolders& operator=(const PrivateUserFolders&) = delete;

private:
    static std::string TempPath()
    {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        return temp;
    }

    void Remove() const
    {
        std::string from = path + '\0'; // the list ends with a second zero
        SHFILEOPSTRUCTA operation = {};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        ::SHFileOperationA(&operation);
    }

    std::string path;
};

Figures MeasureEditor(const std::string& path, const std::string& caption, bool find)
{
    Figures figures;
    const PrivateUserFolders userFolders;
    EditorProcess process;
    const PROCESS_INFORMATION& info = process.info;
    if (!process.started) {
        figures.failure = "cannot start " + process.exe;
        return figures;
    }
    EditorRun editor(info);
    if (!editor.FindMainWindow()) {
        figures.failure = "the editor's window did not show";
    } else {
        figures.baseline = editor.Baseline();
        PeakSampler sampler(info.hProcess);
        sampler.Take();
        const bool opened = editor.Open(path, caption, figures);
        figures.held = SettledBytes(info.hProcess);
        figures.openPeak = std::max(sampler.Take(), figures.held);
        if (opened && find) {
            editor.FindLast(FileSize(path), figures);
            editor.MoveAroundSelection(figures);
        }
        const uint64_t identity = FileIdentity(path);
        if (opened && figures.failure.empty() && editor.Save(figures))
            figures.savePeak = sampler.Take();
        figures.saveReplaced = FileIdentity(path) != identity;
    }
    return figures;
}

// すべて置換 in a file of megabytes MB whose lines hold about `matches` of =
// in all, opened in a fresh editor.
void RunReplaceCase(uint64_t megabytes, uint64_t matches, double goalSeconds, const std::string& path)
{
    const std::string label = "すべて置換 of the regular expression = with :=, code page 932, " +
                              std::to_string(megabytes) + " MB";
    const uint64_t size = WriteTextFile(path, megabytes, MakeSettingsBlock((megabytes << 20) / matches));
    ReplaceFigures figures;
    Figures opening;
    const PrivateUserFolders userFolders;
    EditorProcess process;
    EditorRun editor(process.info);
    if (size == 0)
        figures.failure = "cannot write " + path;
    else if (!process.started || !editor.FindMainWindow())
        figures.failure = "the editor did not start";
    else if (!editor.Open(path, path + " - Quorvane", opening))
        figures.failure = opening.failure;
    else
        editor.ReplaceAll(figures);
    std::printf("%s (%.1f MB)\n", Printable(label).c_str(), Megabytes(size));
    if (figures.failure.empty())
        std::printf("  %s in %.2f s (goal <= %.1f); main window unanswered meanwhile: longest %.0f ms (goal <= 250)\n",
                    figures.counted.c_str(), figures.seconds, goalSeconds, figures.unanswered * 1000);
    else
        std::printf("  NOT DONE: %s\n", figures.failure.c_str());
    std::fflush(stdout);
    ::DeleteFileA(path.c_str());
}

// Above the baseline, in MB.
double Above(size_t bytes, size_t baseline)
{
    return bytes > baseline ? Megabytes(bytes - baseline) : -Megabytes(baseline - bytes);
}

// The progress window shows half a second into the load.
std::string ProgressText(double seconds)
{
    if (seconds < 0)
        return "no progress window";
    char text[80];
    std::snprintf(text, sizeof text, "the progress window at %.2f s", seconds);
    return text;
}

void PrintFigures(const std::string& label, uint64_t size, const Floors& floors, const Figures& figures)
{
    const double mb = Megabytes(size);
    std::printf("%s (%.1f MB)\n", label.c_str(), mb);
    if (figures.openSeconds >= 0)
        std::printf("  open %7.2f s   ReadFile floor %6.2f s   open / floor %5.2f (goal <= 3)"
                    "   (the Open dialog was gone after %.2f s, %s)\n",
                    figures.openSeconds, floors.read, figures.openSeconds / floors.read, figures.dialogSeconds,
                    ProgressText(figures.progressSeconds).c_str());
    if (figures.saveSeconds >= 0)
        std::printf("  save %7.2f s   ReadFile floor %6.2f s   save / floor %5.2f;  WriteFile floor %6.2f s, save / that %5.2f"
                    " (%s)\n",
                    figures.saveSeconds, floors.read, figures.saveSeconds / floors.read, floors.write,
                    figures.saveSeconds / floors.write,
                    figures.saveReplaced ? "the file was replaced by a new one" : "the file was written over in place");
    std::printf("  main window unanswered while opening: longest %.0f ms (goal <= 250), from %.2f s after OK\n",
                figures.unansweredSeconds * 1000, figures.unansweredFrom);
    const double peak = Above(figures.openPeak, figures.baseline);
    const double held = Above(figures.held, figures.baseline);
    std::printf("  private bytes above the empty window (%.1f MB): peak while opening %+.1f MB = %.2f x the file"
                " (goal <= 2), held after the open %+.1f MB = %.2f x (goal <= 1.3)",
                Megabytes(figures.baseline), peak, peak / mb, held, held / mb);
    if (figures.savePeak > 0)
        std::printf(", peak while saving %+.1f MB", Above(figures.savePeak, figures.baseline));
    std::printf("\n");
    if (figures.findSeconds >= 0)
        std::printf("  regular expression to the last line: %.2f s, %s; main window unanswered meanwhile:"
                    " longest %.0f ms (goal <= 250)\n",
                    figures.findSeconds, figures.foundLast ? "the match selected" : "NOT the last line selected",
                    figures.findUnanswered * 1000);
    if (figures.selectedUnanswered >= 0)
        std::printf("  all selected, 5 scrolls and 5 caret moves: main window unanswered longest %.0f ms (goal <= 50);"
                    " the length shown %.2f s after the last\n",
                    figures.selectedUnanswered * 1000, figures.selectedCountSeconds);
    if (!figures.failure.empty())
        std::printf("  NOT DONE: %s\n", figures.failure.c_str());
    std::fflush(stdout);
}

struct Case {
    uint64_t megabytes;
    bool utf8;
};

void RunCase(const Case& test, const std::string& path)
{
    const std::string label = std::string(test.utf8 ? "UTF-8" : "code page 932") + ", " +
                              std::to_string(test.megabytes) + " MB";
    const std::string block = MakeBlock(test.utf8);
    const uint64_t size = WriteTextFile(path, test.megabytes, block);
    if (size == 0) {
        std::printf("%s: cannot write %s\n", label.c_str(), path.c_str());
        ::DeleteFileA(path.c_str());
        return;
    }
    const bool find = !test.utf8 && test.megabytes >= 100 && test.megabytes < 1024;
    if (find && !AppendLine(path, LastLine)) {
        std::printf("%s: cannot write %s\n", label.c_str(), path.c_str());
        return;
    }
    const Floors floors = MeasureFloors(path, test.megabytes, block);
    const Figures figures = MeasureEditor(path, path + (test.utf8 ? " [UTF-8]" : "") + " - Quorvane", find);
    PrintFigures(label, size, floors, figures);
    ::DeleteFileA(path.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    bool quick = false;
    bool replace = true;
    bool replaceOnly = false;
    uint64_t utf8Megabytes = 25;
    std::vector<uint64_t> sizes;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--quick")
            quick = true;
        else if (argument == "--replace=0")
            replace = false;
        else if (argument == "--replace-only")
            replaceOnly = true;
        else if (argument.rfind("--utf8=", 0) == 0)
            utf8Megabytes = std::strtoull(argument.c_str() + 7, nullptr, 10);
        else
            sizes.push_back(std::strtoull(argument.c_str(), nullptr, 10));
    }
    if (sizes.empty())
        sizes = {20, 100, 1024};
    if (quick)
        sizes.erase(std::remove_if(sizes.begin(), sizes.end(), [](uint64_t mb) { return mb >= 1024; }), sizes.end());

    std::vector<Case> cases;
    for (size_t i = 0; i < sizes.size(); ++i) {
        cases.push_back({sizes[i], false});
        if (i == 0 && utf8Megabytes > 0)
            cases.push_back({utf8Megabytes, true});
    }
    if (sizes.empty() && utf8Megabytes > 0)
        cases.push_back({utf8Megabytes, true});

    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::printf("Floors: the same file read (and written) by this program with 4 MB ReadFile (WriteFile) calls,\n"
                "best of two, just before the editor runs, the file in the OS cache. Memory: private bytes,\n"
                "sampled every 5 ms, minus the editor's empty window after its Open dialog has shown once.\n");
    std::fflush(stdout);
    if (replaceOnly)
        cases.clear();
    for (const Case& test : cases)
        RunCase(test, std::string(temp) + "document_bench.txt");
    if (replace || replaceOnly) {
        RunReplaceCase(3, 140'000, 0.5, std::string(temp) + "document_bench_replace.txt");
        RunReplaceCase(100, 1'000'000, 10, std::string(temp) + "document_bench_replace.txt");
    }
    return 0;
}
