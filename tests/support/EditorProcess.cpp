#include "support/EditorProcess.h"

#include "support/DialogDriver.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

namespace {

constexpr UINT KilledExitCode = 99;

struct TopLevelSearch {
    DWORD processId;
    const char* className;
    const char* caption; // nullptr: any
    HWND owner;          // nullptr: any
    HWND skip;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND candidate, LPARAM param)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(candidate, &pid);
    if (pid != search->processId || candidate == search->skip || !::IsWindowVisible(candidate) ||
        WindowClass(candidate) != search->className)
        return TRUE;
    if (search->owner != nullptr && ::GetWindow(candidate, GW_OWNER) != search->owner)
        return TRUE;
    if (search->caption != nullptr && WindowText(candidate) != search->caption)
        return TRUE;
    search->found = candidate;
    return FALSE;
}

} // namespace

std::string EditorProcess::Beside(const std::string& fileName)
{
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + fileName;
}

HMODULE EditorProcess::LoadAsData()
{
    return ::LoadLibraryExA(Path().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

EditorProcess::EditorProcess() : EditorProcess(std::string()) {}

// The editor inherits this process's environment: APPDATA (its settings)
// and LOCALAPPDATA (its recovery copies) are set around its start only.
EditorProcess::EditorProcess(const std::string& arguments, const std::string& settingsFolder,
                             const std::string& editorPath)
{
    std::string appData = settingsFolder;
    if (appData.empty()) {
        ownSettings = std::make_unique<TempFolder>();
        appData = ownSettings->Path();
    }
    const char* const names[] = {"APPDATA", "LOCALAPPDATA"};
    std::string previous[2];
    bool had[2] = {};
    for (int i = 0; i < 2; ++i) {
        char value[MAX_PATH] = {};
        const DWORD length = ::GetEnvironmentVariableA(names[i], value, MAX_PATH);
        had[i] = length > 0 && length < MAX_PATH;
        previous[i] = value;
        ::SetEnvironmentVariableA(names[i], appData.c_str());
    }

    std::string exe = editorPath.empty() ? Path() : editorPath;
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (!::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        info = PROCESS_INFORMATION();
    for (int i = 0; i < 2; ++i)
        ::SetEnvironmentVariableA(names[i], had[i] ? previous[i].c_str() : nullptr);
}

EditorProcess::~EditorProcess()
{
    if (info.hProcess == nullptr)
        return;
    if (IsRunning()) {
        ::TerminateProcess(info.hProcess, KilledExitCode);
        ::WaitForSingleObject(info.hProcess, DefaultWaitLimitMs);
    }
    ::CloseHandle(info.hProcess);
    ::CloseHandle(info.hThread);
}

bool EditorProcess::IsRunning() const
{
    return info.hProcess != nullptr && ::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT;
}

HWND EditorProcess::WaitForMainWindow()
{
    if (Started())
        WaitUntil([this] { return (main = FindTopLevel("TestWindow", nullptr, nullptr, nullptr)) != nullptr; });
    return main;
}

HWND EditorProcess::Find(const char* className, const char* caption) const
{
    return FindTopLevel(className, caption, nullptr, nullptr);
}

HWND EditorProcess::WaitFor(const char* className, const char* caption) const
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = Find(className, caption)) != nullptr; });
    return found;
}

HWND EditorProcess::OwnedDialog(HWND skip) const
{
    return main != nullptr ? FindTopLevel("#32770", nullptr, main, skip) : nullptr;
}

HWND EditorProcess::WaitForOwnedDialog(HWND skip) const
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = OwnedDialog(skip)) != nullptr; });
    return found;
}

bool EditorProcess::OpenDocument(const std::string& path)
{
    if (main == nullptr)
        return false;
    ::PostMessageA(main, WM_COMMAND, OpenCommand, 0);
    HWND open = WaitForOwnedDialog();
    if (open == nullptr)
        return false;
    DialogDriver::ChooseFile(path)(open);
    return WaitUntil([&] { return WindowText(main) == path + " - Quorvane"; });
}

long EditorProcess::ExitCode() const
{
    if (info.hProcess == nullptr || ::WaitForSingleObject(info.hProcess, DefaultWaitLimitMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    ::GetExitCodeProcess(info.hProcess, &code);
    return static_cast<long>(code);
}

long EditorProcess::CloseThroughExitQuestion()
{
    if (main == nullptr)
        return -1;
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND question = WaitForOwnedDialog();
    if (question == nullptr)
        return -1;
    DialogDriver::PostCommand(question, IDOK);
    return ExitCode();
}

HWND EditorProcess::FindTopLevel(const char* className, const char* caption, HWND owner, HWND skip) const
{
    if (info.hProcess == nullptr)
        return nullptr;
    TopLevelSearch search = {info.dwProcessId, className, caption, owner, skip, nullptr};
    ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
