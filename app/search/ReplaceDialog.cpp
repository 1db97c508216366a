#include "app/search/ReplaceDialog.h"

#include "app/search/PaneSearch.h"
#include "app/search/SearchOptionBoxes.h"
#include "framework/Control.h"
#include "res/resource.h"

ReplaceDialog::ReplaceDialog()
{
    templateId = IDD_REPLACE;
}

void ReplaceDialog::Prepare(ScintillaControl* documentPane, const std::string& text,
                            const SearchOptions& searchOptions, const std::string& name)
{
    pane = documentPane;
    documentName = name;
    searchText = text;
    options = searchOptions;
}

LRESULT ReplaceDialog::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        HandleInitDialog();
        return 0; // the focus has been set
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED &&
        (LOWORD(wParam) == IDC_REPLACE_ONE || LOWORD(wParam) == IDC_REPLACE_ALL)) {
        RunButton(LOWORD(wParam));
        return 0;
    }
    return Dialog::HandleMessage(h, message, wParam, lParam);
}

void ReplaceDialog::HandleInitDialog()
{
    if (Control* edit = GetDlgItem(IDC_REPLACE_TEXT))
        edit->SetText(replaceText);
    if (Control* direction = GetDlgItem(upward == 1 ? IDC_SEARCH_UP : IDC_SEARCH_DOWN))
        direction->SetCheck(1);
    SearchOptionBoxes::Show(*this, options);
    if (Control* edit = GetDlgItem(IDC_SEARCH_TEXT)) {
        edit->SetText(searchText);
        edit->SetFocus();
        edit->SendMessage(EM_SETSEL, 0, -1);
    }
}

void ReplaceDialog::ReadFields()
{
    if (Control* edit = GetDlgItem(IDC_SEARCH_TEXT))
        searchText = edit->GetText();
    if (Control* edit = GetDlgItem(IDC_REPLACE_TEXT))
        replaceText = edit->GetText();
    Control* up = GetDlgItem(IDC_SEARCH_UP);
    upward = up != nullptr && up->SendMessage(BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    options = SearchOptionBoxes::Read(*this);
}

// Each button reads the fields afresh: the user may change them between two
// presses. Message boxes belong to the dialog, which stays in front.
void ReplaceDialog::RunButton(int id)
{
    ReadFields();
    if (pane == nullptr)
        return;
    PaneSearch search(*pane, *this, searchText, options, documentName);
    if (id == IDOK)
        search.SelectNext(upward);
    else if (id == IDC_REPLACE_ONE)
        search.ReplaceSelected(replaceText, upward);
    else
        search.ReplaceAll(replaceText);
}

// Enter and 次を検索 search; the dialog stays open.
int ReplaceDialog::OnIdOk()
{
    RunButton(IDOK);
    return 1;
}

int ReplaceDialog::OnIdCancel()
{
    ReadFields();
    return Dialog::OnIdCancel();
}
