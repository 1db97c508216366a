// Dialog: binding before WM_INITDIALOG, the end codes of OK and Cancel in
// their every form, modeless runs, and a failed run leaving nothing behind.
#include <gtest/gtest.h>

#include <new>

#include "framework/Application.h"
#include "framework/Dialog.h"
#include "framework/WindowTables.h"
#include "support/DialogDriver.h"

namespace {

constexpr int ProbeTemplate = 200;
constexpr int MissingTemplate = 201;
constexpr int ProbeEdit = 300;

// How a modal run is ended once it is up; posted from WM_INITDIALOG so that
// the dialog manager's own loop delivers it.
enum class Ending { Ok, OkNotification, CancelButton, Escape, CloseBox };

class ProbeDialog : public Dialog {
public:
    explicit ProbeDialog(int id = ProbeTemplate) { templateId = id; }

    LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_INITDIALOG) {
            ++initCount;
            initHandle = h;
            auto entry = dialogTable.find(h);
            boundAtInit = hwnd == h && entry != dialogTable.end() && entry->second == this;
            itemAtInit = GetDlgItem(ProbeEdit) != nullptr;
            if (modalEnding)
                End(h, *modalEnding);
            return 1;
        }
        return Dialog::HandleMessage(h, message, wParam, lParam);
    }

    int OnIdCancel() override
    {
        ++cancelCount;
        return Dialog::OnIdCancel();
    }

    int EndCode() const { return endCode; }

    const Ending* modalEnding = nullptr;
    int initCount = 0;
    int cancelCount = 0;
    HWND initHandle = nullptr;
    bool boundAtInit = false;
    bool itemAtInit = false;

private:
    static void End(HWND h, Ending ending)
    {
        switch (ending) {
        case Ending::Ok:
            ::PostMessageA(h, WM_COMMAND, IDOK, 0);
            break;
        case Ending::OkNotification: // any notification from control 1 counts
            ::PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_SETFOCUS), 0);
            break;
        case Ending::CancelButton:
            ::PostMessageA(::GetDlgItem(h, IDCANCEL), BM_CLICK, 0, 0);
            break;
        case Ending::Escape:
            ::PostMessageA(h, WM_KEYDOWN, VK_ESCAPE, 0);
            break;
        case Ending::CloseBox:
            ::PostMessageA(h, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        }
    }
};

// A plain top-level window, to see which object a new window gets bound to.
class ProbeWindow : public Window {
public:
    ProbeWindow() { className = "DialogTestProbeWindow"; }
};

int RunEndedBy(ProbeDialog& dialog, Ending ending)
{
    dialog.modalEnding = &ending;
    int code = dialog.RunModal(nullptr);
    dialog.modalEnding = nullptr;
    return code;
}

// After a failed run the next window made on the thread must be bound to its
// own object, not to the dialog.
void ExpectNextWindowBindsToItself(const ProbeDialog& dialog, HWND dialogHandleBefore)
{
    ProbeWindow window;
    ASSERT_EQ(1, window.Create(nullptr, 0, 0, 100, 100));
    auto entry = windowTable.find(window.GetHandle());
    ASSERT_NE(windowTable.end(), entry);
    EXPECT_EQ(&window, entry->second);
    EXPECT_EQ(0u, dialogTable.count(window.GetHandle()));
    EXPECT_EQ(dialogHandleBefore, dialog.GetHandle());
    window.DestroyWindow();
}

} // namespace

TEST(Dialog, EndCodesOfOkAndCancelInEveryForm)
{
    struct Case {
        const char* name;
        Ending ending;
        int code;
    } cases[] = {
        {"OK", Ending::Ok, 1},
        {"notification from control 1", Ending::OkNotification, 1},
        {"Cancel button", Ending::CancelButton, 2},
        {"Esc", Ending::Escape, 2},
        {"close box", Ending::CloseBox, 2},
    };
    for (const Case& c : cases) {
        ProbeDialog dialog;
        EXPECT_EQ(c.code, RunEndedBy(dialog, c.ending)) << c.name;
        EXPECT_EQ(1, dialog.initCount) << c.name;
        EXPECT_FALSE(::IsWindow(dialog.initHandle)) << c.name;
        EXPECT_EQ(0u, dialogTable.count(dialog.initHandle)) << c.name;
    }
}

TEST(Dialog, DerivedCancelSeesTheCloseBoxAndEsc)
{
    ProbeDialog dialog;
    RunEndedBy(dialog, Ending::CloseBox);
    EXPECT_EQ(1, dialog.cancelCount);
    RunEndedBy(dialog, Ending::Escape);
    EXPECT_EQ(2, dialog.cancelCount);
    RunEndedBy(dialog, Ending::Ok);
    EXPECT_EQ(2, dialog.cancelCount);
}

