#include "app/search/RegexSearch.h"

#include <algorithm>
#include <new>

#include "util/TextSearch.h"

namespace {

// About a megabyte decoded at a time; a match still unfinished at the end of
// ever larger stretches is settled within MaxStretchSize.
constexpr size_t StretchSize = 1u << 20;
constexpr size_t MaxStretchSize = 32u << 20;
// How far a stretch looks back for its line's start (for ^ and look-behind)
// and on for its line's end before it settles for a cut.
constexpr size_t LineReach = 64 * 1024;
// How many units of whole lines grep's search looks at in one call.
constexpr size_t LinesWindow = 64 * 1024;
constexpr unsigned Utf8CodePage = 65001;

bool IsBreak(char c)
{
    return c == '\n' || c == '\r';
}

bool IsLineStart(std::string_view text, size_t pos)
{
    return pos == 0 || IsBreak(text[pos - 1]);
}

bool IsLineEnd(std::string_view text, size_t pos)
{
    return pos >= text.size() || IsBreak(text[pos]);
}

// The start of pos's line when it lies within reach, else pos.
size_t LineStartNear(std::string_view text, size_t pos)
{
    const size_t least = pos > LineReach ? pos - LineReach : 0;
    for (size_t at = pos; at > least; --at) {
        if (IsBreak(text[at - 1]))
            return at;
    }
    return least == 0 ? 0 : pos;
}

// The last character start at or before pos, counting from start (one).
size_t CharacterStartBefore(std::string_view text, size_t start, size_t pos, unsigned codePage)
{
    if (codePage == Utf8CodePage) {
        while (pos > start && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80)
            --pos;
        return pos;
    }
    const auto& lead = TextSearch::ProcessLeadBytes();
    size_t at = start;
    while (at < pos) {
        const size_t next = at + (lead[static_cast<unsigned char>(text[at])] ? 2 : 1);
        if (next > pos)
            break;
        at = next;
    }
    return at;
}

// Where a stretch from start of about size bytes ends: after the line break
// that follows, when one is within reach, else at a character start.
size_t StretchEnd(std::string_view text, size_t start, size_t size, unsigned codePage)
{
    if (text.size() - start <= size)
        return text.size();
    const size_t end = start + size;
    const size_t limit = std::min(text.size(), end + LineReach);
    for (size_t at = end; at < limit; ++at) {
        if (text[at] == '\n')
            return at + 1;
        if (text[at] == '\r')
            return at + 1 < text.size() && text[at + 1] == '\n' ? at + 2 : at + 1;
    }
    return CharacterStartBefore(text, start, end, codePage);
}

// The replacement with each \n escape written as the document's own line
// break, so a replaced text keeps one kind of line end; other escapes stay
// for the engine.
std::u16string WithLineBreak(const std::u16string& replacement, const std::string& lineBreak)
{
    if (lineBreak == "\n")
        return replacement;
    std::u16string out;
    for (size_t at = 0; at < replacement.size(); ++at) {
        if (replacement[at] == u'\\' && at + 1 < replacement.size()) {
            if (replacement[at + 1] == u'n') {
                out.append(lineBreak.begin(), lineBreak.end());
            } else {
                out += replacement[at];
                out += replacement[at + 1];
            }
            ++at;
            continue;
        }
        out += replacement[at];
    }
    return out;
}

// Constructs that can match a line alone but not the same line among
// others: subject assertions (\A \z \Z \G \K), groups with options,
// look-arounds, atomic groups and verbs, possessive quantifiers. Looked for
// without parsing, so an escaped one counts too; that only costs speed.
bool MatchesLinesAtOnce(std::u16string_view pattern, const SearchOptions& options)
{
    if (options.wholeWord)
        return false;
    for (size_t at = 0; at + 1 < pattern.size(); ++at) {
        const char16_t c = pattern[at];
        const char16_t next = pattern[at + 1];
        if (c == u'\\' && (next == u'A' || next == u'z' || next == u'Z' || next == u'G' || next == u'K'))
            return false;
        if (c == u'(' && (next == u'?' || next == u'*'))
            return false;
        if (next == u'+' && (c == u'*' || c == u'+' || c == u'?' || c == u'}'))
            return false;
    }
    return true;
}

size_t NextUnit(std::u16string_view units, size_t at)
{
    const bool pair = at + 1 < units.size() && units[at] >= 0xD800 && units[at] <= 0xDBFF;
    return at + (pair ? 2 : 1);
}

} // namespace

