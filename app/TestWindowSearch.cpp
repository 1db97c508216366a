// Search and find next in the left pane. Offsets are bytes of the pane's
// text; a match starts only where a character starts (TextSearch).
#include "app/TestWindow.h"

#include "util/TextSearch.h"

namespace {

// Downward: the first match at or after the selection's end. Upward: the last
// match that ends at or before the selection's start.
size_t FindInPane(const std::string& text, const std::string& pattern, DWORD startPos,
                  DWORD endPos, int upward)
{
    TextSearch search(pattern);
    return upward == 1 ? search.FindLast(text, startPos) : search.Find(text, endPos);
}

std::string NotFoundMessage(const std::string& pattern)
{
    return "\"" + pattern + "\"は見つかりませんでした。";
}

// Selects the next match in the pane, or tells the user there is none and
// leaves the selection as it was.
void SearchPane(Window& owner, EditControl& pane, const std::string& pattern, int upward)
{
    std::string textBuf = pane.GetText();
    DWORD StartPos = 0;
    DWORD EndPos = 0;
    pane.GetSelection(&StartPos, &EndPos);
    size_t found = FindInPane(textBuf, pattern, StartPos, EndPos, upward);
    if (found == TextSearch::npos) {
        owner.MessageBox(NotFoundMessage(pattern), "検索結果", MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    pane.SetFocus();
    pane.SetSelection(static_cast<int>(found), static_cast<int>(found + pattern.size()));
}

} // namespace

// The document has the focus once the dialog is gone, whatever its answer.
int TestWindow::OnSearch()
{
    int answer = searchDialog.RunModal(this);
    leftPane.SetFocus();
    if (answer != 1)
        return 0;
    lastSearchText = searchDialog.GetInputText();
    SearchPane(*this, leftPane, lastSearchText, searchDialog.SearchesUpward());
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
    SearchPane(*this, leftPane, lastSearchText, searchDialog.SearchesUpward());
    return 0;
}

// Upward from the selection, with the text of the last search.
int TestWindow::OnFindPrevious()
{
    if (lastSearchText.empty()) {
        OnSearch();
        return 0;
    }
    SearchPane(*this, leftPane, lastSearchText, 1);
    return 0;
}
