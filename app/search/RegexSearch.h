// RegexSearch: a regular expression run over text in the document's own
// bytes (code page 932 or UTF-8), the search that find, replace and grep
// share. The text is decoded to UTF-16 a stretch of about a megabyte at a
// time, so a large document never needs its whole UTF-16 form; a match that
// runs past a stretch's end is finished in the next one, and offsets in and
// out are byte offsets of the text. A stretch is kept between calls, so
// going through the matches of a text one after another decodes it once.
// One object is used by one thread at a time.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>

#include "app/search/RegexPattern.h"
#include "app/search/Utf16Text.h"

class RegexSearch {
public:
    enum class Outcome { Found, NotFound, Limit, Stopped, NoMemory };

    // A match, or for Limit the start of the line where the engine gave up.
    struct Span {
        size_t start = 0;
        size_t end = 0;
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

    // The first match starting at or after byte `from`.
    Outcome FindForward(std::string_view text, size_t from, Span* found, const Guard* guard = nullptr);
    // The last match that ends at or before byte `end`, for an upward search.
    Outcome FindBackward(std::string_view text, size_t end, Span* found, const Guard* guard = nullptr);
    // Whether [start, end) is what a match starting at `start` takes.
    Outcome MatchesExactly(std::string_view text, size_t start, size_t end);
    // The text changed: nothing decoded from it may be used again.
    void Forget() { decoded = false; }

    // The replacement (code page 932, as typed) for the match the last call
    // found, in the text's bytes; \n in it stands for lineBreak. False with
    // message set when it is not valid.
    bool Expand(const std::string& replacement, std::string* out, std::string* message);
    void SetLineBreak(const std::string& bytes) { lineBreak = bytes; }

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
    bool Prepare(std::string_view text, size_t start, size_t end, bool startsLine);
    Outcome PrepareGuarded(const Guard* guard, std::string_view text,
                           const std::function<std::pair<size_t, size_t>()>& range);
    Outcome FindLimitLine(size_t from, Span* found);
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
    std::u16string expanded;
    std::string lineBreak = "\n";
    // Whether SearchLines may look for a match in many lines at once: no
    // part of the pattern behaves differently at a subject's ends than at a
    // line's, so a line that matches alone matches there too.
    bool linesAtOnce = false;
};
