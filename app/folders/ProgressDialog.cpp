#include "app/folders/ProgressDialog.h"

#include "framework/Application.h"
#include "res/resource.h"

ProgressDialog::ProgressDialog(Listener& runListener) : listener(runListener)
{
    templateId = IDD_PROGRESS;
}

std::string FormatCount(uint64_t count)
{
    std::string digits = std::to_string(count);
    for (size_t at = digits.size(); at > 3; at -= 3)
        digits.insert(at - 3, 1, ',');
    return digits;
}

std::string FormatMegabytes(uint64_t done, uint64_t total)
{
    const uint64_t megabyte = 1024 * 1024;
    return FormatCount(done / megabyte) + " / " + FormatCount((total + megabyte - 1) / megabyte) + " MB";
}

bool ProgressDialog::Open(Window& owner, const std::string& title)
{
    shownCounts.clear();
    shownFolder.clear();
    if (!CreateModeless(&owner))
        return false;
    SetText(title);
    ShowCounts(0, 0);
    ::ShowWindow(hwnd, SW_SHOW);
    if (Application* application = GetApplication())
        application->AddModelessDialog(hwnd);
    return true;
}

void ProgressDialog::Close()
{
    if (IsOpen())
        DestroyWindow();
    hwnd = nullptr;
}

LRESULT ProgressDialog::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        CenterOnOwner();
        return 1;
    case WM_TIMER:
    case ChunkMessage:
    case DoneMessage:
        listener.OnRunMessage(message, wParam, lParam);
        return 1;
    case WM_DESTROY:
        if (Application* application = GetApplication())
            application->RemoveModelessDialog(h);
        listener.OnViewDestroyed();
        break;
    default:
        break;
    }
    return Dialog::HandleMessage(h, message, wParam, lParam);
}

// 中止, Esc and the close box: the run decides when the window goes.
int ProgressDialog::OnIdCancel()
{
    listener.OnStopPressed();
    return 1;
}

void ProgressDialog::ShowCounts(uint64_t files, uint64_t lines)
{
    SetCountsText("ファイル " + FormatCount(files) + " 件　結果 " + FormatCount(lines) + " 行");
}

void ProgressDialog::ShowFolder(const std::string& folder)
{
    if (folder != shownFolder) {
        shownFolder = folder;
        ::SetDlgItemTextA(hwnd, IDC_PROGRESS_FOLDER, folder.c_str());
    }
}

void ProgressDialog::ShowFinal(const std::string& text)
{
    SetCountsText(text);
    DisableStop();
    // Only shown now: the next command's dialogs may come up meanwhile.
    ::EnableWindow(hwnd, FALSE);
}

void ProgressDialog::DisableStop()
{
    ::EnableWindow(::GetDlgItem(hwnd, IDCANCEL), FALSE);
}

void ProgressDialog::SetCountsText(const std::string& text)
{
    if (text != shownCounts) {
        shownCounts = text;
        ::SetDlgItemTextA(hwnd, IDC_PROGRESS_COUNTS, text.c_str());
    }
}

void ProgressDialog::CenterOnOwner()
{
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    RECT outer = {};
    RECT own = {};
    if (owner == nullptr || !::GetWindowRect(owner, &outer) || !::GetWindowRect(hwnd, &own))
        return;
    const int width = own.right - own.left;
    const int height = own.bottom - own.top;
    ::SetWindowPos(hwnd, nullptr, outer.left + (outer.right - outer.left - width) / 2,
                   outer.top + (outer.bottom - outer.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
