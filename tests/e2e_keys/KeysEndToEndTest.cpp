// The real Quorvane.exe driven with real keys and clicks from this separate
// process: typing at start, every shortcut, the tag jump from grep results
// and back, the command line, and the window placement across restarts.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "framework/Win32.h"
#include "res/resource.h"
#include "support/DialogDriver.h"
#include "support/EditorProcess.h"
#include "support/FolderBrowserSelection.h"
#include "support/KeyInput.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

namespace {

using Selection = std::pair<int, int>;

Selection SelectionOf(HWND pane)
{
    auto packed = static_cast<DWORD>(::SendMessageA(pane, EM_GETSEL, 0, 0));
    return {LOWORD(packed), HIWORD(packed)};
}

HWND FocusOf(HWND main)
{
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    ::GetGUIThreadInfo(::GetWindowThreadProcessId(main, nullptr), &info);
    return info.hwndFocus;
}

// A point inside the first character of line (0-based) of a pane.
POINT LinePoint(HWND pane, int line)
{
    LRESULT index = ::SendMessageA(pane, EM_LINEINDEX, static_cast<WPARAM>(line), 0);
    auto packed = static_cast<DWORD>(::SendMessageA(pane, EM_POSFROMCHAR, static_cast<WPARAM>(index), 0));
    return POINT{static_cast<short>(LOWORD(packed)) + 3, static_cast<short>(HIWORD(packed)) + 4};
}

// lines "line 1" ... "line n" with CR LF, and text in place of line k.
std::string NumberedLines(int n, int k, const std::string& text)
{
    std::string lines;
    for (int i = 1; i <= n; ++i)
        lines += (i == k ? text : "line " + std::to_string(i)) + "\r\n";
    return lines;
}

// The start and end of line (1-based) of text, as the pane counts them.
Selection LineRange(const std::string& text, int line)
{
    size_t start = 0;
    for (int i = 1; i < line; ++i)
        start = text.find("\r\n", start) + 2;
    return {static_cast<int>(start), static_cast<int>(text.find("\r\n", start))};
}

class KeysEndToEnd : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.IsReady()); }

    // Starts the editor with arguments and waits until it is up and in front.
    void Start(const std::string& arguments = "", const std::string& settings = "")
    {
        editor = std::make_unique<EditorProcess>(arguments, settings);
        ASSERT_TRUE(editor->Started());
        main = editor->WaitForMainWindow();
        ASSERT_NE(nullptr, main);
        left = editor->Pane(EditorProcess::LeftPaneId);
        right = editor->Pane(EditorProcess::RightPaneId);
        ASSERT_TRUE(BringToFront(main));
    }

    bool CaptionIs(const std::string& path)
    {
        return WaitUntil([&] { return WindowText(main) == path + " - Quorvane"; });
    }

    // Clicks into pane until it has the focus: a click that comes while the
    // window is still being re-enabled after a dialog is lost.
    bool FocusByClick(HWND pane)
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            ClickAt(pane, POINT{5, 5});
            if (WaitUntil([&] { return FocusOf(main) == pane; }, 3000))
                return true;
        }
        return false;
    }

    // Answers the owned dialog that the keys open with button.
    HWND Answer(int button, HWND skip = nullptr)
    {
        HWND dialog = editor->WaitForOwnedDialog(skip);
        if (dialog != nullptr)
            DialogDriver::PostCommand(dialog, button);
        return dialog;
    }

    TempFolder folder;
    std::unique_ptr<EditorProcess> editor;
    HWND main = nullptr;
    HWND left = nullptr;
    HWND right = nullptr;
};

TEST_F(KeysEndToEnd, TypingRightAfterStartReachesTheDocument)
{
    Start();
    EXPECT_TRUE(WaitUntil([&] { return FocusOf(main) == left; }));
    TypeText("abc");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(left) == "abc"; })) << WindowText(left);
}

