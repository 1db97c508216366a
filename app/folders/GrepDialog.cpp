#include "app/folders/GrepDialog.h"

#include "app/search/SearchOptionBoxes.h"
#include "framework/Control.h"
#include "res/resource.h"

GrepDialog::GrepDialog()
{
    templateId = IDD_GREP;
}

LRESULT GrepDialog::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        ::SetDlgItemTextA(h, IDC_GREP_MASK, maskText.c_str());
        ::SetDlgItemTextA(h, IDC_GREP_EXCLUDE, excludedText.c_str());
        SearchOptionBoxes::Show(*this, options);
        if (Control* edit = GetDlgItem(IDC_SEARCH_TEXT))
            edit->SetFocus();
        return 0; // the focus has been set
    }
    return Dialog::HandleMessage(h, message, wParam, lParam);
}

int GrepDialog::OnIdOk()
{
    inputText = ItemText(IDC_SEARCH_TEXT);
    maskText = ItemText(IDC_GREP_MASK);
    excludedText = ItemText(IDC_GREP_EXCLUDE);
    options = SearchOptionBoxes::Read(*this);
    return Dialog::OnIdOk();
}

std::string GrepDialog::ItemText(int id)
{
    Control* edit = GetDlgItem(id);
    return edit != nullptr ? edit->GetText() : std::string();
}
