#include "app/search/PaneSearch.h"


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

Replaced ReplaceMatches(std::string_view text, const TextSearch& search, const std::string& replacement)
{
    Replaced result;
    const size_t m = search.PatternLength();
    size_t copied = 0;
    for (size_t at = search.Find(text, 0); at != TextSearch::npos; at = search.Find(text, at + m)) {
        if (result.count == 0)
            result.start = copied = at;
        result.span.append(text.data() + copied, at - copied);
        result.span += replacement;
        copied = at + m;
        ++result.count;
    }
    result.end = copied;
    return result;
}

// A UTF-8 document has no lead bytes to skip: no character of it starts
// inside another.
const TextSearch::LeadBytes& LeadBytesOf(unsigned codePage)
{
    return codePage == ScintillaControl::Utf8 ? TextSearch::NoLeadBytes() : TextSearch::ProcessLeadBytes();
}

} // namespace

PaneSearch::PaneSearch(ScintillaControl& searchedPane, Window& boxOwner, const std::string& searchPattern,
                       SearchOptions options)
    : pane(searchedPane), owner(boxOwner), shownPattern(searchPattern),
      pattern(searchedPane.FromAnsi(searchPattern)),
      search(pattern, options, LeadBytesOf(searchedPane.CodePage()))
{
}

void PaneSearch::ShowNotFound()
{
    owner.MessageBox(NotFoundMessage(shownPattern), "検索結果", NoticeBox);
}

int PaneSearch::SelectFrom(size_t startPos, size_t endPos, int upward)
{
    const std::string_view text = pane.Bytes();
    size_t found = upward == 1 ? search.FindLast(text, startPos) : search.Find(text, endPos);
    if (found == TextSearch::npos) {
        ShowNotFound();
        return 0;
    }
    pane.SetSelection(found, found + pattern.size());
    return 1;
}

int PaneSearch::SelectNext(int upward)
{
    size_t startPos = 0;
    size_t endPos = 0;
    pane.GetSelection(&startPos, &endPos);
    return SelectFrom(startPos, endPos, upward);
}

// An empty pattern matches everywhere and replaces nothing: it is never a
// match to replace.
int PaneSearch::ReplaceSelected(const std::string& replacement, int upward)
{
    if (pattern.empty()) {
        ShowNotFound();
        return 0;
    }
    size_t startPos = 0;
    size_t endPos = 0;
    pane.GetSelection(&startPos, &endPos);
    const bool selectedMatch = endPos - startPos == pattern.size() && search.Find(pane.Bytes(), startPos) == startPos;
    if (!selectedMatch)
        return SelectFrom(startPos, endPos, upward);
    const std::string replacementBytes = pane.FromAnsi(replacement);
    if (ReplaceSpan(startPos, endPos, replacementBytes) != 1)
        return 0;
    return SelectFrom(startPos, startPos + replacementBytes.size(), upward);
}

int PaneSearch::ReplaceAll(const std::string& replacement)
{
    Replaced replaced;
    if (!pattern.empty())
        replaced = ReplaceMatches(pane.Bytes(), search, pane.FromAnsi(replacement));
    if (replaced.count == 0) {
        ShowNotFound();
        return 0;
    }
    if (ReplaceSpan(replaced.start, replaced.end, replaced.span) != 1)
        return 0;
    owner.MessageBox(std::to_string(replaced.count) + " 個置換しました", "置換結果", CountBox);
    return static_cast<int>(replaced.count);
}

// One replacement of the pane's bytes, so that one undo takes the whole of
// it back. A pane that could not take it (memory ran out) is put back as it
// was.
int PaneSearch::ReplaceSpan(size_t start, size_t end, const std::string& replacement)
{
    const size_t lengthBefore = pane.Length();
    const std::string original(pane.Bytes(start, end));
    const size_t expected = lengthBefore - (end - start) + replacement.size();
    pane.ReplaceRange(start, end, replacement);
    if (pane.Length() == expected && pane.Bytes(start, start + replacement.size()) == replacement)
        return 1;
    if (pane.Length() != lengthBefore || pane.Bytes(start, end) != original)
        pane.Undo(); // only what this replacement did
    owner.MessageBox("置換できませんでした。文章は置換する前のままです。", "エラー", NoticeBox);
    return 0;
}