// Each shortcut, from the pane that has the focus, opens its dialog (Alt+/
// and Alt+? are the start test's).
TEST_F(KeysEndToEnd, ShortcutsOpenTheirDialogsFromEitherPane)
{
    const struct {
        std::initializer_list<WORD> keys;
        bool fromRight;
        const char* caption; // nullptr: a file dialog (it has the file-name box)
        bool folderBrowser;
    } rows[] = {
        {{VK_CONTROL, 'O'}, false, nullptr, false},
        {{VK_CONTROL, 'S'}, true, nullptr, false}, // untitled: Save As
        {{VK_CONTROL, VK_SHIFT, 'S'}, false, nullptr, false},
        {{VK_CONTROL, 'F'}, true, "検索", false},
        {{VK_F3}, false, "検索", false}, // nothing searched yet
        {{VK_CONTROL, 'G'}, true, nullptr, true},
        {{VK_CONTROL, 'J'}, true, "指定行へジャンプ", false},
    };
    Start();
    ::SendMessageA(right, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("right"));
    int row = 0;
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "shortcut row " << row++);
        ASSERT_TRUE(BringToFront(main));
        ASSERT_TRUE(FocusByClick(r.fromRight ? right : left));
        PressChord(r.keys);
        HWND dialog = editor->WaitForOwnedDialog();
        ASSERT_NE(nullptr, dialog);
        if (r.caption != nullptr)
            EXPECT_TRUE(WaitUntil([&] { return WindowText(dialog) == r.caption; })) << WindowText(dialog);
        else if (r.folderBrowser)
            EXPECT_NE(nullptr, ::FindWindowExA(dialog, nullptr, "SysTreeView32", nullptr));
        else
            EXPECT_NE(nullptr, ::GetDlgItem(dialog, 1148)) << WindowText(dialog);
        DialogDriver::PostCommand(dialog, IDCANCEL);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    }
}

TEST_F(KeysEndToEnd, SearchGoToLineSelectAllAndSaveByKey)
{
    const std::string text = "abc abc abc\r\nline2\r\nline3\r\n";
    std::string path = folder.Write("doc.txt", text);
    Start("\"" + path + "\"");
    ASSERT_TRUE(CaptionIs(path));

    PressChord({VK_CONTROL, 'F'});
    HWND search = editor->WaitForOwnedDialog();
    ASSERT_NE(nullptr, search);
    ::SendMessageA(::GetDlgItem(search, IDC_SEARCH_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("abc"));
    DialogDriver::PostCommand(search, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(search) && FocusOf(main) == left; }))
        << "the document has the focus after the search dialog";

    const struct {
        std::initializer_list<WORD> keys;
        Selection expected;
    } steps[] = {
        {{VK_F3}, {4, 7}},
        {{VK_F3}, {8, 11}},
        {{VK_SHIFT, VK_F3}, {4, 7}},
        {{VK_CONTROL, 'A'}, {0, static_cast<int>(text.size())}},
    };
    EXPECT_EQ(Selection(0, 3), SelectionOf(left));
    for (const auto& step : steps) {
        PressChord(step.keys);
        EXPECT_TRUE(WaitUntil([&] { return SelectionOf(left) == step.expected; }))
            << "wanted " << step.expected.first << "-" << step.expected.second << ", got "
            << SelectionOf(left).first << "-" << SelectionOf(left).second;
    }

    const struct {
        const char* typed;
        int line;
    } jumps[] = {{"3", 3}, {"99", 4}, {"0", 1}};
    for (const auto& jump : jumps) {
        PressChord({VK_CONTROL, 'J'});
        HWND dialog = editor->WaitForOwnedDialog();
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("(1-4)", WindowText(::GetDlgItem(dialog, IDC_GO_TO_LINE_RANGE)));
        TypeText(jump.typed);
        ASSERT_TRUE(WaitUntil([&] { return WindowText(::GetDlgItem(dialog, IDC_GO_TO_LINE_NUMBER)) == jump.typed; }));
        PressChord({VK_RETURN});
        int start = jump.line == 4 ? static_cast<int>(text.size()) : LineRange(text, jump.line).first;
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog) && SelectionOf(left) == Selection(start, start); }))
            << "line " << jump.typed << " got " << SelectionOf(left).first;
    }

    TypeText("x");
    ASSERT_TRUE(WaitUntil([&] { return WindowText(main).find("（更新）") != std::string::npos; }));
    PressChord({VK_CONTROL, 'S'});
    ASSERT_TRUE(CaptionIs(path)) << "Ctrl+S saved the named document";
    std::string saved;
    EXPECT_TRUE(TempFolder::ReadBytes(path, saved));
    EXPECT_EQ("x" + text, saved);
}

