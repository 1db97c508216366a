// What the system and the user's other programs do to the main window: the
// end of a session asks the exit question, re-activation gives the focus back
// to a pane, a command that runs out of memory stops and leaves the document
// as it was, and any number of dialog runs leaves the window tables as they
// were.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "app/TestWindow.h"
#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/WindowTables.h"
#include "res/resource.h"
#include "support/BareApplication.h"
#include "support/DialogDriver.h"
#include "support/TempFolder.h"

namespace {

// The main window; failingMessage makes the next message of that kind run
// out of memory at its entry, before the command does anything.
class ProbeWindow : public TestWindow {
public:
    using TestWindow::grepDialog;
    using TestWindow::leftPane;
    using TestWindow::modified;
    using TestWindow::rightPane;
    using TestWindow::searchDialog;

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == failingMessage) {
            failingMessage = 0;
            throw std::bad_alloc();
        }
        return TestWindow::HandleMessage(h, message, wParam, lParam);
    }

    UINT failingMessage = 0;
};

class SystemMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(1, window.Create(nullptr, 0, 0, 640, 480));
        main = window.GetHandle();
    }
    void TearDown() override
    {
        if (::IsWindow(main))
            ::DestroyWindow(main);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    // A modified document with text in both panes.
    void Edit()
    {
        window.leftPane.SetText("左の文書");
        window.rightPane.SetText("右の結果");
        window.modified = 1;
    }
    void ExpectDocumentKept(const std::string& label)
    {
        EXPECT_TRUE(::IsWindow(main)) << label;
        EXPECT_EQ("左の文書", window.leftPane.GetText()) << label;
        EXPECT_EQ("右の結果", window.rightPane.GetText()) << label;
        EXPECT_EQ(1, window.modified) << label;
    }

    BareApplication app;
    ProbeWindow window;
    HWND main = nullptr;
};

