// Starts the real Quorvane.exe as its own process and looks at it from
// outside, the way a user meets it: the main window, its menu and panes, the
// exit question, and keys that must do nothing. Every wait polls for a state
// with a generous limit; none of them asserts on elapsed time.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Win32.h"
#include "support/DialogDriver.h"
#include "support/EditorProcess.h"
#include "support/HandleOwner.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

namespace {

// Returns once the window's thread has come back to its message loop: a sent
// message is only taken there (or in a modal loop), never in the middle of a
// handler, so everything posted or sent before has run to its end.
bool RoundTrip(HWND window)
{
    DWORD_PTR result = 0;
    return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, DefaultWaitLimitMs, &result) != 0;
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(editor.Started()) << "cannot start " << EditorProcess::Path();
        main = editor.WaitForMainWindow();
        ASSERT_NE(nullptr, main) << "no visible TestWindow from the editor";
        ASSERT_TRUE(RoundTrip(main)) << "the editor does not reach its message loop";
    }

    EditorProcess editor;
    HWND main = nullptr;
};

TEST_F(EditorTest, MainWindowStartsUntitledAndCentred)
{
    EXPECT_EQ("無題 - Quorvane", WindowText(main));
    LONG style = ::GetWindowLongA(main, GWL_STYLE);
    EXPECT_EQ(0x10CF0000, style & 0x10CF0000) << "visible overlapped window, style " << std::hex << style;
    RECT frame = {};
    ::GetWindowRect(main, &frame);
    // 640 x 480 centred on the 1024 x 768 desktop of the test session.
    EXPECT_EQ(1024, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(768, ::GetSystemMetrics(SM_CYSCREEN));
    EXPECT_EQ(192, frame.left);
    EXPECT_EQ(144, frame.top);
    EXPECT_EQ(640, frame.right - frame.left);
    EXPECT_EQ(480, frame.bottom - frame.top);
}

// Receives the menu probe's report (see probe/MenuProbe.cpp).
std::string menuReport;

LRESULT CALLBACK ReceiveReport(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        if (data->cbData > 0)
            menuReport.assign(static_cast<const char*>(data->lpData), data->cbData - 1);
        return TRUE;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// A top-level window of this test process with its own class.
class TestProcessWindow {
public:
    TestProcessWindow(const char* className, WNDPROC procedure, DWORD style) : name(className)
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = procedure;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        registered = ::RegisterClassA(&wc) != 0;
        handle = ::CreateWindowExA(0, className, "", style, 0, 0, 200, 100, nullptr, nullptr, wc.hInstance,
                                   nullptr);
    }
    ~TestProcessWindow()
    {
        if (handle != nullptr)
            ::DestroyWindow(handle);
        if (registered)
            ::UnregisterClassA(name, ::GetModuleHandleA(nullptr));
    }
    TestProcessWindow(const TestProcessWindow&) = delete;
    TestProcessWindow& operator=(const TestProcessWindow&) = delete;
    HWND Get() const { return handle; }

private:
    const char* name;
    bool registered = false;
    HWND handle = nullptr;
};

// Runs this thread's messages until done() or the wait limit.
bool PumpUntil(const std::function<bool()>& done, HWND acceleratorWindow = nullptr, HACCEL table = nullptr)
{
    return WaitUntil([&] {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (table != nullptr && ::TranslateAcceleratorA(acceleratorWindow, table, &msg))
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        return done();
    });
}

TEST_F(EditorTest, MenuBarShowsTheCommands)
{
    const char* expected =
        "0\t-1\t0\tファイル(&F)\n"
        "0\t0\t32773\tファイルを開く\tCtrl+O\n"
        "0\t1\t32775\tファイルを保存\tCtrl+S\n"
        "0\t2\t32777\tファイルを名前を付けて保存\tCtrl+Shift+S\n"
        "0\t3\t4294967295\t開き直す (文字コード指定)\n"
        "0\t4\t105\tアプリケーションの終了(&X)\n"
        "1\t-1\t0\t編集\n"
        "1\t0\t32907\t元に戻す\tCtrl+Z\n"
        "1\t1\t32908\tやり直し\tCtrl+Y\n"
        "1\t2\t0\t\n"
        "1\t3\t1007\t検索\tCtrl+F\n"
        "1\t4\t32781\t次を検索\tF3\n"
        "1\t5\t32900\t前を検索\tShift+F3\n"
        "1\t6\t32850\t置換\tCtrl+H\n"
        "1\t7\t32787\tgrep検索\tCtrl+G\n"
        "1\t8\t32783\tディレクトリ一覧を表示\n"
        "1\t9\t32785\t左右の文章を入れ替える\n"
        "1\t10\t32901\t指定行へジャンプ\tCtrl+J\n"
        "1\t11\t32902\tタグジャンプ\tF12\n"
        "1\t12\t32903\tタグジャンプバック\tShift+F12\n"
        "2\t-1\t0\t表示\n"
        "2\t0\t32851\tフォント…\n"
        "2\t1\t0\t\n"
        "2\t2\t32920\tステータスバー\n"
        "2\t3\t32921\t行番号\n"
        "2\t4\t32922\t折り返し\n"
        "2\t5\t32926\t前回のファイルを開く\n"
        "2\t6\t0\t\n"
        "2\t7\t32923\t拡大\tCtrl++\n"
        "2\t8\t32924\t縮小\tCtrl+-\n"
        "2\t9\t32925\t元のサイズ\tCtrl+0\n"
        "3\t-1\t0\tヘルプ(&H)\n"
        "3\t0\t32790\t壁紙を変更する\n"
        "3\t1\t104\tバージョン情報 ...(&A)\tAlt+/\n";
    ASSERT_NE(nullptr, ::GetMenu(main)) << "the main window has no menu";

    ModuleHandle probe(::LoadLibraryA(EditorProcess::Beside("e2e_start_menu_probe.dll").c_str()));
    ASSERT_NE(nullptr, probe.Get());
    using Install = HHOOK (*)(DWORD);
    auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(::GetProcAddress(probe.Get(), "InstallMenuProbe")));
    ASSERT_NE(nullptr, install);
    TestProcessWindow receiver("QuorvaneMenuReceiver", ReceiveReport, WS_OVERLAPPED);
    ASSERT_NE(nullptr, receiver.Get());
    HookHandle hook(install(::GetWindowThreadProcessId(main, nullptr)));
    ASSERT_NE(nullptr, hook.Get());

    menuReport.clear();
    ::PostMessageA(main, ::RegisterWindowMessageA("QuorvaneMenuProbeRequest"), 0,
                   reinterpret_cast<LPARAM>(receiver.Get()));
    ASSERT_TRUE(PumpUntil([] { return !menuReport.empty(); })) << "no report from the menu probe";
    // One line per popup and item: popup, position, command id, text as GetMenuStringA gives it.
    EXPECT_EQ(expected, menuReport);
}

