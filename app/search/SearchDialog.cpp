#include "app/search/SearchDialog.h"

#include "app/search/SearchOptionBoxes.h"
#include "framework/Control.h"
#include "res/resource.h"

SearchDialog::SearchDialog()
{
    templateId = IDD_SEARCH;
}

LRESULT SearchDialog::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        HandleInitDialog();
        return 0; // the focus has been set
    }
    return Dialog::HandleMessage(h, message, wParam, lParam);
}

void SearchDialog::HandleInitDialog()
{
    if (Control* down = GetDlgItem(IDC_SEARCH_DOWN))
        down->SetCheck(1);
    SearchOptionBoxes::Show(*this, options);
    if (Control* edit = GetDlgItem(IDC_SEARCH_TEXT))
        edit->SetFocus();
}

int SearchDialog::OnIdOk()
{
    Control* edit = GetDlgItem(IDC_SEARCH_TEXT);
    inputText = edit != nullptr ? edit->GetText() : std::string();
    Control* up = GetDlgItem(IDC_SEARCH_UP);
    upward = up != nullptr && up->SendMessage(BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    options = SearchOptionBoxes::Read(*this);
    return Dialog::OnIdOk();
}
