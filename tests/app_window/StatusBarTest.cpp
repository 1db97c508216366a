// The status bar of the real main window over files of every encoding: the
// caret's line and column (a double-byte character is one column, a tab goes
// to its stop), the selection in characters, the encoding and line-end names,
// and the typing mode that Insert toggles.
#include <gtest/gtest.h>

#include <string>

#include "app/TestWindow.h"
#include "app/settings/UserSettings.h"
#include "support/BareApplication.h"
#include "support/TempFolder.h"

namespace {

class StatusBarProbe : public TestWindow {
public:
    using TestWindow::leftPane;
    using TestWindow::OpenDocumentFile;
    using TestWindow::statusBar;
    using TestWindow::UpdateStatus;
};

// The parts after the note: position, selection, encoding, line ends, mode.
std::string Parts(HWND bar)
{
    std::string shown;
    for (int part = 1; part <= 5; ++part) {
        char text[128] = {};
        ::SendMessageA(bar, SB_GETTEXTA, part, reinterpret_cast<LPARAM>(text));
        shown += std::string(part > 1 ? "|" : "") + text;
    }
    return shown;
}

void Repaint(HWND pane)
{
    ::InvalidateRect(pane, nullptr, TRUE);
    ::UpdateWindow(pane); // Scintilla tells of the caret as it paints
}

} // namespace

// The real main window, its status bar and its settings in a folder of
// their own.
class StatusBarWindow : public testing::Test {
protected:
    void SetUp() override
    {
        UserSettings::Get().SetPath(folder / "settings.ini");
        ASSERT_EQ(1, window.Create(nullptr, 0, 0, 640, 480));
        bar = ::GetDlgItem(window.GetHandle(), 1210);
    }
    void TearDown() override { window.DestroyWindow(); }

    TempFolder folder;
    BareApplication app;
    StatusBarProbe window;
    HWND bar = nullptr;
};

TEST_F(StatusBarWindow, DescribesTheCaretAndTheFile)
{
    const struct { const char* name; std::string bytes; size_t anchor, caret; const char* shown; } cases[] = {
        {"code page 932", "日本語abc\r\nx", 6, 6, "1 行, 4 列||SJIS|CRLF|挿入"},
        {"double-byte selection", "日本語abc\r\nx", 0, 6, "1 行, 4 列|3 文字選択|SJIS|CRLF|挿入"},
        {"tab to its stop", "a\tb\nc\n", 2, 2, "1 行, 9 列||SJIS|LF|挿入"},
        {"UTF-8 second line", u8"日本\n語x\n", 10, 10, "2 行, 2 列||UTF-8|LF|挿入"},
        {"UTF-8 mark, CR", "\xEF\xBB\xBF" "a\rb", 3, 3, "2 行, 2 列||UTF-8 BOM|CR|挿入"},
        {"UTF-16LE, mixed", std::string("\xFF\xFEx\0\r\0\n\0y\0\n\0", 12), 0, 0, "1 行, 1 列||UTF-16LE|混在|挿入"},
        {"UTF-16BE, none yet", std::string("\xFE\xFF\0z", 4), 1, 1, "1 行, 2 列||UTF-16BE|CRLF|挿入"},
        {"EUC-JP", "\xC6\xFC\xCB\xDC\xB8\xEC\r\n", 2, 2, "1 行, 2 列||EUC-JP|CRLF|挿入"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(1, window.OpenDocumentFile(folder.Write("status.txt", c.bytes)));
        window.leftPane.SetSelection(c.anchor, c.caret);
        Repaint(window.leftPane.GetHandle());
        EXPECT_EQ(c.shown, Parts(bar));
    }
    ::SendMessageA(window.leftPane.GetHandle(), WM_KEYDOWN, VK_INSERT, 0);
    Repaint(window.leftPane.GetHandle());
    EXPECT_EQ("1 行, 2 列||EUC-JP|CRLF|上書", Parts(bar));
}

// Over megabytes a count comes a stretch per update, whole once the window is
// idle; an end moved a little is counted at once.
TEST_F(StatusBarWindow, CountsLongLinesAndSelectionsInStretches)
{
    std::string line;
    for (int i = 0; i < 600000; ++i)
        line += "a\t日本"; // four characters, eight columns
    const std::string text = line + "\r\nx";
    window.leftPane.SetBytes(text);
    const struct { size_t anchor, caret; bool later; const char* shown; } cases[] = {
        {line.size(), line.size(), true, "1 行, 4800003 列||SJIS|CRLF|挿入"},
        {0, text.size(), true, "2 行, 2 列|2400003 文字選択|SJIS|CRLF|挿入"},
        {0, text.size() - 1, false, "2 行, 1 列|2400002 文字選択|SJIS|CRLF|挿入"},
        {0, line.size() - 4, true, "1 行, 4800001 列|2399998 文字選択|SJIS|CRLF|挿入"},
        {0, line.size() - 2, false, "1 行, 4800002 列|2399999 文字選択|SJIS|CRLF|挿入"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        window.leftPane.SetSelection(c.anchor, c.caret);
        Repaint(window.leftPane.GetHandle());
        EXPECT_EQ(c.later, Parts(bar).find("…") != std::string::npos);
        for (int update = 0; update < 100 && window.statusBar.Counting(); ++update)
            window.UpdateStatus();
        EXPECT_EQ(c.shown, Parts(bar));
    }
}
