#include "app/search/PaneReplacement.h"

#include <new>

#include "framework/ScintillaControl.h"

PaneReplacement::PaneReplacement(ScintillaControl& replacedPane, const Replaced& whole)
    : pane(replacedPane), replaced(whole)
{
    bounds.push_back({replaced.start, 0});
    if (replaced.span.size() > PieceAbove) {
        for (const Replaced::Cut& cut : replaced.cuts) {
            if (cut.text < replaced.end)
                bounds.push_back(cut);
        }
    }
    bounds.push_back({replaced.end, replaced.span.size()});
}

bool PaneReplacement::Apply(Window& owner, const std::string& detail)
{
    pane.BeginUndoStep();
    if (bounds.size() == 2) {
        Step();
    } else {
        pane.SetReadOnly(true);
        WorkerWait wait;
        wait.RunSteps(owner, *this, "置換しています", detail);
        pane.SetReadOnly(false);
    }
    pane.EndUndoStep();
    if (failed) {
        if (changed)
            pane.Undo(); // every piece put in, as one step
        return false;
    }
    const size_t caret = replaced.start + replaced.span.size();
    pane.SetSelection(caret, caret);
    return true;
}

bool PaneReplacement::Step()
{
    pane.SetReadOnly(false);
    try {
        failed = !Put(bounds.size() - 2 - done);
    } catch (const std::bad_alloc&) {
        // The piece's old text is copied before anything changes: the pane
        // holds the pieces put in so far, which Apply takes back.
        failed = true;
        changed = changed || done > 0;
    }
    pane.SetReadOnly(bounds.size() > 2);
    return !failed && ++done + 1 < bounds.size();
}

std::string PaneReplacement::CountsText() const
{
    return FormatMegabytes(replaced.span.size() - bounds[bounds.size() - 1 - done].span, replaced.span.size()) +
           " 置換しました";
}

// The last piece goes in first: the text before a piece is still the
// text's own, and the pane's gap stays near the place of each change.
bool PaneReplacement::Put(size_t index)
{
    const Replaced::Cut& from = bounds[index];
    const Replaced::Cut& to = bounds[index + 1];
    const size_t start = from.text;
    const size_t end = to.text;
    const std::string_view bytes = std::string_view(replaced.span).substr(from.span, to.span - from.span);
    const size_t lengthBefore = pane.Length();
    const std::string original(pane.Bytes(start, end));
    const size_t expected = lengthBefore - (end - start) + bytes.size();
    pane.ReplaceBytes(start, end, bytes);
    const bool taken = pane.Length() == expected && pane.Bytes(start, start + bytes.size()) == bytes;
    changed = changed || done > 0 || pane.Length() != lengthBefore || pane.Bytes(start, end) != original;
    return taken;
}