bool RegexSearch::Compile(const std::string& text, const SearchOptions& options, unsigned textCodePage,
                          std::string* message)
{
    codePage = textCodePage;
    decoded = false;
    const std::u16string units = Utf16Text::FromBytes(text, 932);
    linesAtOnce = MatchesLinesAtOnce(units, options);
    return pattern.Compile(units, options, message);
}

// Decodes [start, end) unless it is what is held already.
bool RegexSearch::Prepare(std::string_view text, size_t start, size_t end, bool startsLine)
{
    bounds = stretchBounds = {startsLine, end == text.size(), IsLineEnd(text, end)};
    if (decoded && textData == text.data() && textSize == text.size() && stretchStart == start && stretchEnd == end)
        return true;
    textData = text.data();
    textSize = text.size();
    stretchStart = start;
    stretchEnd = end;
    decoded = stretch.Decode(text.substr(start, end - start), codePage, start);
    return decoded;
}

RegexSearch::Span RegexSearch::ToBytes(const RegexPattern::Span& span) const
{
    return {stretch.ByteOffset(span.start), stretch.ByteOffset(span.end)};
}

// Decodes the stretch range() finds, reading the text only as the guard
// allows.
RegexSearch::Outcome RegexSearch::PrepareGuarded(const Guard* given, std::string_view text,
                                                 const std::function<std::pair<size_t, size_t>()>& range)
{
    const Guard guard = given != nullptr ? *given : Guard();
    std::unique_lock<std::mutex> lock;
    if (guard.reading != nullptr)
        lock = std::unique_lock<std::mutex>(*guard.reading);
    if (guard.stop != nullptr && *guard.stop)
        return Outcome::Stopped;
    const auto [start, end] = range();
    if (guard.reached != nullptr)
        *guard.reached = start;
    return Prepare(text, start, end, IsLineStart(text, start)) ? Outcome::Found : Outcome::NoMemory;
}

RegexSearch::Outcome RegexSearch::FindForward(std::string_view text, size_t from, Span* found, const Guard* guard)
{
    if (from > text.size())
        return Outcome::NotFound;
    // The stretch held already serves when from lies inside it.
    bool held = decoded && textData == text.data() && textSize == text.size() && stretchStart <= from &&
                (from < stretchEnd || from == text.size());
    for (size_t size = StretchSize;; held = false) {
        if (held) {
            bounds = stretchBounds;
        } else {
            const Outcome prepared = PrepareGuarded(guard, text, [&] {
                const size_t start = LineStartNear(text, from);
                return std::pair{start, StretchEnd(text, start, size, codePage)};
            });
            if (prepared != Outcome::Found)
                return prepared;
        }
        if (size > MaxStretchSize)
            bounds.endsText = true; // settle: what fits is the match
        RegexPattern::Span span;
        switch (pattern.Find(stretch.Units(), stretch.UnitAt(from), bounds, &span)) {
        case RegexPattern::Outcome::Found:
            *found = ToBytes(span);
            return Outcome::Found;
        case RegexPattern::Outcome::NotFound:
            if (stretchEnd == text.size())
                return Outcome::NotFound;
            from = stretchEnd;
            size = StretchSize;
            break;
        case RegexPattern::Outcome::Partial: {
            // Again from where the unfinished match began, with more text
            // after it; from the same place, with twice as much.
            const size_t begun = stretch.ByteOffset(span.start);
            size = begun > from ? StretchSize : size * 2;
            from = begun;
            break;
        }
        case RegexPattern::Outcome::Limit:
            return FindLimitLine(stretch.UnitAt(from), found);
        }
    }
}

