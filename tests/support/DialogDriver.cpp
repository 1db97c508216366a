#include "support/DialogDriver.h"

#include <sstream>

#include "support/WindowText.h"

namespace {

// The driver whose timer runs on this thread.
thread_local DialogDriver* activeDriver = nullptr;

const UINT TickMilliseconds = 50;
// A dialog its answer left open for this many ticks (5 s) with nothing else
// on screen is stuck: it is cancelled so the test can fail.
const int StallTicks = 100;
const int FileNameBoxId = 1148;     // cmb13: the Open/Save file-name box
const int OldFileNameEditId = 1152; // edt1: the same box in old-style dialogs
const int MessageTextId = 65535;    // the text of a message box

bool IsDialogClass(HWND h)
{
    return WindowClass(h) == "#32770";
}

// A dialog of this thread that the user could answer now.
// A dialog whose owner is still enabled is modeless (a progress window): it
// waits for no answer.
bool IsModeless(HWND h)
{
    HWND owner = ::GetWindow(h, GW_OWNER);
    return owner != nullptr && ::IsWindowEnabled(owner);
}

bool IsAnswerable(HWND h)
{
    return h != nullptr && ::IsWindow(h) && ::IsWindowVisible(h) && ::IsWindowEnabled(h) &&
           (::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD) == 0 &&
           ::GetWindowThreadProcessId(h, nullptr) == ::GetCurrentThreadId() && IsDialogClass(h) &&
           !IsModeless(h);
}

BOOL CALLBACK FindAnswerable(HWND h, LPARAM result)
{
    if (!IsAnswerable(h))
        return TRUE;
    *reinterpret_cast<HWND*>(result) = h;
    return FALSE;
}

// The edit box that holds the file name of an Open or Save dialog.
HWND FileNameEdit(HWND dialog)
{
    HWND box = ::GetDlgItem(dialog, FileNameBoxId);
    if (box != nullptr) {
        HWND edit = reinterpret_cast<HWND>(::SendMessageA(box, CBEM_GETEDITCONTROL, 0, 0));
        if (edit == nullptr)
            edit = ::FindWindowExA(box, nullptr, "Edit", nullptr);
        return edit != nullptr ? edit : box;
    }
    return ::GetDlgItem(dialog, OldFileNameEditId);
}

SeenDialog Describe(HWND dialog)
{
    SeenDialog seen;
    seen.caption = WindowText(dialog);
    seen.text = DialogDriver::TextOf(dialog, MessageTextId);
    if (::GetDlgItem(dialog, FileNameBoxId) != nullptr)
        seen.fileName = WindowText(FileNameEdit(dialog));
    return seen;
}

} // namespace

DialogDriver::DialogDriver()
{
    activeDriver = this;
    timer = ::SetTimer(nullptr, 0, TickMilliseconds, Tick);
}

DialogDriver::~DialogDriver()
{
    if (timer != 0)
        ::KillTimer(nullptr, timer);
    if (activeDriver == this)
        activeDriver = nullptr;
}

DialogDriver& DialogDriver::Queue(Answer answer)
{
    answers.push_back(std::move(answer));
    return *this;
}

DialogDriver::Answer DialogDriver::ChooseFile(const std::string& path)
{
    return [path](HWND dialog) {
        HWND box = ::GetDlgItem(dialog, FileNameBoxId);
        if (box == nullptr)
            box = ::GetDlgItem(dialog, OldFileNameEditId);
        ::SetWindowTextA(box, path.c_str());
        PostCommand(dialog, IDOK);
    };
}

DialogDriver::Answer DialogDriver::ChooseFolder(const std::string& folder)
{
    return [folder](HWND dialog) {
        ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        PostCommand(dialog, IDOK);
    };
}

DialogDriver::Answer DialogDriver::Press(int buttonId)
{
    return [buttonId](HWND dialog) { PostCommand(dialog, buttonId); };
}

std::string DialogDriver::TextOf(HWND dialog, int controlId)
{
    return WindowText(::GetDlgItem(dialog, controlId));
}

void DialogDriver::PostCommand(HWND dialog, int id)
{
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, id)));
}

std::string DialogDriver::Report() const
{
    std::ostringstream out;
    for (const std::string& problem : problems)
        out << problem << "\n";
    if (!answers.empty())
        out << answers.size() << " answer(s) never used\n";
    return out.str();
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (activeDriver != nullptr)
        activeDriver->OnTick();
}

HWND DialogDriver::FindOpenDialog() const
{
    HWND active = ::GetActiveWindow();
    if (IsAnswerable(active))
        return active;
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindAnswerable, reinterpret_cast<LPARAM>(&found));
    return found;
}

// An answer runs once per appearance: a dialog answered before gets the next
// answer only after it was closed or covered by another dialog meanwhile.
void DialogDriver::OnTick()
{
    if (busy)
        return;
    busy = true;
    if (lastAnswered != nullptr && !IsAnswerable(lastAnswered))
        lastAnswered = nullptr;
    HWND dialog = FindOpenDialog();
    if (dialog != nullptr && dialog == lastAnswered) {
        if (++ticksOnSameDialog >= StallTicks)
            Dismiss(dialog, "dialog left open by its answer: " + Describe(dialog).caption);
    } else if (dialog != nullptr) {
        SeenDialog description = Describe(dialog);
        if (answers.empty()) {
            Dismiss(dialog, "unexpected dialog: \"" + description.caption + "\" \"" +
                                description.text + "\"");
        } else {
            Answer answer = std::move(answers.front());
            answers.pop_front();
            seen.push_back(description);
            lastAnswered = dialog;
            ticksOnSameDialog = 0;
            answer(dialog);
        }
    }
    busy = false;
}

void DialogDriver::Dismiss(HWND dialog, const std::string& why)
{
    problems.push_back(why);
    lastAnswered = dialog;
    ticksOnSameDialog = 0;
    PostCommand(dialog, IDCANCEL);
}