TEST_F(KeysEndToEnd, TagJumpFromGrepResultsAndBack)
{
    std::string nearPath = folder.Write("a.txt", "alpha\r\nneedle near\r\n");
    const std::string farText = NumberedLines(200, 150, "needle far");
    std::string farPath = folder.Write("far.txt", farText);
    Start("\"" + nearPath + "\"");
    ASSERT_TRUE(CaptionIs(nearPath));

    ::PostMessageA(main, WM_COMMAND, IDM_GREP, 0);
    HWND browser = editor->WaitForOwnedDialog();
    ASSERT_NE(nullptr, browser);
    ASSERT_TRUE(SelectFolderInBrowser(browser, folder.Path(), editor->Process()));
    DialogDriver::PostCommand(browser, IDOK);
    HWND grep = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        grep = editor->OwnedDialog(browser);
        return !::IsWindow(browser) && grep != nullptr && ::GetDlgItem(grep, IDC_SEARCH_TEXT) != nullptr;
    }));
    ::SendMessageA(::GetDlgItem(grep, IDC_SEARCH_TEXT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("needle"));
    DialogDriver::PostCommand(grep, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return WindowText(right).find("far.txt") != std::string::npos; }));
    std::string results = WindowText(right);
    int farLine = results.find("far.txt") < results.find("a.txt") ? 0 : 1;

    const Selection farSelection = LineRange(farText, 150);
    auto landedOnFar = [&] {
        return CaptionIs(farPath) && WaitUntil([&] {
                   return SelectionOf(left) == farSelection && FocusOf(main) == left &&
                          ::SendMessageA(left, EM_GETFIRSTVISIBLELINE, 0, 0) > 0;
               });
    };
    auto state = [&] {
        return WindowText(main) + " selection " + std::to_string(SelectionOf(left).first) + "-" +
               std::to_string(SelectionOf(left).second) + (FocusOf(main) == left ? " focus left" : " focus elsewhere");
    };
    // The click must have put the caret on the result line before F12 reads
    // it: a loaded machine can lose a click sent while the window comes to
    // the front.
    auto caretOnFarLine = [&] {
        for (int attempt = 0; attempt < 3; ++attempt) {
            BringToFront(main);
            ClickAt(right, LinePoint(right, farLine));
            auto caretLine = [&] { return ::SendMessageA(right, EM_LINEFROMCHAR, static_cast<WPARAM>(-1), 0); };
            if (WaitUntil([&] { return FocusOf(main) == right && caretLine() == farLine; }, 5000))
                return true;
        }
        return false;
    };
    ASSERT_TRUE(BringToFront(main));
    ASSERT_TRUE(caretOnFarLine());
    PressChord({VK_F12});
    EXPECT_TRUE(landedOnFar()) << "F12: " << state();
    PressChord({VK_SHIFT, VK_F12});
    EXPECT_TRUE(CaptionIs(nearPath)) << "Shift+F12";
    EXPECT_TRUE(WaitUntil([&] { return SelectionOf(left) == Selection(0, 0); }));
    // A loaded machine can deliver the two synthesized clicks further apart
    // than the double-click time; a pane that never jumps fails every try.
    auto doubleClickJumps = [&] {
        for (int attempt = 0; attempt < 3; ++attempt) {
            ClickAt(right, LinePoint(right, farLine), 2);
            if (WaitUntil([&] { return WindowText(main) == farPath + " - Quorvane"; }, 5000))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(doubleClickJumps() && landedOnFar()) << "double click: " << state();
    PressChord({VK_SHIFT, VK_F12});
    ASSERT_TRUE(CaptionIs(nearPath));

    // A modified document: Cancel stays, No leaves it unsaved, Yes saves it
    // (Save As, as for 開く) before the jump back.
    // On a loaded machine a click and the keys after it can reach the window
    // before it is in front again; a pane that never takes typing fails
    // every try.
    auto typeIntoLeft = [&](const std::string& typed) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            BringToFront(main);
            ClickAt(left, POINT{3, 4});
            if (!WaitUntil([&] { return FocusOf(main) == left; }, 5000))
                continue; // typing would go to the result pane and spoil the line to jump from
            TypeText(typed);
            if (WaitUntil([&] { return WindowText(main).find("（更新）") != std::string::npos; }, 5000))
                return true;
        }
        return false;
    };
    // F12 on the result line, tried again when a loaded machine lost the key.
    auto jumpAsks = [&](int button) -> HWND {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!caretOnFarLine())
                continue;
            PressChord({VK_F12});
            HWND asked = nullptr;
            if (WaitUntil([&] { return (asked = editor->OwnedDialog()) != nullptr; }, 5000)) {
                DialogDriver::PostCommand(asked, button);
                return asked;
            }
        }
        return nullptr;
    };
    ASSERT_TRUE(typeIntoLeft("x"));
    HWND question = jumpAsks(IDCANCEL);
    ASSERT_NE(nullptr, question);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(question); }));
    EXPECT_EQ(nearPath + " - Quorvane（更新）", WindowText(main));
    ASSERT_NE(nullptr, jumpAsks(IDNO));
    EXPECT_TRUE(landedOnFar()) << "after No: " << state();
    std::string bytes;
    EXPECT_TRUE(TempFolder::ReadBytes(nearPath, bytes));
    EXPECT_EQ("alpha\r\nneedle near\r\n", bytes) << "No leaves the file as it was";

    ASSERT_TRUE(typeIntoLeft("y"));
    const std::string edited = WindowText(left);
    PressChord({VK_SHIFT, VK_F12});
    question = Answer(IDYES);
    ASSERT_NE(nullptr, question);
    HWND saveAs = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        saveAs = editor->OwnedDialog(question);
        return !::IsWindow(question) && saveAs != nullptr && ::GetDlgItem(saveAs, 1148) != nullptr;
    }));
    std::string copy = folder / "far copy.txt";
    ::SendMessageA(::GetDlgItem(saveAs, 1148), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(copy.c_str()));
    DialogDriver::PostCommand(saveAs, IDOK);
    EXPECT_TRUE(CaptionIs(nearPath)) << "after Yes";
    EXPECT_TRUE(TempFolder::ReadBytes(copy, bytes));
    EXPECT_EQ(edited, bytes);
}

