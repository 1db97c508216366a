#include "app/search/RegexSearch.h"

#include <algorithm>
#include <new>

#include "util/TextSearch.h"

namespace {

// About a megabyte decoded at a time; a match still unfinished at the end of
// ever larger stretches is settled within MaxStretchSize.
constexpr size_t StretchSize = 1u << 20;
constexpr size_t MaxStretchSize = 32u << 20;
// How far an upward search looks back for a line start to walk down from,
// and a stretch on for its line's end before it settles for a cut.
constexpr size_t LineReach = 64 * 1024;
// How many units of whole lines grep's search looks at in one call.
constexpr size_t LinesWindow = 64 * 1024;
constexpr unsigned Utf8CodePage = 65001;
// The most bytes one character takes in either encoding.
constexpr size_t MaxCharacterBytes = 4;

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

// The start of the character byte pos belongs to. In code page 932 a byte
// that cannot lead ends a character, so the lead bytes after it pair off.
size_t CharacterStart(std::string_view text, size_t pos, unsigned codePage)
{
    if (pos >= text.size())
        return text.size();
    if (codePage == Utf8CodePage) {
        for (int back = 0; back < 3 && pos > 0 && (static_cast<unsigned char>(text[pos]) & 0xC0) == 0x80; ++back)
            --pos;
        return pos;
    }
    const auto& lead = TextSearch::ProcessLeadBytes();
    size_t at = pos;
    while (at > 0 && lead[static_cast<unsigned char>(text[at - 1])])
        --at;
    return (pos - at) % 2 == 0 ? pos : pos - 1;
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
    return CharacterStart(text, end, codePage);
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

} // namespace

bool RegexSearch::Compile(const std::string& text, const SearchOptions& options, unsigned textCodePage,
                          std::string* message)
{
    codePage = textCodePage;
    decoded = false;
    read = false;
    const std::u16string units = Utf16Text::FromBytes(text, 932);
    linesAtOnce = MatchesLinesAtOnce(units, options);
    if (!pattern.Compile(units, options, message))
        return false;
    lookBehindBytes = pattern.LookBehind() * MaxCharacterBytes;
    return true;
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

// Runs read() while the guard allows reading the text; Stopped when the
// search is to end.
RegexSearch::Outcome RegexSearch::Guarded(const Guard* given, const std::function<Outcome()>& read)
{
    const Guard guard = given != nullptr ? *given : Guard();
    std::unique_lock<std::mutex> lock;
    if (guard.reading != nullptr)
        lock = std::unique_lock<std::mutex>(*guard.reading);
    if (guard.stop != nullptr && *guard.stop)
        return Outcome::Stopped;
    return read();
}

// Decodes the stretch range() finds.
RegexSearch::Outcome RegexSearch::PrepareGuarded(const Guard* guard, std::string_view text,
                                                 const std::function<std::pair<size_t, size_t>()>& range)
{
    return Guarded(guard, [&] {
        const auto [start, end] = range();
        if (guard != nullptr && guard->reached != nullptr)
            *guard->reached = start;
        return Prepare(text, start, end, IsLineStart(text, start)) ? Outcome::Found : Outcome::NoMemory;
    });
}

// Whether the held stretch serves a search from byte `from`: it holds from
// and, unless it starts the text, what the pattern may look back at.
bool RegexSearch::Holds(std::string_view text, size_t from) const
{
    if (!decoded || textData != text.data() || textSize != text.size() || from < stretchStart)
        return false;
    if (from >= stretchEnd && !(from == text.size() && stretchEnd == text.size()))
        return false;
    return stretchStart == 0 || from - stretchStart >= lookBehindBytes;
}

size_t RegexSearch::StretchStart(std::string_view text, size_t from) const
{
    return from <= lookBehindBytes ? 0 : CharacterStart(text, from - lookBehindBytes, codePage);
}

RegexSearch::Outcome RegexSearch::FindForward(std::string_view text, size_t from, Span* found, const Guard* guard,
                                              bool emptyAtFrom)
{
    return Search(text, {from, false, emptyAtFrom}, found, guard);
}

RegexSearch::Outcome RegexSearch::Search(std::string_view text, Attempt attempt, Span* found, const Guard* guard)
{
    if (attempt.from > text.size())
        return Outcome::NotFound;
    // Enough to reach `until` at once, when it is near.
    size_t size = attempt.until == SIZE_MAX ? StretchSize
                                            : std::clamp(attempt.until - std::min(attempt.until, attempt.from),
                                                         StretchSize, 2 * StretchSize);
    for (bool held = Holds(text, attempt.from);; held = false) {
        if (held) {
            bounds = stretchBounds;
        } else {
            const Outcome prepared = PrepareGuarded(guard, text, [&] {
                return std::pair{StretchStart(text, attempt.from), StretchEnd(text, attempt.from, size, codePage)};
            });
            if (prepared != Outcome::Found)
                return prepared;
        }
        if (size > MaxStretchSize)
            bounds.endsText = true; // settle: what fits is the match
        const size_t from = stretch.UnitAt(attempt.from);
        RegexPattern::Span span;
        const RegexPattern::Outcome outcome =
            attempt.anchored ? pattern.MatchAt(stretch.Units(), from, bounds, &span, attempt.emptyAtFrom)
                             : pattern.Find(stretch.Units(), from, bounds, &span, attempt.emptyAtFrom);
        switch (outcome) {
        case RegexPattern::Outcome::Found:
            *found = ToBytes(span);
            return Outcome::Found;
        case RegexPattern::Outcome::NotFound:
            if (attempt.anchored || stretchEnd == text.size() || stretchEnd > attempt.until)
                return Outcome::NotFound;
            attempt.from = stretchEnd;
            attempt.emptyAtFrom = true;
            size = StretchSize;
            break;
        case RegexPattern::Outcome::Partial: {
            // Again from where the unfinished match began, with more text
            // after it; from the same place, with twice as much.
            const size_t begun = std::max(stretch.ByteOffset(span.start), attempt.from);
            size = begun > attempt.from ? StretchSize : size * 2;
            attempt.emptyAtFrom = attempt.emptyAtFrom || begun > attempt.from;
            attempt.from = begun;
            break;
        }
        case RegexPattern::Outcome::Limit:
            return attempt.anchored ? Outcome::Limit : FindLimitLine(from, attempt.emptyAtFrom, found);
        }
    }
}

// The whole stretch failed on the engine's limits: its lines are tried one
// by one from `from`, for a match before the trouble or the line it is in.
// Each line is searched after all that comes before it, for looking back,
// and its match and groups are the stretch's.
RegexSearch::Outcome RegexSearch::FindLimitLine(size_t from, bool emptyAtFrom, Span* found)
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
        const std::u16string_view throughLine(units.data(), lineEnd);
        const RegexPattern::Bounds lineBounds{bounds.startsLine, true, true};
        const size_t start = std::max(from, lineStart);
        RegexPattern::Span span;
        const RegexPattern::Outcome outcome =
            pattern.Find(throughLine, start, lineBounds, &span, emptyAtFrom || start != from);
        if (outcome == RegexPattern::Outcome::Found) {
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

// A megabyte at a time from the end back, each walked down from a line
// start; a match may run on past its stretch, but not past `end`.
RegexSearch::Outcome RegexSearch::FindBackward(std::string_view text, size_t end, Span* found, const Guard* guard,
                                               bool emptyAtEnd)
{
    end = std::min(end, text.size());
    for (size_t regionEnd = end;;) {
        size_t regionStart = 0;
        if (regionEnd > StretchSize) {
            const Outcome read = Guarded(guard, [&] {
                regionStart = CharacterStart(text, LineStartNear(text, regionEnd - StretchSize), codePage);
                return Outcome::Found;
            });
            if (read != Outcome::Found)
                return read;
        }
        const Outcome walked = WalkBack(text, regionStart, regionEnd, end, emptyAtEnd, found, guard);
        if (walked != Outcome::NotFound || regionStart == 0)
            return walked;
        regionEnd = regionStart;
    }
}

// The last match of the walk from regionStart that starts by regionEnd and
// ends by `end`, found again at the last so that its groups are at hand.
RegexSearch::Outcome RegexSearch::WalkBack(std::string_view text, size_t regionStart, size_t regionEnd, size_t end,
                                           bool emptyAtEnd, Span* found, const Guard* guard)
{
    Attempt attempt{regionStart, false, true, regionEnd};
    Attempt last;
    bool any = false;
    for (;;) {
        Span span;
        const Outcome outcome = Search(text, attempt, &span, guard);
        if (outcome == Outcome::NotFound)
            break;
        if (outcome != Outcome::Found) {
            *found = span;
            return outcome;
        }
        if (span.start > regionEnd || span.end > end || (!emptyAtEnd && span.start == end && span.end == end))
            break;
        last = attempt;
        any = true;
        attempt.from = span.end;
        attempt.emptyAtFrom = span.end > span.start;
    }
    return any ? Search(text, last, found, guard) : Outcome::NotFound;
}

RegexSearch::Outcome RegexSearch::MatchesExactly(std::string_view text, size_t start, size_t end)
{
    if (start > end || end > text.size())
        return Outcome::NotFound;
    // A selection that is not empty was found past an empty match there
    // (as `|a` finds a): that empty match is not the one asked about.
    Span span;
    const Outcome outcome = Search(text, {start, true, start == end}, &span, nullptr);
    if (outcome != Outcome::Found)
        return outcome;
    return span.start == start && span.end == end ? Outcome::Found : Outcome::NotFound;
}

bool RegexSearch::Expand(const std::string& replacement, std::string* out, std::string* message)
{
    out->clear();
    return ExpandInto(replacement, out, message);
}

// Appends the replacement for the match found last.
bool RegexSearch::ExpandInto(const std::string& replacement, std::string* out, std::string* message)
{
    try {
        if (!read || readFrom != replacement) {
            read = replacementRead.Read(replacement, pattern, codePage, lineBreak, message);
            if (!read)
                return false;
            readFrom = replacement;
        }
        for (const RegexReplacement::Piece& piece : replacementRead.Pieces()) {
            RegexPattern::Span group;
            if (piece.group < 0) {
                out->append(piece.text);
            } else if (pattern.Group(static_cast<size_t>(piece.group), &group)) {
                const Span bytes = ToBytes(group);
                out->append(textData + bytes.start, bytes.end - bytes.start);
            }
        }
        return true;
    } catch (const std::bad_alloc&) {
        *message = "メモリが足りません";
        return false;
    }
}

// After an empty match the walk goes on past the character or CR LF there;
// after any other, from its end. What lies between matches, and the groups,
// are copied under the guard, like every other read of the text.
RegexSearch::Outcome RegexSearch::ReplaceAll(std::string_view text, const std::string& replacement, Replaced* out,
                                             std::string* message, const Guard* guard)
{
    size_t copied = 0;
    bool emptyAt = true;
    for (size_t at = 0; at <= text.size();) {
        Span match;
        const Outcome outcome = FindForward(text, at, &match, guard, emptyAt);
        if (outcome == Outcome::NotFound)
            break;
        if (outcome != Outcome::Found) {
            if (outcome == Outcome::Limit)
                out->start = match.start;
            return outcome;
        }
        const Outcome put = Guarded(guard, [&] {
            if (out->count == 0)
                out->start = copied = match.start;
            out->span.append(text.data() + copied, match.start - copied);
            return ExpandInto(replacement, &out->span, message) ? Outcome::Found : Outcome::NotFound;
        });
        if (put != Outcome::Found)
            return put;
        copied = match.end;
        out->MatchReplaced(copied);
        at = match.end;
        emptyAt = match.end > match.start;
    }
    return out->count == 0 ? Outcome::NotFound : Outcome::Found;
}

void RegexSearch::Replaced::MatchReplaced(size_t matchEnd)
{
    ++count;
    end = matchEnd;
    if (span.size() - (cuts.empty() ? 0 : cuts.back().span) >= CutBytes)
        cuts.push_back({matchEnd, span.size()});
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
