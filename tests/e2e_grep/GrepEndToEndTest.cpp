// The grep command of the real Quorvane.exe, driven from this separate
// process the way a user would: menu command, folder browser, grep dialog;
// the right pane's text is read back from outside.
#include <gtest/gtest.h>

#include <string>

#include "framework/Win32.h"
#include "res/resource.h"
#include "support/FolderBrowserSelection.h"
#include "support/TempFolder.h"

namespace {

constexpr DWORD TimeoutMs = 60000;

template <typename Probe>
bool WaitFor(Probe probe)
{
    for (DWORD waited = 0; waited < TimeoutMs; waited += 50) {
        if (probe())
            return true;
        ::Sleep(50);
    }
    return false;
}

std::string ExecutableFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, length);
    return full.substr(0, full.find_last_of('\\'));
}

struct OwnedDialogSearch {
    HWND owner;
    HWND skip;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND candidate, LPARAM param)
{
    auto* search = reinterpret_cast<OwnedDialogSearch*>(param);
    char className[16] = {};
    ::GetClassNameA(candidate, className, sizeof(className));
    if (std::string(className) == "#32770" && candidate != search->skip &&
        ::GetWindow(candidate, GW_OWNER) == search->owner && ::IsWindowVisible(candidate)) {
        search->found = candidate;
        return FALSE;
    }
    return TRUE;
}

// A visible dialog that owner owns, other than skip.
HWND OwnedDialog(HWND owner, HWND skip = nullptr)
{
    OwnedDialogSearch search = {owner, skip, nullptr};
    ::EnumWindows(FindOwnedDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string TextOf(HWND window)
{
    LRESULT length = ::SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    LRESULT got = ::SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(got));
    return text;
}

// The editor as a separate process; killed when the test leaves it running.
class EditorProcess {
public:
    EditorProcess()
    {
        std::string exe = ExecutableFolder() + "\\Quorvane.exe";
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        std::string commandLine = "\"" + exe + "\"";
        if (!::CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info))
            info = PROCESS_INFORMATION();
    }
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;
    ~EditorProcess()
    {
        if (info.hProcess == nullptr)
            return;
        if (::WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(info.hProcess, 1);
            ::WaitForSingleObject(info.hProcess, TimeoutMs);
        }
        ::CloseHandle(info.hThread);
        ::CloseHandle(info.hProcess);
    }

    bool IsStarted() const { return info.hProcess != nullptr; }
    HANDLE Process() const { return info.hProcess; }
    bool HasEnded(DWORD waitMs) const { return ::WaitForSingleObject(info.hProcess, waitMs) == WAIT_OBJECT_0; }

    // The main window of this process, once it is shown.
    HWND MainWindow() const
    {
        HWND found = nullptr;
        for (HWND h = ::FindWindowExA(nullptr, nullptr, "TestWindow", nullptr); h != nullptr;
             h = ::FindWindowExA(nullptr, h, "TestWindow", nullptr)) {
            DWORD pid = 0;
            ::GetWindowThreadProcessId(h, &pid);
            if (pid == info.dwProcessId && ::IsWindowVisible(h))
                found = h;
        }
        return found;
    }

private:
    PROCESS_INFORMATION info = {};
};

void Press(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

} // namespace

TEST(GrepEndToEnd, GrepsAPreparedTreeInTheRealEditor)
{
    TempFolder tree;
    ASSERT_TRUE(tree.IsReady());
    std::string a = tree.Write("a.txt", "first\r\n検索する行\r\nlast\r\n");
    ASSERT_FALSE(tree.MakeFolder("sub").empty());
    std::string b = tree.Write("sub\\b.txt", "x\n検索\n");
    tree.Write("sub\\c.txt", "nothing here\n");
    std::string expected = a + "\t2行目\t検索する行\r\r\n" + b + "\t2行目\t検索\r\n";

    EditorProcess editor;
    ASSERT_TRUE(editor.IsStarted());
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = editor.MainWindow()) != nullptr; }));

    ::PostMessageA(main, WM_COMMAND, IDM_GREP, 0);
    HWND browser = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (browser = OwnedDialog(main)) != nullptr; }));
    ASSERT_TRUE(SelectFolderInBrowser(browser, tree.Path(), editor.Process()));
    Press(browser, IDOK);

    HWND grepDialog = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        grepDialog = OwnedDialog(main, browser);
        return !::IsWindow(browser) && grepDialog != nullptr && ::GetDlgItem(grepDialog, IDC_SEARCH_TEXT) != nullptr;
    }));
    ::SendMessageA(::GetDlgItem(grepDialog, IDC_SEARCH_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("検索"));
    Press(grepDialog, IDOK);

    HWND rightPane = ::GetDlgItem(main, 0);
    ASSERT_NE(nullptr, rightPane);
    ASSERT_TRUE(WaitFor([&] { return !::IsWindow(grepDialog) && !TextOf(rightPane).empty(); }));
    EXPECT_EQ(expected, TextOf(rightPane));

    // Close through the exit question (the document is unmodified).
    ::PostMessageA(main, WM_CLOSE, 0, 0);
    HWND question = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (question = OwnedDialog(main)) != nullptr; }));
    Press(question, IDOK);
    EXPECT_TRUE(editor.HasEnded(TimeoutMs));
}