// The whole stretch failed on the engine's limits: its lines are tried one
// by one from `from`, for a match before the trouble or the line it is in.
RegexSearch::Outcome RegexSearch::FindLimitLine(size_t from, Span* found)
{
    const std::u16string& units = stretch.Units();
    size_t lineStart = from;
    while (lineStart > 0 && units[lineStart - 1] != u'\n' && units[lineStart - 1] != u'\r')
        --lineStart;
    const size_t troubleLine = lineStart;
    while (lineStart <= units.size()) {
        size_t lineEnd = lineStart;
        while (lineEnd < units.size() && units[lineEnd] != u'\n' && units[lineEnd] != u'\r')
            ++lineEnd;
        const std::u16string_view line(units.data() + lineStart, lineEnd - lineStart);
        const RegexPattern::Bounds lineBounds{lineStart > 0 || bounds.startsLine, true, true};
        RegexPattern::Span span;
        const RegexPattern::Outcome outcome =
            pattern.Find(line, std::max(from, lineStart) - lineStart, lineBounds, &span);
        if (outcome == RegexPattern::Outcome::Found) {
            // Matched again in the stretch, whose groups Expand reads.
            const RegexPattern::Span inLine{lineStart + span.start, lineStart + span.end};
            if (pattern.MatchAt(units, inLine.start, lineBounds, &span) != RegexPattern::Outcome::Found)
                span = inLine;
            *found = ToBytes(span);
            return Outcome::Found;
        }
        if (outcome != RegexPattern::Outcome::NotFound) {
            found->start = found->end = stretch.ByteOffset(lineStart);
            return Outcome::Limit;
        }
        if (lineEnd == units.size())
            break;
        lineStart = lineEnd + (units[lineEnd] == u'\r' && lineEnd + 1 < units.size() && units[lineEnd + 1] == u'\n' ? 2 : 1);
    }
    found->start = found->end = stretch.ByteOffset(troubleLine);
    return Outcome::Limit;
}

RegexSearch::Outcome RegexSearch::FindBackward(std::string_view text, size_t end, Span* found, const Guard* guard)
{
    end = std::min(end, text.size());
    for (;;) {
        const Outcome prepared = PrepareGuarded(guard, text, [&] {
            return std::pair{end > StretchSize ? LineStartNear(text, end - StretchSize) : size_t{0}, end};
        });
        if (prepared != Outcome::Found)
            return prepared;
        bounds.endsText = true; // a match must end by `end`
        const std::u16string& units = stretch.Units();
        RegexPattern::Span last{SIZE_MAX, 0};
        for (size_t at = 0; at <= units.size();) {
            RegexPattern::Span span;
            const RegexPattern::Outcome outcome = pattern.Find(units, at, bounds, &span);
            if (outcome == RegexPattern::Outcome::Limit)
                return FindLimitLine(at, found);
            if (outcome != RegexPattern::Outcome::Found)
                break;
            last = span;
            at = span.end > span.start ? span.end : NextUnit(units, span.start);
        }
        if (last.start != SIZE_MAX) {
            pattern.MatchAt(units, last.start, bounds, &last); // its groups for Expand
            *found = ToBytes(last);
            return Outcome::Found;
        }
        if (stretchStart == 0)
            return Outcome::NotFound;
        end = stretchStart;
    }
}

