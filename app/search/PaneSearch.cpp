#include "app/search/PaneSearch.h"

#include "app/search/PaneReplacement.h"

namespace {

constexpr UINT NoticeBox = MB_OK | MB_ICONEXCLAMATION;   // 0x30
constexpr UINT CountBox = MB_OK | MB_ICONINFORMATION;    // 0x40

std::string NotFoundMessage(const std::string& pattern)
{
    return "\"" + pattern + "\"は見つかりませんでした。";
}

using Replaced = PaneRegexFinder::Replaced;

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
        result.MatchReplaced(copied);
    }
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
                       SearchOptions options, const std::string& name)
    : pane(searchedPane), owner(boxOwner), shownPattern(searchPattern),
      pattern(searchedPane.FromAnsi(searchPattern)),
      search(pattern, options, LeadBytesOf(searchedPane.CodePage())), documentName(name)
{
    if (options.regex)
        regex = std::make_unique<PaneRegexFinder>(searchedPane, searchPattern, options);
}

bool PaneSearch::ShowCompileMessage()
{
    if (regex == nullptr || regex->CompileMessage().empty())
        return false;
    owner.MessageBox(regex->CompileMessage(), "検索", NoticeBox);
    return true;
}

// 中止 needs no box: the user knows.
bool PaneSearch::ShowRegexTrouble(PaneRegexFinder::Outcome outcome, size_t limitAt)
{
    switch (outcome) {
    case PaneRegexFinder::Outcome::Limit:
        owner.MessageBox("正規表現の処理が上限を超えたため、検索を中止しました。\n" + documentName + " の " +
                             std::to_string(pane.LineFromPosition(limitAt) + 1) + " 行目",
                         "検索結果", NoticeBox);
        return true;
    case PaneRegexFinder::Outcome::NoMemory:
        owner.MessageBox("メモリが足りないため、検索できませんでした。", "エラー", NoticeBox);
        return true;
    case PaneRegexFinder::Outcome::Stopped:
        return true;
    default:
        return false;
    }
}

void PaneSearch::ShowNotFound()
{
    owner.MessageBox(NotFoundMessage(shownPattern), "検索結果", NoticeBox);
}

int PaneSearch::SelectFrom(size_t startPos, size_t endPos, int upward, bool emptyThere)
{
    if (regex != nullptr)
        return SelectRegexFrom(startPos, endPos, upward, emptyThere);
    const std::string_view text = pane.Bytes();
    size_t found = upward == 1 ? search.FindLast(text, startPos) : search.Find(text, endPos);
    if (found == TextSearch::npos) {
        ShowNotFound();
        return 0;
    }
    pane.SetSelection(found, found + pattern.size());
    return 1;
}

int PaneSearch::SelectRegexFrom(size_t startPos, size_t endPos, int upward, bool emptyThere)
{
    PaneRegexFinder::Span found;
    const PaneRegexFinder::Outcome outcome =
        regex->Find(owner, upward == 1 ? startPos : endPos, upward == 1, &found, emptyThere);
    if (ShowRegexTrouble(outcome, found.start))
        return 0;
    if (outcome != PaneRegexFinder::Outcome::Found) {
        ShowNotFound();
        return 0;
    }
    pane.SetSelection(found.start, found.end);
    return 1;
}

// An empty match where the empty selection stands would be found again and
// again: it is passed over.
int PaneSearch::SelectNext(int upward)
{
    if (ShowCompileMessage())
        return 0;
    size_t startPos = 0;
    size_t endPos = 0;
    pane.GetSelection(&startPos, &endPos);
    return SelectFrom(startPos, endPos, upward, startPos != endPos);
}

// An empty exact pattern matches everywhere and replaces nothing: it is
// never a match to replace. (An empty regular expression is: it inserts.)
int PaneSearch::ReplaceSelected(const std::string& replacement, int upward)
{
    if (ShowCompileMessage())
        return 0;
    if (regex == nullptr && pattern.empty()) {
        ShowNotFound();
        return 0;
    }
    size_t startPos = 0;
    size_t endPos = 0;
    pane.GetSelection(&startPos, &endPos);
    if (!SelectionIsMatch(startPos, endPos))
        return SelectFrom(startPos, endPos, upward, startPos != endPos);
    Replaced one;
    one.start = startPos;
    one.end = endPos;
    if (!ReplacementFor(replacement, &one.span) || ReplaceSpan(one) != 1)
        return 0;
    // The next match is the one after this in the text as it was: after an
    // empty match not again at its place, and upward never at the place
    // just replaced.
    return SelectFrom(startPos, startPos + one.span.size(), upward, upward != 1 && endPos > startPos);
}

bool PaneSearch::SelectionIsMatch(size_t start, size_t end)
{
    if (regex != nullptr)
        return regex->MatchesExactly(start, end) == PaneRegexFinder::Outcome::Found;
    return end - start == pattern.size() && search.Find(pane.Bytes(), start) == start;
}

// A regular expression's replacement names the groups of the match.
bool PaneSearch::ReplacementFor(const std::string& replacement, std::string* bytes)
{
    if (regex == nullptr) {
        *bytes = pane.FromAnsi(replacement);
        return true;
    }
    std::string message;
    if (regex->Expand(replacement, bytes, &message))
        return true;
    owner.MessageBox(message, "置換", NoticeBox);
    return false;
}

int PaneSearch::ReplaceAll(const std::string& replacement)
{
    if (ShowCompileMessage())
        return 0;
    Replaced replaced;
    if (regex != nullptr) {
        std::string message;
        const PaneRegexFinder::Outcome outcome = regex->ReplaceAll(owner, replacement, &replaced, &message);
        if (!message.empty()) {
            owner.MessageBox(message, "置換", NoticeBox);
            return 0;
        }
        if (ShowRegexTrouble(outcome, replaced.start))
            return 0;
    } else if (!pattern.empty()) {
        replaced = ReplaceMatches(pane.Bytes(), search, pane.FromAnsi(replacement));
    }
    if (replaced.count == 0) {
        ShowNotFound();
        return 0;
    }
    if (ReplaceSpan(replaced) != 1)
        return 0;
    owner.MessageBox(std::to_string(replaced.count) + " 個置換しました", "置換結果", CountBox);
    return static_cast<int>(replaced.count);
}

// A pane that could not take the replacement (memory ran out) is put back
// as it was.
int PaneSearch::ReplaceSpan(const Replaced& replaced)
{
    if (PaneReplacement(pane, replaced).Apply(owner, "「" + shownPattern + "」"))
        return 1;
    owner.MessageBox("置換できませんでした。文章は置換する前のままです。", "エラー", NoticeBox);
    return 0;
}