TEST_F(EditorTest, PanesSitSideBySide)
{
    RECT client = {};
    ::GetClientRect(main, &client);
    const int w = client.right;
    RECT status = {};
    ::GetWindowRect(::GetDlgItem(main, 1210), &status);
    const int h = client.bottom - (status.bottom - status.top); // the panes end above the status bar
    ASSERT_GT(w, 0);
    ASSERT_GT(h, 0);
    struct Row {
        const char* name;
        int id;
        int x;
        int width;
    };
    // After the first WM_SIZE the right pane is W/2 wide from W/2 + 1.
    const Row rows[] = {{"left pane", 100, 0, w / 2}, {"right pane", 0, w / 2 + 1, w / 2}};
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.name << " (id " << row.id << "), client " << w << " x " << h);
        HWND pane = ::GetDlgItem(main, row.id);
        ASSERT_NE(nullptr, pane);
        EXPECT_EQ("Scintilla", WindowClass(pane));
        // Scintilla draws its own scroll bars and takes their styles away.
        const LONG paneStyle = WS_CHILD | WS_VISIBLE;
        EXPECT_EQ(paneStyle & ~WS_BORDER, ::GetWindowLongA(pane, GWL_STYLE) & ~WS_BORDER);
        RECT r = {};
        ::GetWindowRect(pane, &r);
        ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
        EXPECT_EQ(row.x, r.left);
        EXPECT_EQ(0, r.top);
        EXPECT_EQ(row.width, r.right - r.left);
        EXPECT_EQ(h, r.bottom - r.top);
    }
    // The two panes and the status bar, nothing else.
    int children = 0;
    for (HWND child = ::GetWindow(main, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        ++children;
    EXPECT_EQ(3, children);
    EXPECT_EQ("msctls_statusbar32", WindowClass(::GetDlgItem(main, 1210)));
}

enum class Closer { CloseMessage, ExitCommand };
enum class Answer { CancelButton, EnterKey, OkButton };

struct CloseCase {
    const char* name;
    Closer closer;
    Answer answer;
    bool keepsRunning;
};

void Ask(HWND main, Closer closer)
{
    if (closer == Closer::CloseMessage)
        ::PostMessageA(main, WM_CLOSE, 0, 0);
    else
        ::PostMessageA(main, WM_COMMAND, MAKEWPARAM(EditorProcess::ExitCommand, 0), 0);
}

struct ButtonSearch {
    std::vector<int> ids;
};

BOOL CALLBACK CollectVisibleButton(HWND child, LPARAM param)
{
    if (WindowClass(child) == "Button" && ::IsWindowVisible(child))
        reinterpret_cast<ButtonSearch*>(param)->ids.push_back(::GetDlgCtrlID(child));
    return TRUE;
}

TEST(Editor, ExitQuestionDecidesWhetherTheEditorEnds)
{
    const CloseCase cases[] = {
        {"close, Cancel", Closer::CloseMessage, Answer::CancelButton, true},
        {"close, Enter", Closer::CloseMessage, Answer::EnterKey, true},
        {"close, OK", Closer::CloseMessage, Answer::OkButton, false},
        {"exit item, Cancel", Closer::ExitCommand, Answer::CancelButton, true},
        {"exit item, Enter", Closer::ExitCommand, Answer::EnterKey, true},
        {"exit item, OK", Closer::ExitCommand, Answer::OkButton, false},
    };
    // Each case gets a fresh editor.
    for (const CloseCase& c : cases) {
        SCOPED_TRACE(c.name);
        EditorProcess process;
        ASSERT_TRUE(process.Started());
        HWND window = process.WaitForMainWindow();
        ASSERT_NE(nullptr, window);
        ASSERT_TRUE(RoundTrip(window));

        Ask(window, c.closer);
        HWND box = process.WaitForOwnedDialog();
        ASSERT_NE(nullptr, box) << "no exit question";
        EXPECT_EQ("終了の確認", WindowText(box));
        EXPECT_EQ("終了しますか？", DialogDriver::TextOf(box, 65535));
        ButtonSearch buttons;
        ::EnumChildWindows(box, CollectVisibleButton, reinterpret_cast<LPARAM>(&buttons));
        EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), buttons.ids);
        HWND ok = ::GetDlgItem(box, IDOK);
        HWND cancel = ::GetDlgItem(box, IDCANCEL);
        EXPECT_EQ(BS_DEFPUSHBUTTON, ::GetWindowLongA(cancel, GWL_STYLE) & 0x0F) << "Cancel is preselected";
        EXPECT_EQ(BS_PUSHBUTTON, ::GetWindowLongA(ok, GWL_STYLE) & 0x0F);

        switch (c.answer) {
        case Answer::CancelButton:
            ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0);
            break;
        case Answer::OkButton:
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            break;
        case Answer::EnterKey: {
            // Enter goes to the control with the keyboard focus: the preselected button.
            GUITHREADINFO gui = {};
            gui.cbSize = sizeof(gui);
            ::GetGUIThreadInfo(::GetWindowThreadProcessId(box, nullptr), &gui);
            EXPECT_EQ(cancel, gui.hwndFocus) << "focus is not on Cancel";
            HWND target = gui.hwndFocus != nullptr ? gui.hwndFocus : box;
            ::PostMessageA(target, WM_KEYDOWN, VK_RETURN, 0x001C0001);
            ::PostMessageA(target, WM_KEYUP, VK_RETURN, 0xC01C0001);
            break;
        }
        }

        if (!c.keepsRunning) {
            EXPECT_EQ(0, process.ExitCode());
            continue;
        }
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); })) << "the question stays open";
        ASSERT_TRUE(RoundTrip(window)) << "the main window is gone";
        EXPECT_TRUE(process.IsRunning());
        EXPECT_TRUE(::IsWindowVisible(window));

        // Still closable afterwards, with exit code 0.
        Ask(window, Closer::CloseMessage);
        box = process.WaitForOwnedDialog();
        ASSERT_NE(nullptr, box) << "no exit question the second time";
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(0, process.ExitCode());
    }
}

