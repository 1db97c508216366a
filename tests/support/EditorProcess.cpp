#include "support/EditorProcess.h"

#include <cstring>

#include "support/DialogDriver.h"
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

// This process's environment with APPDATA set to folder, as a block for
// CreateProcessA: "name=value" strings, each ended by a zero, then a zero.
std::string EnvironmentWithAppData(const std::string& folder)
{
    std::string block;
    if (char* strings = ::GetEnvironmentStringsA()) {
        for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
            if (::_strnicmp(entry, "APPDATA=", 8) != 0)
                block.append(entry, std::strlen(entry) + 1);
        }
        ::FreeEnvironmentStringsA(strings);
    }
    block += "APPDATA=" + folder;
    block.push_back('\0');
    block.push_back('\0');
    return block;
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

EditorProcess::EditorProcess()
{
    std::string exe = Path();
    std::string commandLine = "\"" + exe + "\"";
    std::string environment = EnvironmentWithAppData(appData.Path());
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    if (!appData.IsReady() ||
        !::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, &environment[0], nullptr,
                          &startup, &info))
        info = PROCESS_INFORMATION();
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
