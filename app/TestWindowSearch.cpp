// Search and find next in the left pane. Offsets are bytes of the pane's
// text; a match starts only where a character starts (TextSearch).
#include "app/TestWindow.h"

#include "app/search/PaneSearch.h"

namespace {

// Selects the next match in the pane and gives it the focus, or tells the
// user there is none and leaves the selection as it was.
void SearchPane(Window& owner, ScintillaControl& pane, const std::string& pattern,
                const SearchOptions& options, int upward, const std::string& documentName)
{
    if (PaneSearch(pane, owner, pattern, options, documentName).SelectNext(upward) == 1)
        pane.SetFocus();
}

} // namespace

// The document has the focus once the dialog is gone, whatever its answer.
int TestWindow::OnSearch()
{
    searchDialog.SetOptions(searchOptions);
    int answer = searchDialog.RunModal(this);
    leftPane.SetFocus();
    if (answer != 1)
        return 0;
    lastSearchText = searchDialog.GetInputText();
    searchOptions = searchDialog.GetOptions();
    SearchPane(*this, leftPane, lastSearchText, searchOptions, searchDialog.SearchesUpward(), documentPath);
    return 0;
}

// With nothing remembered yet the dialog does the first search itself; a
// second search right after it would skip a match or repeat the message.
int TestWindow::OnFindNext()
{
    if (lastSearchText.empty()) {
        OnSearch();
        return 0;
    }
    SearchPane(*this, leftPane, lastSearchText, searchOptions, searchDialog.SearchesUpward(), documentPath);
    return 0;
}

// The dialog works on the pane while it runs; afterwards its text and
// options are what 次を検索 goes on with.
int TestWindow::OnReplace()
{
    replaceDialog.Prepare(&leftPane, lastSearchText, searchOptions, documentPath);
    replaceDialog.RunModal(this);
    searchOptions = replaceDialog.GetOptions();
    if (!replaceDialog.GetSearchText().empty())
        lastSearchText = replaceDialog.GetSearchText();
    leftPane.SetFocus();
    return 0;
}

// Upward from the selection, with the text of the last search.
int TestWindow::OnFindPrevious()
{
    if (lastSearchText.empty()) {
        OnSearch();
        return 0;
    }
    SearchPane(*this, leftPane, lastSearchText, searchOptions, 1, documentPath);
    return 0;
}
