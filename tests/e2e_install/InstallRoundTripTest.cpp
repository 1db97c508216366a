// Installs Quorvane with its own setup program the way a deployment tool
// does (silently, in the test session's Wine prefix), for the current user
// and for all users; checks the files, the Start-menu shortcut and the entry
// in Programs and Features; starts the installed editor and closes it;
// uninstalls and checks that only the file a user saved there is left.
#include <gtest/gtest.h>

#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "QuorvaneVersion.h"
#include "framework/Win32.h"
#include "support/EditorProcess.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "util/VersionInfo.h"

namespace {

const char UninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quorvane";
const uint32_t PackedVersion =
    QUORVANE_VERSION_MAJOR << 24 | QUORVANE_VERSION_MINOR << 16 | QUORVANE_VERSION_PATCH << 8;

std::string SetupPath()
{
    return EditorProcess::Beside("Quorvane-" QUORVANE_VERSION_TEXT "-setup.exe");
}

std::string ShellFolder(int csidl)
{
    char path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)) ? path : "";
}

bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Runs a program and waits for it: its exit code, or -1.
long RunToEnd(const std::string& exe, const std::string& arguments)
{
    std::string commandLine = "\"" + exe + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (!::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return -1;
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(info.hProcess, DefaultWaitLimitMs) == WAIT_OBJECT_0)
        ::GetExitCodeProcess(info.hProcess, &code);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return static_cast<long>(code);
}

// A value of the uninstall entry as text (numbers in decimal); "" when the
// entry or the value is missing.
std::string UninstallValue(HKEY root, const char* name)
{
    char data[1024] = {};
    DWORD size = sizeof(data) - 1;
    DWORD type = 0;
    if (::RegGetValueA(root, UninstallKey, name, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, data, &size) !=
        ERROR_SUCCESS)
        return {};
    if (type == REG_DWORD)
        return std::to_string(*reinterpret_cast<DWORD*>(data));
    return data;
}

bool UninstallEntryExists(HKEY root)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExA(root, UninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// Where a shortcut file points; "" when it cannot be read.
std::string ShortcutTarget(const std::string& shortcut)
{
    std::string target;
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t wide[MAX_PATH] = {};
        char path[MAX_PATH] = {};
        if (::MultiByteToWideChar(CP_ACP, 0, shortcut.c_str(), -1, wide, MAX_PATH) > 0 &&
            SUCCEEDED(file->Load(wide, STGM_READ)) &&
            SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)))
            target = path;
        file->Release();
    }
    link->Release();
    return target;
}

// Keeps COM up for the shortcut reader while a test runs.
class ComScope {
public:
    ComScope() : ready(SUCCEEDED(::CoInitialize(nullptr))) {}
    ~ComScope()
    {
        if (ready)
            ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    bool ready;
};

struct InstallCase {
    const char* name;
    const char* option;
    HKEY root;
    int programsFolder; // the Start menu's Programs of the user or of all users
    std::string folder;
};

TEST(Installer, SilentInstallStartCloseAndUninstall)
{
    if (!QUORVANE_INSTALLER_BUILT)
        GTEST_SKIP() << "NOT TESTED: makensis was missing when this build was configured, so there is no "
                        "installer (install the Debian package nsis, or run tools/setup.sh)";
    const std::string setup = SetupPath();
    ASSERT_TRUE(Exists(setup)) << setup;
    std::string builtEditor;
    ASSERT_TRUE(TempFolder::ReadBytes(EditorProcess::Path(), builtEditor));
    ComScope com;

    const InstallCase cases[] = {
        {"for the current user", "", HKEY_CURRENT_USER, CSIDL_PROGRAMS,
         ShellFolder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Quorvane"},
        {"for all users", "/ALLUSERS", HKEY_LOCAL_MACHINE, CSIDL_COMMON_PROGRAMS,
         ShellFolder(CSIDL_PROGRAM_FILES) + "\\Quorvane"},
    };
    for (const InstallCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string editorPath = c.folder + "\\Quorvane.exe";
        const std::string shortcut = ShellFolder(c.programsFolder) + "\\Quorvane.lnk";
        ASSERT_EQ(0, RunToEnd(setup, std::string("/S ") + c.option));

        EXPECT_EQ((std::vector<std::string>{"CHANGES.txt", "PCRE2-License.txt", "Quorvane.exe", "README.txt",
                                            "Scintilla-License.txt", "uninstall.exe"}),
                  TempFolder::EntriesOf(c.folder))
            << c.folder;
        std::string installedEditor;
        EXPECT_TRUE(TempFolder::ReadBytes(editorPath, installedEditor) && installedEditor == builtEditor)
            << "the installed editor is not the built one";
        EXPECT_EQ(PackedVersion, GetFileVersion(editorPath));
        EXPECT_EQ(editorPath, ShortcutTarget(shortcut)) << shortcut;

        const std::pair<const char*, std::string> entry[] = {
            {"DisplayName", "Quorvane"},
            {"DisplayVersion", QUORVANE_VERSION_TEXT},
            {"DisplayIcon", editorPath + ",0"},
            {"InstallLocation", c.folder},
            {"UninstallString", "\"" + c.folder + "\\uninstall.exe\""},
            {"QuietUninstallString", "\"" + c.folder + "\\uninstall.exe\" /S"},
            {"NoModify", "1"},
            {"NoRepair", "1"},
            {"Publisher", ""},
        };
        for (const auto& value : entry)
            EXPECT_EQ(value.second, UninstallValue(c.root, value.first)) << value.first;

        {
            EditorProcess editor("", "", editorPath);
            ASSERT_TRUE(editor.Started()) << editorPath;
            ASSERT_NE(nullptr, editor.WaitForMainWindow()) << "the installed editor shows no window";
            EXPECT_EQ(0, editor.CloseThroughExitQuestion());
        }

        // A file the user saved in the program's folder outlives the program.
        const std::string userFile = c.folder + "\\メモ.txt";
        HANDLE made = ::CreateFileA(userFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, made);
        ::CloseHandle(made);

        // The uninstaller runs on from a copy of itself, so its end is seen
        // in what it removes, not in its exit.
        EXPECT_EQ(0, RunToEnd(c.folder + "\\uninstall.exe", "/S"));
        EXPECT_TRUE(WaitUntil([&] { return !UninstallEntryExists(c.root) && !Exists(shortcut); }))
            << "the uninstall entry or the shortcut stays";
        EXPECT_TRUE(WaitUntil([&] { return TempFolder::EntriesOf(c.folder) == std::vector<std::string>{"メモ.txt"}; }))
            << "left in " << c.folder << ": " << ::testing::PrintToString(TempFolder::EntriesOf(c.folder));
        ::DeleteFileA(userFile.c_str());
        ::RemoveDirectoryA(c.folder.c_str());
    }
}

} // namespace