TEST_F(SystemMessages, EndOfSessionAsksTheExitQuestion)
{
    TempFolder folder;
    ASSERT_TRUE(folder.IsReady());
    const std::string saved = folder / "saved.txt";
    struct Case {
        const char* label;
        int modified;
        std::vector<DialogDriver::Answer> answers;
        LRESULT mayEnd;
        bool halfReplaced = false; // a large すべて置換 putting its pieces in
    } cases[] = {
        {"half replaced: refused unasked", 1, {}, FALSE, true},
        {"unmodified: no question", 0, {}, TRUE},
        {"No discards", 1, {DialogDriver::Press(IDNO)}, TRUE},
        {"Cancel refuses", 1, {DialogDriver::Press(IDCANCEL)}, FALSE},
        {"Yes, Save As cancelled", 1, {DialogDriver::Press(IDYES), DialogDriver::Press(IDCANCEL)}, FALSE},
        {"Yes, saved", 1, {DialogDriver::Press(IDYES), DialogDriver::ChooseFile(saved)}, TRUE},
    };
    for (const Case& c : cases) {
        Edit();
        window.modified = c.modified;
        window.leftPane.SetReadOnly(c.halfReplaced);
        DialogDriver driver;
        for (const DialogDriver::Answer& answer : c.answers)
            driver.Queue(answer);
        LRESULT result = ::SendMessageA(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
        EXPECT_EQ(c.mayEnd, result) << c.label;
        EXPECT_TRUE(driver.Finished()) << c.label << driver.Report();
        if (!driver.Seen().empty()) {
            EXPECT_EQ("保存の確認", driver.Seen()[0].caption) << c.label;
        }
        EXPECT_TRUE(::IsWindow(main)) << c.label << ": the session ends the process, not the window";
        EXPECT_EQ("左の文書", window.leftPane.GetText()) << c.label;
        window.leftPane.SetReadOnly(false);
    }
    std::string bytes;
    ASSERT_TRUE(TempFolder::ReadBytes(saved, bytes));
    EXPECT_EQ("左の文書", bytes);
    EXPECT_EQ(0, window.modified);
}

// Another program, a message box or a dialog takes the activation; when the
// main window gets it back, typing goes to the pane that had the focus.
TEST_F(SystemMessages, ActivationGivesTheFocusBackToThePane)
{
    auto otherWindow = [] {
        HWND other = ::CreateWindowExA(0, "Static", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                       nullptr, nullptr, nullptr, nullptr);
        ::SetActiveWindow(other);
        ::DestroyWindow(other);
    };
    HWND& mainWindow = main;
    auto aboutBox = [&mainWindow] {
        DialogDriver driver;
        driver.Queue(DialogDriver::Press(IDOK));
        ::SendMessageA(mainWindow, WM_COMMAND, IDM_ABOUT, 0);
    };
    HWND left = window.leftPane.GetHandle();
    HWND right = window.rightPane.GetHandle();
    struct Case {
        const char* label;
        HWND focusBefore;
        std::function<void()> deactivate;
        HWND focusAfter;
    } cases[] = {
        {"frame focused: the left pane", main, otherWindow, left},
        {"right pane, other window", right, otherWindow, right},
        {"left pane, other window", left, otherWindow, left},
        {"right pane, About box", right, aboutBox, right},
    };
    for (const Case& c : cases) {
        ::SetActiveWindow(main);
        ::SetFocus(c.focusBefore);
        ASSERT_EQ(c.focusBefore, ::GetFocus()) << c.label;
        c.deactivate();
        ::SetActiveWindow(main);
        EXPECT_EQ(main, ::GetActiveWindow()) << c.label;
        EXPECT_EQ(c.focusAfter, ::GetFocus()) << c.label;
    }
}

// The command fails at once: the user is told, the window and both panes
// stay as they were, and the next command works.
TEST_F(SystemMessages, OutOfMemoryAtACommandLeavesTheDocument)
{
    struct Case {
        const char* label;
        UINT message;
        WPARAM wParam;
    } cases[] = {
        {"swap", WM_COMMAND, IDM_SWAP_TEXT},
        {"save", WM_COMMAND, IDM_SAVE},
        {"close", WM_CLOSE, 0},
        {"end of session", WM_QUERYENDSESSION, 0},
    };
    for (const Case& c : cases) {
        Edit();
        window.failingMessage = c.message;
        DialogDriver driver;
        driver.Queue(DialogDriver::Press(IDOK));
        EXPECT_EQ(0, ::SendMessageA(main, c.message, c.wParam, 0)) << c.label;
        EXPECT_TRUE(driver.Finished()) << c.label << driver.Report();
        ASSERT_EQ(1u, driver.Seen().size()) << c.label;
        EXPECT_EQ("メモリが足りません", driver.Seen()[0].text) << c.label;
        ExpectDocumentKept(c.label);
    }
    ::SendMessageA(main, WM_COMMAND, IDM_SWAP_TEXT, 0);
    EXPECT_EQ("右の結果", window.leftPane.GetText());
}

// The dialogs' controls are system windows the framework finds by id: the
// objects and entries it makes for them must go with each dialog.
TEST_F(SystemMessages, DialogRunsLeaveTheTablesAsTheyWere)
{
    auto sizes = [] {
        return std::vector<size_t>{windowTable.size(), controlTable.size(), dialogTable.size(),
                                   FrameworkOwnedWindowCount()};
    };
    const std::vector<size_t> before = sizes();
    for (Dialog* dialog : {static_cast<Dialog*>(&window.searchDialog),
                           static_cast<Dialog*>(&window.grepDialog)}) {
        DialogDriver driver;
        for (int run = 0; run < 50; ++run)
            driver.Queue(DialogDriver::Press(IDCANCEL));
        for (int run = 0; run < 50; ++run)
            EXPECT_EQ(IDCANCEL, dialog->RunModal(&window));
        EXPECT_TRUE(driver.Finished()) << driver.Report();
        ASSERT_EQ(50u, driver.Seen().size());
        EXPECT_EQ(before, sizes()) << "after 50 runs of " << driver.Seen()[0].caption;
    }
}

} // namespace
