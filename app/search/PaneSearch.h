// PaneSearch: one pattern with its options, run over the document pane:
// select the next match up or down, replace the selected match, replace every
// match at once. Offsets are bytes of the pane's text; a match starts only
// where a character starts. What the user must hear (nothing found, how many
// were replaced, a failure) goes to message boxes owned by the window in
// front, the main window or the replace dialog. A local of one command.
#pragma once

#include <string>

#include "framework/EditControl.h"
#include "framework/Window.h"
#include "util/TextSearch.h"

class PaneSearch {
public:
    PaneSearch(EditControl& pane, Window& boxOwner, const std::string& pattern, SearchOptions options);

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
    int SelectFrom(const std::string& text, DWORD startPos, DWORD endPos, int upward);
    int ReplaceSpan(const std::string& before, size_t start, size_t end,
                    const std::string& replacement);
    void ShowNotFound();

    EditControl& pane;
    Window& owner;
    std::string pattern;
    TextSearch search;
};
