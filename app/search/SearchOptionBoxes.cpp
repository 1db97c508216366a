#include "app/search/SearchOptionBoxes.h"

#include "framework/Control.h"
#include "res/resource.h"

namespace {

void SetBox(Dialog& dialog, int id, bool checked)
{
    if (Control* box = dialog.GetDlgItem(id))
        box->SetCheck(checked ? 1 : 0);
}

// A missing box reads as the default, so a dialog without one searches as before.
bool ReadBox(Dialog& dialog, int id, bool missing)
{
    Control* box = dialog.GetDlgItem(id);
    return box != nullptr ? box->SendMessage(BM_GETCHECK, 0, 0) == BST_CHECKED : missing;
}

} // namespace

void SearchOptionBoxes::Show(Dialog& dialog, const SearchOptions& options)
{
    SetBox(dialog, IDC_MATCH_CASE, options.matchCase);
    SetBox(dialog, IDC_WHOLE_WORD, options.wholeWord);
    SetBox(dialog, IDC_REGEX, options.regex);
}

SearchOptions SearchOptionBoxes::Read(Dialog& dialog)
{
    const SearchOptions defaults;
    SearchOptions options;
    options.matchCase = ReadBox(dialog, IDC_MATCH_CASE, defaults.matchCase);
    options.wholeWord = ReadBox(dialog, IDC_WHOLE_WORD, defaults.wholeWord);
    options.regex = ReadBox(dialog, IDC_REGEX, defaults.regex);
    return options;
}
