// RegexSearch: a regular expression run over text in the document's own
// bytes (code page 932 or UTF-8), the search that find, replace and grep
// share. The text is decoded to UTF-16 a stretch of about a megabyte at a
// time, so a large document never needs its whole UTF-16 form; a match that
// runs past a stretch's end is finished in the next one, and offsets in and
// out are byte offsets of the text. A stretch is not the text: it starts on
// a character, with the characters before it that the pattern may look
// back at, so \A, \z, look-arounds and \b answer as on the whole text. A
// stretch is kept between calls, so going through the matches of a text one
// after another decodes it once. One object is used by one thread at a time.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "app/search/RegexPattern.h"
#include "app/search/RegexReplacement.h"
#include "app/search/Utf16Text.h"

class RegexSearch {
public:
    enum class Outcome { Found, NotFound, Limit, Stopped, NoMemory };

    // A match, or for Limit the start of the line where the engine gave up.
    struct Span {
        size_t start = 0;
        size_t end = 0;
    };

    // Every match replaced, kept to the span from the first match to the
    // end of the last one: that span alone goes back into the text.
    struct Replaced {
        // A place between two matches, one about every CutBytes of span,
        // where span can go back into the text piece by piece: a byte of
        // the text and the byte of span that stands for it.
        struct Cut {
            size_t text = 0;
            size_t span = 0;
        };
        static constexpr size_t CutBytes = size_t{1} << 20;

        // After a match's replacement joined span; matchEnd is where the
        // match ends in the text.
        void MatchReplaced(size_t matchEnd);

        size_t count = 0;
        size_t start = 0;
        size_t end = 0;
        std::string span;
        std::vector<Cut> cuts;
    };

    // pattern is code page 932, as the user typed it; the texts searched
    // are of codePage. False with message set when it does not compile.
    bool Compile(const std::string& pattern, const SearchOptions& options, unsigned codePage, std::string* message);

    // For a search on a worker thread: the text is read only under
    // `reading`, and only while `stop` is not set; `reached` tells how far
    // the search got. Any of them may be null.
    struct Guard {
        const std::atomic<bool>* stop = nullptr;
        std::mutex* reading = nullptr;
        std::atomic<size_t>* reached = nullptr;
    };

    // The first match starting at or after byte `from`. Without
    // emptyAtFrom an empty match at `from` does not count (one was found
    // there last): the search goes on after the character there, or after
    // the whole CR LF.
    Outcome FindForward(std::string_view text, size_t from, Span* found, const Guard* guard = nullptr,
                        bool emptyAtFrom = true);
    // The last match that ends at or before byte `end`, for an upward
    // search: of the matches a walk down from a line start meets, judged
    // on the whole text. Without emptyAtEnd an empty match at `end` does not
    // count.
    Outcome FindBackward(std::string_view text, size_t end, Span* found, const Guard* guard = nullptr,
                         bool emptyAtEnd = true);
    // Whether [start, end) is what a match starting at `start` takes.
    Outcome MatchesExactly(std::string_view text, size_t start, size_t end);
    // The text changed: nothing decoded from it may be used again.
    void Forget() { decoded = false; }

    // The replacement (code page 932, as typed) for the match the last call
    // found, in the text's bytes: its groups are the text's own bytes, \n in
    // it stands for lineBreak. False with message set when it is not valid.
    bool Expand(const std::string& replacement, std::string* out, std::string* message);
    void SetLineBreak(const std::string& bytes)
    {
        lineBreak = bytes;
        read = false;
    }

    // Every match of the text, walked as FindForward walks them, replaced;
    // the text is read only as the guard allows. NotFound with message set
    // when the replacement is not valid; on Limit, out->start is where the
    // engine gave up.
    Outcome ReplaceAll(std::string_view text, const std::string& replacement, Replaced* out, std::string* message,
                       const Guard* guard = nullptr);

    // Each line of lines (whole lines separated by "\n", a "\r" before it
    // belonging to its line) is searched on its own, so no match crosses a
    // line end: onLine(index, start, end, column) for each line that holds a
    // match, with the 1-based column in characters of its first match. On
    // Limit, limitLine is the index of the line. onLine returns false to end.
    using LineMatch = std::function<bool(size_t index, size_t start, size_t end, size_t column)>;
    Outcome SearchLines(std::string_view lines, const LineMatch& onLine, size_t* limitLine);
    // A piece of one line too long to search whole: whether a match starts
    // in [from, to). The bytes around that are context only (look-around,
    // \b); the piece's start is a line start only when startsLine, its end a
    // line end only when endsLine. column receives the match's 1-based
    // column from the piece's start, in characters.
    Outcome FindInLinePiece(std::string_view piece, size_t from, size_t to, bool startsLine, bool endsLine,
                            size_t* column);

private:
    // How one search goes: from where, whether only a match starting there
    // counts, whether an empty one there does, and past which byte no
    // match need start.
    struct Attempt {
        size_t from = 0;
        bool anchored = false;
        bool emptyAtFrom = true;
        size_t until = SIZE_MAX;
    };
    Outcome Search(std::string_view text, Attempt attempt, Span* found, const Guard* guard);
    bool Holds(std::string_view text, size_t from) const;
    size_t StretchStart(std::string_view text, size_t from) const;
    Outcome WalkBack(std::string_view text, size_t regionStart, size_t regionEnd, size_t end, bool emptyAtEnd,
                     Span* found, const Guard* guard);
    bool ExpandInto(const std::string& replacement, std::string* out, std::string* message);
    bool Prepare(std::string_view text, size_t start, size_t end, bool startsLine);
    Outcome Guarded(const Guard* guard, const std::function<Outcome()>& read);
    Outcome PrepareGuarded(const Guard* guard, std::string_view text,
                           const std::function<std::pair<size_t, size_t>()>& range);
    Outcome FindLimitLine(size_t from, bool emptyAtFrom, Span* found);
    // A line start in SearchLines: in the units, in the bytes, its index.
    struct LinePlace {
        size_t unit = 0;
        size_t byte = 0;
        size_t index = 0;
    };
    Outcome SearchEachLine(std::string_view lines, LinePlace* at, size_t count, const LineMatch& onLine,
                           size_t* limitLine);
    Outcome ReportLine(std::string_view lines, LinePlace* at, size_t matchStart, const LineMatch& onLine);
    void MoveToLine(std::string_view lines, LinePlace* at, size_t lineStart) const;
    Span ToBytes(const RegexPattern::Span& span) const;

    RegexPattern pattern;
    unsigned codePage = 932;
    // The decoded stretch [stretchStart, stretchEnd) of the text at textData.
    Utf16Text stretch;
    const char* textData = nullptr;
    size_t textSize = 0;
    size_t stretchStart = 0;
    size_t stretchEnd = 0;
    // The held stretch's own bounds, and those of the search under way
    // (which may treat the stretch's end as the text's).
    RegexPattern::Bounds stretchBounds;
    RegexPattern::Bounds bounds;
    bool decoded = false;
    // Bytes a stretch keeps before the place a search starts from.
    size_t lookBehindBytes = 4;
    std::string lineBreak = "\n";
    // The replacement read last, kept while it and the line break stay.
    RegexReplacement replacementRead;
    std::string readFrom;
    bool read = false;
    // Whether SearchLines may look for a match in many lines at once: no
    // part of the pattern behaves differently at a subject's ends than at a
    // line's, so a line that matches alone matches there too.
    bool linesAtOnce = false;
};