TEST(Dialog, EachRunIsBoundBeforeInitDialogWithAFreshEntry)
{
    ProbeDialog dialog;
    ASSERT_EQ(1, RunEndedBy(dialog, Ending::Ok));
    HWND first = dialog.initHandle;
    EXPECT_TRUE(dialog.boundAtInit);
    EXPECT_TRUE(dialog.itemAtInit);

    ASSERT_EQ(1, RunEndedBy(dialog, Ending::Ok));
    EXPECT_EQ(2, dialog.initCount);
    EXPECT_TRUE(dialog.boundAtInit) << "second run";
    EXPECT_TRUE(dialog.itemAtInit) << "second run";
    EXPECT_EQ(0u, dialogTable.count(first));
    EXPECT_EQ(0u, dialogTable.count(dialog.initHandle));
}

TEST(Dialog, NoTemplateShowsNothing)
{
    ProbeDialog dialog(0);
    EXPECT_EQ(0, dialog.RunModal(nullptr));
    EXPECT_EQ(0, dialog.CreateModeless(nullptr));
    EXPECT_EQ(0, dialog.initCount);
    ExpectNextWindowBindsToItself(dialog, nullptr);
}

TEST(Dialog, MissingTemplateFailsAndLeavesNoPendingBinding)
{
    ProbeDialog dialog(MissingTemplate);
    EXPECT_EQ(-1, dialog.RunModal(nullptr));
    ExpectNextWindowBindsToItself(dialog, nullptr);
    EXPECT_EQ(0, dialog.CreateModeless(nullptr));
    ExpectNextWindowBindsToItself(dialog, nullptr);
    EXPECT_EQ(0, dialog.initCount);
}

TEST(Dialog, ModelessRunEndsWithDestroyWindow)
{
    struct Case {
        const char* name;
        WPARAM command;
        int endCode;
    } cases[] = {{"OK", IDOK, 1}, {"Cancel", IDCANCEL, 2}};
    for (const Case& c : cases) {
        ProbeDialog dialog;
        ASSERT_EQ(1, dialog.CreateModeless(nullptr)) << c.name;
        HWND h = dialog.GetHandle();
        EXPECT_TRUE(dialog.boundAtInit) << c.name;
        ASSERT_TRUE(::IsWindow(h)) << c.name;
        ::SendMessageA(h, WM_COMMAND, c.command, 0);
        EXPECT_FALSE(::IsWindow(h)) << c.name;
        EXPECT_EQ(c.endCode, dialog.EndCode()) << c.name;
        EXPECT_EQ(0u, dialogTable.count(h)) << c.name;
    }
}

TEST(Dialog, ModelessRunAfterAModalOneStillEndsWithDestroyWindow)
{
    ProbeDialog dialog;
    ASSERT_EQ(1, RunEndedBy(dialog, Ending::Ok));
    ASSERT_EQ(1, dialog.CreateModeless(nullptr));
    HWND h = dialog.GetHandle();
    ::SendMessageA(h, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(1, dialog.EndCode());
}

TEST(Dialog, DestroyedObjectLeavesNoEntry)
{
    HWND h = nullptr;
    {
        ProbeDialog dialog;
        ASSERT_EQ(1, dialog.CreateModeless(nullptr));
        h = dialog.GetHandle();
    }
    EXPECT_EQ(0u, dialogTable.count(h));
    ::DestroyWindow(h);
}

namespace {

class OutOfMemoryOnOk : public ProbeDialog {
public:
    int OnIdOk() override { throw std::bad_alloc(); }
};

} // namespace

// A dialog command that runs out of memory stops there, inside the dialog
// procedure: the user is told and the dialog stays up and usable.
TEST(Dialog, OutOfMemoryInACommandIsToldAndTheDialogStays)
{
    OutOfMemoryOnOk dialog;
    DialogDriver driver;
    driver.Queue(DialogDriver::Press(IDOK))
        .Queue(DialogDriver::Press(IDOK))
        .Queue(DialogDriver::Press(IDCANCEL));
    EXPECT_EQ(IDCANCEL, dialog.RunModal(nullptr));
    EXPECT_TRUE(driver.Finished()) << driver.Report();
    ASSERT_EQ(3u, driver.Seen().size());
    EXPECT_EQ("メモリが足りません", driver.Seen()[1].text);
}

namespace {

class LoopApplication : public Application {
public:
    int OnInit() override { return 1; }
    int OnExit() override { return 0; }
};
} // namespace

// Esc posted to a modeless dialog's edit box means Cancel only when the
// application's loop hands it to the dialog manager.
TEST(Dialog, ModelessDialogKeysPassThroughTheApplicationLoop)
{
    LoopApplication app;
    ProbeDialog dialog;
    ASSERT_EQ(1, dialog.CreateModeless(nullptr));
    HWND h = dialog.GetHandle();
    app.AddModelessDialog(h);
    ::PostMessageA(::GetDlgItem(h, ProbeEdit), WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostQuitMessage(0); // taken once the queue is empty
    EXPECT_EQ(0, app.MessageLoop());
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(2, dialog.EndCode());
    app.RemoveModelessDialog(h);
}