// Records the WM_COMMAND that reaches a window of this test.
WPARAM lastCommand = 0;

LRESULT CALLBACK RecordCommand(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND)
        lastCommand = wParam;
    return ::DefWindowProcA(window, message, wParam, lParam);
}

BOOL CALLBACK FindAboutBox(HWND window, LPARAM param)
{
    if (WindowClass(window) == "#32770" && WindowText(window) == "バージョン情報") {
        *reinterpret_cast<HWND*>(param) = window;
        return FALSE;
    }
    return TRUE;
}

// Real key strokes through the system's input queue: Alt held, then the key
// that types the character in the current layout (Shift for "?").
void TypeWithAlt(char character)
{
    SHORT scan = ::VkKeyScanA(character);
    std::vector<WORD> down = {VK_MENU};
    if (HIBYTE(scan) & 1)
        down.push_back(VK_SHIFT);
    down.push_back(LOBYTE(scan));
    std::vector<INPUT> inputs;
    for (WORD key : down) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        inputs.push_back(input);
    }
    for (auto key = down.rbegin(); key != down.rend(); ++key) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = *key;
        input.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PressAltF4()
{
    INPUT inputs[4] = {};
    const WORD keys[4] = {VK_MENU, VK_F4, VK_F4, VK_MENU};
    for (int i = 0; i < 4; ++i) {
        inputs[i].type = INPUT_KEYBOARD;
        inputs[i].ki.wVk = keys[i];
        inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
    }
    ::SendInput(4, inputs, sizeof(INPUT));
}

