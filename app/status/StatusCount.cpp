#include "app/status/StatusCount.h"

#include <algorithm>
#include <string_view>

#include "framework/ScintillaControl.h"

namespace {

size_t Distance(size_t a, size_t b)
{
    return a > b ? a - b : b - a;
}

// The characters from one character start to another, negative (wrapped)
// when `to` comes first: added to a count, it moves one of its ends.
size_t SignedCount(ScintillaControl& pane, size_t from, size_t to)
{
    return from <= to ? pane.CharacterCount(from, to) : 0 - pane.CharacterCount(to, from);
}

} // namespace

void StatusCount::Advance(ScintillaControl& pane)
{
    size_t start = 0;
    size_t end = 0;
    pane.GetSelection(&start, &end);
    const size_t caret = pane.Caret();
    Aim(pane, selection, start, end, false);
    Aim(pane, column, pane.LineStart(pane.LineFromPosition(caret)), caret, true);
    const size_t counted = Step(pane, column, StepBytes, true);
    Step(pane, selection, StepBytes - counted, false);
}

std::optional<size_t> StatusCount::Characters() const
{
    return selection.Done() ? std::optional<size_t>(selection.count) : std::nullopt;
}

std::optional<size_t> StatusCount::Column() const
{
    return column.Done() ? std::optional<size_t>(column.count) : std::nullopt;
}

void StatusCount::TextChanged(const void* document)
{
    for (Tally* tally : {&selection, &column}) {
        if (tally->document == document)
            *tally = Tally();
    }
}

void StatusCount::Aim(ScintillaControl& pane, Tally& tally, size_t from, size_t to, bool columns)
{
    const void* document = pane.Document();
    const size_t length = pane.Length();
    const bool same = tally.document == document && tally.length == length;
    if (same && from == tally.from && to >= tally.reached) {
        tally.to = to; // the count goes on from where it is
        return;
    }
    if (same && tally.Done() && CanShift(pane, tally, from, to, columns)) {
        tally.count += SignedCount(pane, tally.to, to) - SignedCount(pane, tally.from, from);
        tally.from = from;
        tally.to = to;
        tally.reached = to;
        return;
    }
    tally = Tally{document, length, from, to, from, 0};
}

// A tab's width depends on the column before it: a column is counted back
// only over text without one.
bool StatusCount::CanShift(ScintillaControl& pane, const Tally& tally, size_t newFrom, size_t newTo, bool columns)
{
    if (Distance(tally.from, newFrom) + Distance(tally.to, newTo) > StepBytes)
        return false;
    return !columns || (newFrom == tally.from && newTo < tally.to &&
                        pane.Bytes(newTo, tally.to).find('\t') == std::string_view::npos);
}

size_t StatusCount::Step(ScintillaControl& pane, Tally& tally, size_t bytes, bool columns)
{
    size_t stop = tally.to;
    if (stop - tally.reached > bytes)
        stop = pane.CharacterStart(tally.reached + bytes);
    if (stop <= tally.reached)
        return 0;
    if (!columns) {
        tally.count += pane.CharacterCount(tally.reached, stop);
    } else {
        const std::string_view text = pane.Bytes(tally.reached, stop);
        const size_t tabWidth = std::max<size_t>(pane.TabWidth(), 1);
        size_t at = tally.reached;
        for (size_t tab = text.find('\t');; tab = text.find('\t', tab + 1)) {
            const size_t end = tab == std::string_view::npos ? stop : tally.reached + tab;
            tally.count += pane.CharacterCount(at, end);
            if (end == stop)
                break;
            tally.count = (tally.count / tabWidth + 1) * tabWidth;
            at = end + 1;
        }
    }
    const size_t counted = stop - tally.reached;
    tally.reached = stop;
    return counted;
}