RegexSearch::Outcome RegexSearch::MatchesExactly(std::string_view text, size_t start, size_t end)
{
    if (start > end || end > text.size())
        return Outcome::NotFound;
    size_t lineEnd = end;
    while (lineEnd < text.size() && lineEnd - end < LineReach && !IsBreak(text[lineEnd]))
        ++lineEnd;
    lineEnd = CharacterStartBefore(text, end, lineEnd, codePage);
    const size_t lineStart = LineStartNear(text, start);
    if (!Prepare(text, lineStart, lineEnd, IsLineStart(text, lineStart)))
        return Outcome::NoMemory;
    bounds.endsText = true;
    RegexPattern::Span span;
    const RegexPattern::Outcome outcome = pattern.MatchAt(stretch.Units(), stretch.UnitAt(start), bounds, &span);
    if (outcome == RegexPattern::Outcome::Limit)
        return Outcome::Limit;
    const bool exact = outcome == RegexPattern::Outcome::Found && ToBytes(span).start == start &&
                       ToBytes(span).end == end;
    return exact ? Outcome::Found : Outcome::NotFound;
}

bool RegexSearch::Expand(const std::string& replacement, std::string* out, std::string* message)
{
    try {
        if (!pattern.Expand(stretch.Units(), WithLineBreak(Utf16Text::FromBytes(replacement, 932), lineBreak),
                            &expanded, message))
            return false;
        *out = Utf16Text::Encode(expanded, codePage);
        return true;
    } catch (const std::bad_alloc&) {
        *message = "メモリが足りません";
        return false;
    }
}

// Many lines are searched at once. A match within one line is what that
// line alone gives, since the pattern behaves alike there (see
// MatchesLinesAtOnce); one that runs across a line end is only a hint: its
// line is then searched alone, which decides. One engine call per matching
// line instead of one per line; at the engine's limit the lines from there
// on are searched one by one, to name the line.
RegexSearch::Outcome RegexSearch::SearchLines(std::string_view lines, const LineMatch& onLine, size_t* limitLine)
{
    decoded = false; // the stretch is used without offsets
    if (!stretch.Decode(lines, codePage, 0, false))
        return Outcome::NoMemory;
    const std::u16string& units = stretch.Units();
    LinePlace at;
    if (!linesAtOnce)
        return SearchEachLine(lines, &at, SIZE_MAX, onLine, limitLine);
    for (;;) {
        // A window of whole lines at a time: an attempt that runs on across
        // line ends without matching (a[^x]*b where no b follows) costs the
        // window, not the whole block, for each place it starts.
        const size_t reach = std::min(units.size(), at.unit + LinesWindow);
        const size_t windowBreak = units.find(u'\n', reach);
        const size_t windowEnd = windowBreak == std::u16string::npos ? units.size() : windowBreak;
        RegexPattern::Span span;
        const RegexPattern::Outcome outcome =
            pattern.Find(std::u16string_view(units.data(), windowEnd), at.unit, {}, &span);
        if (outcome == RegexPattern::Outcome::NotFound) {
            if (windowEnd == units.size())
                return Outcome::NotFound;
            MoveToLine(lines, &at, windowEnd + 1);
            continue;
        }
        if (outcome != RegexPattern::Outcome::Found)
            return SearchEachLine(lines, &at, SIZE_MAX, onLine, limitLine);
        size_t lineStart = span.start;
        while (lineStart > at.unit && units[lineStart - 1] != u'\n')
            --lineStart;
        MoveToLine(lines, &at, lineStart);
        const auto matchEnd = units.begin() + static_cast<std::ptrdiff_t>(span.end);
        const Outcome one = std::find(units.begin() + span.start, matchEnd, u'\n') == matchEnd
                                ? ReportLine(lines, &at, span.start, onLine)
                                : SearchEachLine(lines, &at, 1, onLine, limitLine);
        if (one != Outcome::NotFound || at.unit > units.size())
            return one;
    }
}

// `at` moves on to the line that starts at unit lineStart.
void RegexSearch::MoveToLine(std::string_view lines, LinePlace* at, size_t lineStart) const
{
    const std::u16string& units = stretch.Units();
    for (auto passed = std::count(units.begin() + at->unit, units.begin() + lineStart, u'\n'); passed > 0; --passed) {
        at->byte = ::FindByte(lines, at->byte, '\n') + 1;
        ++at->index;
    }
    at->unit = lineStart;
}

