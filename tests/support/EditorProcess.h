// EditorProcess: the real Quorvane.exe, the one built beside the test
// program, as a process of its own that a test drives from outside the way a
// user would. The constructor starts it (Started tells whether that worked);
// the destructor kills it if it is still running, so a failing test never
// leaves an editor behind for the next one.
//
//   EditorProcess editor;
//   ASSERT_TRUE(editor.Started());
//   HWND main = editor.WaitForMainWindow();
//   ASSERT_NE(nullptr, main);
//   ::PostMessageA(main, WM_COMMAND, IDM_GREP, 0);
//   HWND browser = editor.WaitForOwnedDialog();
//   ...
//   EXPECT_EQ(0, editor.CloseThroughExitQuestion());
//
// Every wait polls for a state up to DefaultWaitLimitMs (see WaitUntil.h)
// and returns null or -1 when the state does not come.
#pragma once

#include <memory>
#include <string>

#include "framework/Win32.h"

class TempFolder;

class EditorProcess {
public:
    // The panes' control ids in the main window.
    static constexpr int LeftPaneId = 100;
    static constexpr int RightPaneId = 0;
    // The menu command "アプリケーションの終了(&X)".
    static constexpr int ExitCommand = 105;
    // The menu command "ファイルを開く".
    static constexpr int OpenCommand = 32773;

    // A file in the folder of the running test program, and the editor there.
    static std::string Beside(const std::string& fileName);
    static std::string Path() { return Beside("Quorvane.exe"); }
    // The editor's executable mapped as data: its resources without its code.
    // The caller frees it (see ModuleHandle in HandleOwner.h).
    static HMODULE LoadAsData();

    // Every editor keeps its per-user settings and recovery copies in a
    // folder of its own (its %APPDATA% and %LOCALAPPDATA%), empty unless
    // settingsFolder names one to share between runs; arguments follow the program's name on its command line. exe
    // names another copy of the editor (an installed one, say); empty means
    // the one built beside the test.
    EditorProcess();
    explicit EditorProcess(const std::string& arguments, const std::string& settingsFolder = "",
                           const std::string& exe = "");
    ~EditorProcess();
    EditorProcess(const EditorProcess&) = delete;
    EditorProcess& operator=(const EditorProcess&) = delete;

    bool Started() const { return info.hProcess != nullptr; }
    DWORD Id() const { return info.dwProcessId; }
    HANDLE Process() const { return info.hProcess; }
    bool IsRunning() const;

    // Waits until this process shows its main window ("TestWindow") and
    // keeps it for Main and the owned-dialog searches.
    HWND WaitForMainWindow();
    HWND Main() const { return main; }
    // A pane of the main window: LeftPaneId or RightPaneId.
    HWND Pane(int id) const { return ::GetDlgItem(main, id); }

    // A visible top-level window of this process of this class, with this
    // caption unless caption is null; null if there is none now.
    HWND Find(const char* className, const char* caption = nullptr) const;
    HWND WaitFor(const char* className, const char* caption = nullptr) const;

    // A visible dialog or message box (#32770) that the main window owns,
    // other than skip; null if there is none now.
    HWND OwnedDialog(HWND skip = nullptr) const;
    HWND WaitForOwnedDialog(HWND skip = nullptr) const;

    // Opens path through the Open dialog as a user would (the document must
    // be unmodified) and waits for its caption: false if it never came.
    bool OpenDocument(const std::string& path);

    // Waits for the process to end: its exit code, or -1 if it keeps running.
    long ExitCode() const;
    // Closes the main window, answers the exit question with OK and waits
    // for the end: the exit code, or -1 if no question came or the process
    // kept running.
    long CloseThroughExitQuestion();

private:
    HWND FindTopLevel(const char* className, const char* caption, HWND owner, HWND skip) const;

    std::unique_ptr<TempFolder> ownSettings;
    PROCESS_INFORMATION info = {};
    HWND main = nullptr;
};