TEST_F(KeysEndToEnd, CommandLineOpensAndJumps)
{
    const std::string text = NumberedLines(5, 0, "");
    std::string path = folder.Write("with space.txt", text);
    const struct {
        std::string arguments;
        int line; // 0: only opened
    } rows[] = {
        {"\"" + path + "\"", 0},
        {path, 0},
        {"\"" + path + ":3\"", 3},
        {"\"" + path + "\"(4)", 4},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments);
        Start(row.arguments);
        EXPECT_TRUE(CaptionIs(path));
        Selection want = row.line == 0 ? Selection(0, 0) : LineRange(text, row.line);
        EXPECT_TRUE(WaitUntil([&] { return SelectionOf(left) == want; }));
        EXPECT_EQ(text, WindowText(left));
        EXPECT_EQ(0, editor->CloseThroughExitQuestion());
    }

    // Several files dropped on the program's icon: the first opens, the rest are counted.
    std::string other = folder.Write("other.txt", "x");
    Start("\"" + path + "\" " + other + " \"" + other + "\"");
    HWND notice = editor->WaitForOwnedDialog();
    ASSERT_NE(nullptr, notice);
    EXPECT_EQ("指定されたファイルのうち最初の 1 つだけを開きました。\nほかの 2 個は開いていません。",
              DialogDriver::TextOf(notice, 65535));
    DialogDriver::PostCommand(notice, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(notice); })); // else the exit question is taken for it
    EXPECT_TRUE(CaptionIs(path));
    EXPECT_EQ(0, editor->CloseThroughExitQuestion());

    Start("\"" + (folder / "missing.txt") + "\"");
    HWND error = editor->WaitForOwnedDialog();
    ASSERT_NE(nullptr, error);
    EXPECT_EQ("ファイルを開けませんでした", DialogDriver::TextOf(error, 65535));
    DialogDriver::PostCommand(error, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return WindowText(main) == "無題 - Quorvane"; }));
}

TEST_F(KeysEndToEnd, PlacementIsRestoredAndKeptOnScreen)
{
    const std::string settings = folder.MakeFolder("settings");
    Start("", settings);
    ::SetWindowPos(main, nullptr, 100, 60, 500, 400, SWP_NOZORDER);
    ASSERT_EQ(0, editor->CloseThroughExitQuestion());
    Start("", settings);
    RECT r = {};
    // The window shows centred first; the placement follows at once.
    EXPECT_TRUE(WaitUntil([&] {
        ::GetWindowRect(main, &r);
        return r.left == 100 && r.top == 60 && r.right == 600 && r.bottom == 460;
    }))
        << r.left << "," << r.top << "-" << r.right << "," << r.bottom;

    ::ShowWindow(main, SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsZoomed(main) != FALSE; }));
    ASSERT_EQ(0, editor->CloseThroughExitQuestion());
    Start("", settings);
    EXPECT_TRUE(WaitUntil([&] { return ::IsZoomed(main) != FALSE; })) << "maximised again";
    ASSERT_EQ(0, editor->CloseThroughExitQuestion());

    // A monitor that is gone: the window comes back whole on the screen.
    folder.Write("settings\\Quorvane\\Quorvane.ini",
                 "[Window]\r\nLeft=3000\r\nTop=2000\r\nRight=3500\r\nBottom=2400\r\nMaximized=0\r\n");
    Start("", settings);
    EXPECT_TRUE(WaitUntil([&] {
        ::GetWindowRect(main, &r);
        return r.left >= 0 && r.top >= 0 && r.right <= ::GetSystemMetrics(SM_CXSCREEN) &&
               r.bottom <= ::GetSystemMetrics(SM_CYSCREEN) && r.right - r.left == 500;
    }))
        << r.left << "," << r.top << "-" << r.right << "," << r.bottom;
}

} // namespace
