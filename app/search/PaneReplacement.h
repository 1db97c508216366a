// PaneReplacement: every match's replacement put into the document pane as
// one step the user can undo. A small one goes in at once; a large one
// piece by piece, cut between matches, the window answering between the
// pieces (WorkerWait). The pane is read-only meanwhile, so nothing comes
// between the pieces, and no 中止 is offered: the pane ends fully replaced,
// or as it was when memory ran out. A local of one command.
#pragma once

#include <string>
#include <vector>

#include "app/folders/WorkerWait.h"
#include "app/search/RegexSearch.h"

class ScintillaControl;
class Window;

class PaneReplacement : private WorkerWait::Steps {
public:
    using Replaced = RegexSearch::Replaced;

    // Larger replacements than this go in piece by piece.
    static constexpr size_t PieceAbove = size_t{4} << 20;

    // replaced must outlive this.
    PaneReplacement(ScintillaControl& pane, const Replaced& replaced);

    // False: memory ran out, and the pane is as it was. Else the caret
    // stands after the last replacement. detail is the progress window's.
    bool Apply(Window& owner, const std::string& detail);

private:
    bool Step() override;
    std::string CountsText() const override;
    // Piece `index` into the pane; false when the pane did not take it.
    bool Put(size_t index);

    ScintillaControl& pane;
    const Replaced& replaced;
    // Where the pieces begin and end, first and last included.
    std::vector<Replaced::Cut> bounds;
    size_t done = 0;
    bool failed = false;
    bool changed = false;
};