bool BringToFront(HWND window)
{
    ::SetForegroundWindow(window);
    return PumpUntil([&] { return ::GetForegroundWindow() == window; });
}

TEST_F(EditorTest, AltSlashAndAltQuestionMarkOpenTheAboutBox)
{
    const char keys[] = {'/', '?'};

    // The keys are good probes: a window of this test that does translate
    // with the executable's table gets command 104 from each of them.
    ModuleHandle exe(EditorProcess::LoadAsData());
    AcceleratorHandle table(::LoadAcceleratorsA(exe.Get(), MAKEINTRESOURCEA(109)));
    ASSERT_NE(nullptr, table.Get());
    {
        TestProcessWindow recorder("QuorvaneKeyRecorder", RecordCommand, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
        ASSERT_NE(nullptr, recorder.Get());
        ASSERT_TRUE(BringToFront(recorder.Get()));
        for (char key : keys) {
            lastCommand = 0;
            TypeWithAlt(key);
            EXPECT_TRUE(PumpUntil([] { return LOWORD(lastCommand) == 104; }, recorder.Get(), table.Get()))
                << "Alt+" << key << " is not translated even with the table";
        }
    }

    // The editor's loop translates the same table: each key opens the box.
    DWORD thread = ::GetWindowThreadProcessId(main, nullptr);
    for (char key : keys) {
        ASSERT_TRUE(BringToFront(main));
        TypeWithAlt(key);
        HWND about = nullptr;
        EXPECT_TRUE(WaitUntil([&] {
            ::EnumThreadWindows(thread, FindAboutBox, reinterpret_cast<LPARAM>(&about));
            return about != nullptr;
        })) << "Alt+" << key << " did not open the About box";
        if (about == nullptr)
            continue;
        ::PostMessageA(about, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
    }
    // Alt+F4 is no shortcut of the table: it still reaches the exit question.
    ASSERT_TRUE(BringToFront(main));
    PressAltF4();
    HWND box = editor.WaitForOwnedDialog();
    ASSERT_NE(nullptr, box) << "no exit question after Alt+F4";
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(0, editor.ExitCode());
}

} // namespace
