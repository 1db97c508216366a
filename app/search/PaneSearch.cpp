#include "app/search/PaneSearch.h"

#include "framework/EditOffsets.h"

namespace {

constexpr UINT NoticeBox = MB_OK | MB_ICONEXCLAMATION;   // 0x30
constexpr UINT CountBox = MB_OK | MB_ICONINFORMATION;    // 0x40

std::string NotFoundMessage(const std::string& pattern)
{
    return "\"" + pattern + "\"は見つかりませんでした。";
}

// Every match of text replaced, kept to the span from the first match to the
// end of the last one: that span alone goes back into the pane.
struct Replaced {
    size_t count = 0;
    size_t start = 0;
    size_t end = 0;
    std::string span;
};

Replaced ReplaceMatches(const std::string& text, const TextSearch& search,
                        const std::string& replacement)
{
    Replaced result;
    const size_t m = search.PatternLength();
    size_t copied = 0;
    for (size_t at = search.Find(text, 0); at != TextSearch::npos; at = search.Find(text, at + m)) {
        if (result.count == 0)
            result.start = copied = at;
        result.span.append(text, copied, at - copied);
        result.span += replacement;
        copied = at + m;
        ++result.count;
    }
    result.end = copied;
    return result;
}

} // namespace

PaneSearch::PaneSearch(EditControl& searchedPane, Window& boxOwner, const std::string& searchPattern,
                       SearchOptions options)
    : pane(searchedPane), owner(boxOwner), pattern(searchPattern), search(pattern, options)
{
}

void PaneSearch::ShowNotFound()
{
    owner.MessageBox(NotFoundMessage(pattern), "検索結果", NoticeBox);
}

int PaneSearch::SelectFrom(const std::string& text, DWORD startPos, DWORD endPos, int upward)
{
    size_t found = upward == 1 ? search.FindLast(text, startPos) : search.Find(text, endPos);
    if (found == TextSearch::npos) {
        ShowNotFound();
        return 0;
    }
    pane.SetSelection(static_cast<int>(found), static_cast<int>(found + pattern.size()));
    return 1;
}

int PaneSearch::SelectNext(int upward)
{
    std::string textBuf = pane.GetText();
    DWORD StartPos = 0;
    DWORD EndPos = 0;
    pane.GetSelection(&StartPos, &EndPos);
    return SelectFrom(textBuf, StartPos, EndPos, upward);
}

// An empty pattern matches everywhere and replaces nothing: it is never a
// match to replace.
int PaneSearch::ReplaceSelected(const std::string& replacement, int upward)
{
    if (pattern.empty()) {
        ShowNotFound();
        return 0;
    }
    std::string textBuf = pane.GetText();
    DWORD StartPos = 0;
    DWORD EndPos = 0;
    pane.GetSelection(&StartPos, &EndPos);
    const bool selectedMatch = EndPos - StartPos == pattern.size() &&
                               search.Find(textBuf, StartPos) == StartPos;
    if (!selectedMatch)
        return SelectFrom(textBuf, StartPos, EndPos, upward);
    if (ReplaceSpan(textBuf, StartPos, EndPos, replacement) != 1)
        return 0;
    const DWORD after = StartPos + static_cast<DWORD>(replacement.size());
    return SelectFrom(pane.GetText(), StartPos, after, upward);
}

int PaneSearch::ReplaceAll(const std::string& replacement)
{
    std::string textBuf = pane.GetText();
    Replaced replaced;
    if (!pattern.empty())
        replaced = ReplaceMatches(textBuf, search, replacement);
    if (replaced.count == 0) {
        ShowNotFound();
        return 0;
    }
    if (ReplaceSpan(textBuf, replaced.start, replaced.end, replaced.span) != 1)
        return 0;
    owner.MessageBox(std::to_string(replaced.count) + " 個置換しました", "置換結果", CountBox);
    return static_cast<int>(replaced.count);
}

// One EM_REPLACESEL, so that one undo takes the whole replacement back and
// the pane reports the change as typing does. The typing limit would cut a
// longer text short, so it is raised first; a pane that still does not hold
// the expected text is put back as it was.
int PaneSearch::ReplaceSpan(const std::string& before, size_t start, size_t end,
                            const std::string& replacement)
{
    std::string expectedText = before;
    expectedText.replace(start, end - start, replacement);
    const EditOffsets::Unit unit = EditOffsets::ControlUnit();
    const DWORD needed = EditOffsets::ToControl(expectedText, static_cast<DWORD>(expectedText.size()), unit);
    if (needed > static_cast<DWORD>(pane.SendMessage(EM_GETLIMITTEXT, 0, 0)))
        pane.SendMessage(EM_SETLIMITTEXT, needed, 0);

    pane.SetSelection(static_cast<int>(start), static_cast<int>(end));
    pane.ReplaceSelection(replacement);
    const std::string after = pane.GetText();
    if (after == expectedText)
        return 1;
    if (after != before)
        pane.SendMessage(EM_UNDO, 0, 0);
    owner.MessageBox("置換できませんでした。文章は置換する前のままです。", "エラー", NoticeBox);
    return 0;
}
