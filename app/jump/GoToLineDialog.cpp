#include "app/jump/GoToLineDialog.h"

#include <algorithm>
#include <string>

#include "framework/Control.h"
#include "res/resource.h"

GoToLineDialog::GoToLineDialog(unsigned long long count) : lineCount(std::max(count, 1ULL))
{
    templateId = IDD_GO_TO_LINE;
}

LRESULT GoToLineDialog::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        if (Control* range = GetDlgItem(IDC_GO_TO_LINE_RANGE))
            range->SetText("(1-" + std::to_string(lineCount) + ")");
        if (Control* number = GetDlgItem(IDC_GO_TO_LINE_NUMBER))
            number->SetFocus();
        return 0; // the focus has been set
    }
    return Dialog::HandleMessage(h, message, wParam, lParam);
}

// An empty box is no line: the dialog stays open. Any number of digits is
// read without overflow and clamped to the range.
int GoToLineDialog::OnIdOk()
{
    Control* number = GetDlgItem(IDC_GO_TO_LINE_NUMBER);
    std::string digits = number != nullptr ? number->GetText() : std::string();
    unsigned long long value = 0;
    bool any = false;
    for (char c : digits) {
        if (c < '0' || c > '9')
            continue;
        any = true;
        value = std::min(value * 10 + static_cast<unsigned>(c - '0'), lineCount);
    }
    if (!any) {
        ::MessageBeep(MB_OK);
        return 0;
    }
    line = std::max(value, 1ULL);
    return Dialog::OnIdOk();
}
