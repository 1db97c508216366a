#include "app/search/PaneRegexFinder.h"

#include <new>

#include "app/folders/WorkerWait.h"
#include "framework/ScintillaControl.h"

struct PaneRegexFinder::Job : WorkerWait::Job {
    enum class Kind { Forward, Backward, ReplaceAll };

    RegexSearch search;
    std::string_view text;
    Kind kind = Kind::Forward;
    size_t from = 0;
    bool emptyThere = true;
    std::string replacement;
    std::atomic<size_t> reached{0};
    // Set by the worker before it ends; true once a worker was left behind.
    Outcome outcome = Outcome::NotFound;
    Span found;
    Replaced replaced;
    std::string message;
    bool abandoned = false;

    void Work() override;
    std::string CountsText() const override;
};

// Nothing may escape the worker: memory running out is a result.
void PaneRegexFinder::Job::Work()
{
    const RegexSearch::Guard guard{&stop, &borrowing, &reached};
    try {
        if (kind == Kind::ReplaceAll)
            outcome = search.ReplaceAll(text, replacement, &replaced, &message, &guard);
        else if (kind == Kind::Backward)
            outcome = search.FindBackward(text, from, &found, &guard, emptyThere);
        else
            outcome = search.FindForward(text, from, &found, &guard, emptyThere);
    } catch (const std::bad_alloc&) {
        outcome = Outcome::NoMemory;
    }
}

std::string PaneRegexFinder::Job::CountsText() const
{
    return FormatMegabytes(reached, text.size()) + " 検索しました";
}

PaneRegexFinder::PaneRegexFinder(ScintillaControl& searchedPane, const std::string& pattern,
                                 const SearchOptions& options)
    : pane(searchedPane), job(std::make_shared<Job>()), shownPattern(pattern)
{
    if (!job->search.Compile(pattern, options, searchedPane.CodePage(), &compileMessage) && compileMessage.empty())
        compileMessage = "正規表現が正しくありません";
    job->search.SetLineBreak(searchedPane.LineEndingText());
}

PaneRegexFinder::~PaneRegexFinder() = default;

// A worker left behind keeps its job; this command has none any more.
PaneRegexFinder::Outcome PaneRegexFinder::RunJob(Window& owner)
{
    if (job->abandoned)
        return Outcome::Stopped;
    job->search.Forget(); // the pane may have changed since the last run
    job->text = pane.Bytes();
    job->stop = false;
    job->reached = 0;
    WorkerWait wait;
    switch (wait.Run(owner, job, "検索しています", "「" + shownPattern + "」", true)) {
    case WorkerWait::End::Done:
        return job->outcome;
    case WorkerWait::End::NotStarted:
        return Outcome::NoMemory;
    default:
        job->abandoned = true;
        return Outcome::Stopped;
    }
}

PaneRegexFinder::Outcome PaneRegexFinder::Find(Window& owner, size_t from, bool upward, Span* found, bool emptyThere)
{
    job->kind = upward ? Job::Kind::Backward : Job::Kind::Forward;
    job->from = from;
    job->emptyThere = emptyThere;
    const Outcome outcome = RunJob(owner);
    *found = job->found;
    return outcome;
}

PaneRegexFinder::Outcome PaneRegexFinder::MatchesExactly(size_t start, size_t end)
{
    if (job->abandoned)
        return Outcome::Stopped;
    job->search.Forget();
    return job->search.MatchesExactly(pane.Bytes(), start, end);
}

bool PaneRegexFinder::Expand(const std::string& replacement, std::string* out, std::string* message)
{
    return !job->abandoned && job->search.Expand(replacement, out, message);
}

PaneRegexFinder::Outcome PaneRegexFinder::ReplaceAll(Window& owner, const std::string& replacement, Replaced* out,
                                                     std::string* message)
{
    job->kind = Job::Kind::ReplaceAll;
    job->replacement = replacement;
    job->replaced = Replaced();
    job->message.clear();
    const Outcome outcome = RunJob(owner);
    if (outcome == Outcome::Stopped)
        return outcome;
    *message = job->message;
    *out = std::move(job->replaced);
    return outcome;
}
