// PaneSearch: one pattern with its options, run over the document pane:
// select the next match up or down, replace the selected match, replace every
// match at once. The pattern and replacement (code page 932) are searched and
// put in the document's own encoding; offsets are bytes of the pane's text,
// and a match starts only where a character starts. With the regex option
// the pattern is a regular expression, found on a worker (PaneRegexFinder).
// What the user must hear (nothing found, how many were replaced, a bad
// pattern, a failure) goes to message boxes owned by the window in front, the
// main window or the replace dialog. A local of one command.
#pragma once

#include <memory>
#include <string>

#include "app/search/PaneRegexFinder.h"
#include "framework/ScintillaControl.h"
#include "framework/Window.h"
#include "util/TextSearch.h"

class PaneSearch {
public:
    // With the regex option the pattern is a regular expression; the
    // document's name is what a message about one of its lines names.
    PaneSearch(ScintillaControl& pane, Window& boxOwner, const std::string& pattern, SearchOptions options,
               const std::string& documentName = "無題");

    // Selects the last match ending at or before the selection's start
    // (upward) or the first one at or after its end; 1 when one was found,
    // else the not-found box and 0.
    int SelectNext(int upward);
    // Replaces the selection when it is a match, then selects the next match
    // beyond the replacement (never inside it); when the selection is no
    // match, only selects the next one. 1 when a match is left selected.
    int ReplaceSelected(const std::string& replacement, int upward);
    // Replaces every match of the pane's text with one undoable replacement
    // and says how many; the number replaced (0: the not-found box).
    int ReplaceAll(const std::string& replacement);

private:
    // Without emptyThere an empty match where the search starts does not
    // count (regular expressions only).
    int SelectFrom(size_t startPos, size_t endPos, int upward, bool emptyThere);
    int SelectRegexFrom(size_t startPos, size_t endPos, int upward, bool emptyThere);
    bool SelectionIsMatch(size_t start, size_t end);
    bool ReplacementFor(const std::string& replacement, std::string* bytes);
    // Its span in place of its matches, as one step the user can undo; 1
    // when the pane took it, else the box that says so and 0.
    int ReplaceSpan(const PaneRegexFinder::Replaced& replaced);
    // Tells the user why a regular-expression search ended without a match
    // to show; false when it did not end so.
    bool ShowRegexTrouble(PaneRegexFinder::Outcome outcome, size_t limitAt);
    bool ShowCompileMessage();
    void ShowNotFound();

    ScintillaControl& pane;
    Window& owner;
    // As the user typed it, for the messages.
    std::string shownPattern;
    std::string pattern;
    TextSearch search;
    std::string documentName;
    std::unique_ptr<PaneRegexFinder> regex; // with the regex option only
};