// The line at `at` holds a match from unit matchStart; `at` moves past it.
RegexSearch::Outcome RegexSearch::ReportLine(std::string_view lines, LinePlace* at, size_t matchStart,
                                             const LineMatch& onLine)
{
    const std::u16string& units = stretch.Units();
    const size_t unitBreak = units.find(u'\n', matchStart);
    const size_t unitEnd = unitBreak == std::u16string::npos ? units.size() : unitBreak;
    const size_t byteBreak = ::FindByte(lines, at->byte, '\n');
    const size_t byteEnd = byteBreak == TextSearch::npos ? lines.size() : byteBreak;
    const std::u16string_view before(units.data() + at->unit, matchStart - at->unit);
    if (!onLine(at->index, at->byte, byteEnd, Utf16Text::CountCharacters(before) + 1))
        return Outcome::Found;
    at->unit = unitEnd + 1;
    at->byte = byteEnd + 1;
    ++at->index;
    return Outcome::NotFound;
}

// Up to count lines from `at`, each on its own; `at` moves past them, past
// the units' end once the last line is done.
RegexSearch::Outcome RegexSearch::SearchEachLine(std::string_view lines, LinePlace* at, size_t count,
                                                 const LineMatch& onLine, size_t* limitLine)
{
    const std::u16string& units = stretch.Units();
    for (; count > 0; --count) {
        const size_t unitBreak = units.find(u'\n', at->unit);
        const size_t unitEnd = unitBreak == std::u16string::npos ? units.size() : unitBreak;
        const size_t byteBreak = ::FindByte(lines, at->byte, '\n');
        const size_t byteEnd = byteBreak == TextSearch::npos ? lines.size() : byteBreak;
        RegexPattern::Span span;
        const std::u16string_view line(units.data() + at->unit, unitEnd - at->unit);
        switch (pattern.Find(line, 0, {}, &span)) {
        case RegexPattern::Outcome::Found:
            if (!onLine(at->index, at->byte, byteEnd, Utf16Text::CountCharacters(line.substr(0, span.start)) + 1))
                return Outcome::Found;
            break;
        case RegexPattern::Outcome::NotFound:
            break;
        default:
            *limitLine = at->index;
            return Outcome::Limit;
        }
        at->unit = unitEnd + 1;
        at->byte = byteEnd + 1;
        ++at->index;
        if (unitEnd == units.size())
            break;
    }
    return Outcome::NotFound;
}

// The stretch is decoded without offsets; from and to are found as the
// lengths of what lies before and after them, decoded alone (a character
// decodes alike wherever its text starts).
RegexSearch::Outcome RegexSearch::FindInLinePiece(std::string_view piece, size_t from, size_t to, bool startsLine,
                                                  bool endsLine, size_t* column)
{
    decoded = false;
    Utf16Text part;
    if (!stretch.Decode(piece, codePage, 0, false) || !part.Decode(piece.substr(0, from), codePage, 0, false))
        return Outcome::NoMemory;
    const size_t unitFrom = part.Units().size();
    if (!part.Decode(piece.substr(to), codePage, 0, false))
        return Outcome::NoMemory;
    const std::u16string& units = stretch.Units();
    const size_t unitTo = units.size() - part.Units().size();
    RegexPattern::Span span;
    switch (pattern.Find(units, unitFrom, {startsLine, true, endsLine}, &span)) {
    case RegexPattern::Outcome::Found:
        if (span.start >= unitTo)
            return Outcome::NotFound;
        *column = Utf16Text::CountCharacters(std::u16string_view(units.data(), span.start)) + 1;
        return Outcome::Found;
    case RegexPattern::Outcome::NotFound:
        return Outcome::NotFound;
    default:
        return Outcome::Limit;
    }
}
