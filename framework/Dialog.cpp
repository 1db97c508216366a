#include "framework/Dialog.h"

#include "framework/Application.h"
#include "framework/MessageGuard.h"
#include "framework/WindowTables.h"

std::map<HWND, Dialog*> dialogTable;

namespace {
thread_local Dialog* creatingDialog = nullptr;

HWND HandleOf(Window* owner)
{
    return owner != nullptr ? owner->GetHandle() : nullptr;
}
} // namespace

Dialog::Dialog() = default;

Dialog::~Dialog()
{
    EraseEntriesOf(dialogTable, this);
}

LRESULT Dialog::HandleMessage(HWND, UINT, WPARAM, LPARAM)
{
    return 0;
}

int Dialog::EndWith(int code)
{
    if (isModal == 1)
        return ::EndDialog(hwnd, code);
    endCode = code;
    return ::DestroyWindow(hwnd);
}

int Dialog::OnIdOk()
{
    return EndWith(IDOK);
}

int Dialog::OnIdCancel()
{
    return EndWith(IDCANCEL);
}

BOOL Dialog::EndDialog(int code)
{
    return ::EndDialog(hwnd, code);
}

// When the system fails before making the dialog window, the hook would bind
// the next window made on this thread to this object: take it away.
void Dialog::ClearPendingCreation()
{
    if (creatingDialog == this) {
        creatingDialog = nullptr;
        ::UnhookWindowsHookEx(hook);
    }
}

// The hook binds the dialog window, the first window made after this call.
void Dialog::BeginCreation()
{
    creatingDialog = this;
    hook = ::SetWindowsHookExA(WH_CBT, DialogCreationHook, nullptr, ::GetCurrentThreadId());
}

int Dialog::RunModal(Window* owner)
{
    if (templateId == 0)
        return 0;
    isModal = 1;
    BeginCreation();
    INT_PTR result = ::DialogBoxParamA(ApplicationInstance(),
                                       MAKEINTRESOURCEA(templateId & 0xFFFF), HandleOf(owner),
                                       DialogProcedure, 0);
    ClearPendingCreation();
    return static_cast<int>(result);
}

int Dialog::CreateModeless(Window* owner)
{
    if (templateId == 0)
        return 0;
    // A modeless dialog ends with DestroyWindow, even after a modal run.
    isModal = 0;
    BeginCreation();
    HWND created = ::CreateDialogParamA(ApplicationInstance(),
                                        MAKEINTRESOURCEA(templateId & 0xFFFF), HandleOf(owner),
                                        DialogProcedure, 0);
    ClearPendingCreation();
    return created != nullptr ? 1 : 0;
}

// Only the creation it binds is this hook's; every other code goes on to the
// thread's other hooks. A dialog window that cannot be bound is refused.
LRESULT CALLBACK DialogCreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    Dialog* dialog = creatingDialog;
    if (code != HCBT_CREATEWND || dialog == nullptr)
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    HWND h = reinterpret_cast<HWND>(wParam);
    ::UnhookWindowsHookEx(dialog->hook);
    creatingDialog = nullptr;
    dialog->hwnd = h;
    try {
        // The dialog window is new: an entry for its handle value is stale.
        dialogTable[h] = dialog;
    } catch (const std::bad_alloc&) {
        return 1;
    }
    return 0;
}

INT_PTR CALLBACK DialogProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardMessage(h, [&] { return RouteDialogMessage(h, message, wParam, lParam); });
}

// The dialog's controls are system windows: the objects the framework made
// for them go when the dialog does.
INT_PTR RouteDialogMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = dialogTable.find(h);
    if (it == dialogTable.end())
        return 0;
    Dialog* dialog = it->second;
    switch (message) {
    case WM_DESTROY: {
        dialog->RestoreWindowProc();
        dialogTable.erase(it);
        LRESULT result = dialog->HandleMessage(h, message, wParam, lParam);
        ForgetWindowsBelow(h);
        return result;
    }
    case WM_CLOSE:
        if (dialog->isModal == 1)
            dialog->OnIdCancel();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            dialog->OnIdOk();
            return 0;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            dialog->OnIdCancel();
            return 0;
        }
        return dialog->HandleMessage(h, message, wParam, lParam);
    default:
        return dialog->HandleMessage(h, message, wParam, lParam);
    }
}
