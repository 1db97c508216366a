#include "app/GrepDialog.h"

#include "framework/Control.h"
#include "res/resource.h"

GrepDialog::GrepDialog()
{
    templateId = IDD_GREP;
}

LRESULT GrepDialog::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        if (Control* edit = GetDlgItem(IDC_SEARCH_TEXT))
            edit->SetFocus();
        return 0; // the focus has been set
    }
    return Dialog::HandleMessage(h, message, wParam, lParam);
}

int GrepDialog::OnIdOk()
{
    Control* edit = GetDlgItem(IDC_SEARCH_TEXT);
    inputText = edit != nullptr ? edit->GetText() : std::string();
    return Dialog::OnIdOk();
}
