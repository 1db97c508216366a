// PaneRegexFinder: the regular-expression side of PaneSearch, over the
// bytes of the document pane. Finding a match and replacing every match run
// on a worker thread (WorkerWait), so a large document keeps the window
// answering and 中止 ends them; the worker reads the pane's text only while
// the window waits for it. Offsets are bytes of the pane's text. A local of
// one command, like PaneSearch.
#pragma once

#include <memory>
#include <string>

#include "app/search/RegexSearch.h"

class ScintillaControl;
class Window;

class PaneRegexFinder {
public:
    using Outcome = RegexSearch::Outcome;
    using Span = RegexSearch::Span;

    // Every match replaced; its span alone goes back into the pane.
    using Replaced = RegexSearch::Replaced;

    PaneRegexFinder(ScintillaControl& pane, const std::string& pattern, const SearchOptions& options);
    ~PaneRegexFinder();

    // Empty when the pattern compiled; else what the user must read.
    const std::string& CompileMessage() const { return compileMessage; }

    // The next match from `from` down, or the last one ending by it, up;
    // without emptyThere an empty match at `from` does not count.
    Outcome Find(Window& owner, size_t from, bool upward, Span* found, bool emptyThere = true);
    Outcome MatchesExactly(size_t start, size_t end);
    // The replacement for the match found last, in the pane's bytes.
    bool Expand(const std::string& replacement, std::string* out, std::string* message);
    // Every match of the text replaced; message is set when the replacement
    // is not valid. On Limit, out->start is where the engine gave up.
    Outcome ReplaceAll(Window& owner, const std::string& replacement, Replaced* out, std::string* message);

private:
    struct Job;
    Outcome RunJob(Window& owner);

    ScintillaControl& pane;
    // Shared with the worker, which may outlive a stopped command.
    std::shared_ptr<Job> job;
    std::string shownPattern; // as typed, for the progress window
    std::string compileMessage;
};
