#include "util/TextSearch.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "framework/Win32.h"

namespace {

TextSearch::LeadBytes BuildProcessLeadBytes()
{
    TextSearch::LeadBytes table{};
    for (int c = 0; c < 256; ++c)
        table[c] = ::IsDBCSLeadByte(static_cast<BYTE>(c)) != FALSE;
    return table;
}

// Decides whether a candidate offset starts a character without walking the
// text from its beginning. A byte outside the lead range is never the first
// byte of a double-byte character, so a character starts right after it; from
// there the lead-range bytes pair up. A position is a start exactly when the
// run of lead-range bytes just before it has even length. The last run seen is
// remembered so that neither a forward nor a backward search rescans it.
class BoundaryCheck {
public:
    BoundaryCheck(std::string_view text, const TextSearch::LeadBytes& leadBytes)
        : bytes(reinterpret_cast<const unsigned char*>(text.data())), lead(leadBytes)
    {
    }

    bool IsStart(size_t pos)
    {
        if (!(known && runStart <= pos && pos <= runEnd)) {
            size_t j = pos;
            while (j > 0 && lead[bytes[j - 1]]) {
                if (known && j == runEnd) {
                    j = runStart;
                    break;
                }
                --j;
            }
            runStart = j;
            runEnd = pos;
            known = true;
        }
        return (pos - runStart) % 2 == 0;
    }

private:
    const unsigned char* bytes;
    const TextSearch::LeadBytes& lead;
    // [runStart, runEnd) are lead-range bytes and a character starts at runStart.
    bool known = false;
    size_t runStart = 0;
    size_t runEnd = 0;
};

// Case folding keeps lengths: ASCII A-Z become a-z, and the full-width
// Ａ-Ｚ (82 60-82 79 in code page 932) become ａ-ｚ (82 81-82 9A) by their
// trail byte alone. Lead bytes never change.
const unsigned char FullWidthLead = 0x82;
const unsigned char FullWidthUpperFirst = 0x60;
const unsigned char FullWidthUpperLast = 0x79;
const unsigned char FullWidthCaseStep = 0x21;

inline unsigned char FoldSingle(unsigned char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

inline unsigned char OtherCaseSingle(unsigned char c)
{
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - ('a' - 'A'));
    return FoldSingle(c);
}

inline unsigned char FoldTrail(unsigned char leadByte, unsigned char trail)
{
    const bool upper = leadByte == FullWidthLead && trail >= FullWidthUpperFirst &&
                       trail <= FullWidthUpperLast;
    return upper ? static_cast<unsigned char>(trail + FullWidthCaseStep) : trail;
}

inline unsigned char OtherCaseTrail(unsigned char leadByte, unsigned char trail)
{
    const bool lower = leadByte == FullWidthLead &&
                       trail >= FullWidthUpperFirst + FullWidthCaseStep &&
                       trail <= FullWidthUpperLast + FullWidthCaseStep;
    return lower ? static_cast<unsigned char>(trail - FullWidthCaseStep) : FoldTrail(leadByte, trail);
}

// ASCII letters, digits and the underscore make words.
inline bool IsWordByte(unsigned char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// Candidates are found eight window positions at a time: a word of the text
// at the window starts and one at the window ends are compared with the
// pattern's first and last bytes in every byte lane at once. The words are
// read least significant byte first, as x86 stores them.
const uint64_t laneOnes = 0x0101010101010101ull;
const uint64_t laneHighs = 0x8080808080808080ull;

inline uint64_t LoadWord(const unsigned char* p)
{
    uint64_t word;
    std::memcpy(&word, p, sizeof(word));
    return word;
}

// 0x80 in every lane that holds the byte spread over `filled`. A lane just
// above a true hit can be marked too (the borrow), never a true hit missed:
// every candidate is verified anyway.
inline uint64_t LanesEqual(uint64_t word, uint64_t filled)
{
    const uint64_t v = word ^ filled;
    return (v - laneOnes) & ~v & laneHighs;
}

}  // namespace

// One pattern against one text: which window starts of an eight-wide block
// hold the pattern's first and last bytes (in either case when folding), and
// whether a window really matches, on a character start and, for whole
// words, between non-word characters.
class WindowMatcher {
public:
    WindowMatcher(std::string_view text, const TextSearch& search)
        : t(reinterpret_cast<const unsigned char*>(text.data())), n(text.size()),
          p(reinterpret_cast<const unsigned char*>(search.pattern.data())),
          m(search.pattern.size()), last(m - 1), lead(*search.lead),
          folded(search.options.matchCase ? nullptr
                                          : reinterpret_cast<const unsigned char*>(search.folded.data())),
          firstOther(search.firstOther), lastOther(search.lastOther),
          firstLanes(laneOnes * p[0]), firstOtherLanes(laneOnes * firstOther),
          lastLanes(laneOnes * p[last]), lastOtherLanes(laneOnes * lastOther),
          wholeWord(search.options.wholeWord), endsOnCharacter(search.endsOnCharacter),
          boundary(text, lead)
    {
    }

    // 0x80 in lane i when window start block + i is a candidate.
    uint64_t Candidates(size_t block) const
    {
        const uint64_t starts = LoadWord(t + block);
        const uint64_t ends = LoadWord(t + block + last);
        uint64_t first = LanesEqual(starts, firstLanes);
        if (firstOther != p[0])
            first |= LanesEqual(starts, firstOtherLanes);
        uint64_t final = LanesEqual(ends, lastLanes);
        if (lastOther != p[last])
            final |= LanesEqual(ends, lastOtherLanes);
        return first & final;
    }

    bool Matches(size_t at)
    {
        const unsigned char a = t[at];
        const unsigned char z = t[at + last];
        if ((a != p[0] && a != firstOther) || (z != p[last] && z != lastOther))
            return false;
        const bool same = folded != nullptr
            ? FoldedEquals(at)
            : m <= 2 || std::memcmp(t + at + 1, p + 1, m - 2) == 0;
        return same && boundary.IsStart(at) && (!wholeWord || OnWordEdges(at));
    }

private:
    // The pattern's characters against the text's bytes at `at`, both folded.
    bool FoldedEquals(size_t at) const
    {
        for (size_t i = 0; i < m;) {
            const unsigned char c = t[at + i];
            if (lead[p[i]] && i + 1 < m) {
                if (c != p[i] || FoldTrail(c, t[at + i + 1]) != folded[i + 1])
                    return false;
                i += 2;
            } else {
                if (FoldSingle(c) != folded[i])
                    return false;
                ++i;
            }
        }
        return true;
    }

    // `at` starts a character. The byte before it is a word character only
    // when it is a character of its own, not the trail of a double-byte one.
    bool OnWordEdges(size_t at)
    {
        if (at > 0 && IsWordByte(t[at - 1]) && boundary.IsStart(at - 1))
            return false;
        const size_t end = at + m;
        return !(end < n && endsOnCharacter && IsWordByte(t[end]));
    }

    const unsigned char* t;
    size_t n;
    const unsigned char* p;
    size_t m;
    size_t last;
    const TextSearch::LeadBytes& lead;
    const unsigned char* folded;
    unsigned char firstOther;
    unsigned char lastOther;
    uint64_t firstLanes;
    uint64_t firstOtherLanes;
    uint64_t lastLanes;
    uint64_t lastOtherLanes;
    bool wholeWord;
    bool endsOnCharacter;
    BoundaryCheck boundary;
};

size_t FindByte(std::string_view text, size_t from, char byte)
{
    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const uint64_t filled = laneOnes * static_cast<unsigned char>(byte);
    const size_t n = text.size();
    size_t pos = from;
    while (pos < n && n - pos >= 8 && LanesEqual(LoadWord(t + pos), filled) == 0)
        pos += 8;
    while (pos < n && t[pos] != static_cast<unsigned char>(byte))
        ++pos;
    return pos < n ? pos : TextSearch::npos;
}

const TextSearch::LeadBytes& TextSearch::ProcessLeadBytes()
{
    static const LeadBytes table = BuildProcessLeadBytes();
    return table;
}

const TextSearch::LeadBytes& TextSearch::NoLeadBytes()
{
    static const LeadBytes table{};
    return table;
}

TextSearch::TextSearch(std::string_view pattern)
    : TextSearch(pattern, ProcessLeadBytes())
{
}

TextSearch::TextSearch(std::string_view patternText, const LeadBytes& leadBytes)
    : TextSearch(patternText, SearchOptions(), leadBytes)
{
}

TextSearch::TextSearch(std::string_view patternText, SearchOptions searchOptions)
    : TextSearch(patternText, searchOptions, ProcessLeadBytes())
{
}

// Walks the pattern once by its characters: its folded form, the other case
// of its first and last bytes, and whether it ends on a whole character.
TextSearch::TextSearch(std::string_view patternText, SearchOptions searchOptions,
                       const LeadBytes& leadBytes)
    : pattern(patternText), lead(&leadBytes), options(searchOptions), folded(patternText)
{
    const size_t m = pattern.size();
    if (m == 0)
        return;
    const auto byte = [this](size_t i) { return static_cast<unsigned char>(pattern[i]); };
    size_t lastStart = 0;
    for (size_t i = 0; i < m;) {
        lastStart = i;
        if (leadBytes[byte(i)]) {
            if (i + 1 == m) {
                endsOnCharacter = false;
                break;
            }
            folded[i + 1] = static_cast<char>(FoldTrail(byte(i), byte(i + 1)));
            i += 2;
        } else {
            folded[i] = static_cast<char>(FoldSingle(byte(i)));
            ++i;
        }
    }
    firstOther = byte(0);
    lastOther = byte(m - 1);
    if (options.matchCase) {
        folded.clear();
        return;
    }
    firstOther = OtherCaseSingle(byte(0));
    lastOther = lastStart + 1 == m ? OtherCaseSingle(byte(m - 1))
                                   : OtherCaseTrail(byte(m - 2), byte(m - 1));
}

size_t TextSearch::Find(std::string_view text, size_t from) const
{
    const size_t n = text.size();
    const size_t m = pattern.size();
    if (from > n)
        return npos;
    if (m == 0)
        return from;
    if (m > n - from)
        return npos;

    WindowMatcher window(text, *this);
    // Window starts from..lastStart; each block covers eight of them.
    const size_t lastStart = n - m;
    size_t pos = from;
    for (; pos <= lastStart && lastStart - pos >= 7; pos += 8) {
        for (uint64_t hits = window.Candidates(pos); hits != 0; hits &= hits - 1) {
            const size_t at = pos + static_cast<size_t>(__builtin_ctzll(hits)) / 8;
            if (window.Matches(at))
                return at;
        }
    }
    for (; pos <= lastStart; ++pos) {
        if (window.Matches(pos))
            return pos;
    }
    return npos;
}

size_t TextSearch::FindLast(std::string_view text, size_t end) const
{
    const size_t n = text.size();
    const size_t m = pattern.size();
    end = std::min(end, n);
    if (m == 0)
        return end;
    if (m > end)
        return npos;

    WindowMatcher window(text, *this);
    // Window starts below `limit`, eight at a time from the top.
    size_t limit = end - m + 1;
    for (; limit >= 8; limit -= 8) {
        const size_t block = limit - 8;
        uint64_t hits = window.Candidates(block);
        while (hits != 0) {
            const int bit = 63 - __builtin_clzll(hits);
            const size_t at = block + static_cast<size_t>(bit) / 8;
            if (window.Matches(at))
                return at;
            hits &= ~(uint64_t{1} << bit);
        }
    }
    while (limit-- > 0) {
        if (window.Matches(limit))
            return limit;
    }
    return npos;
}

size_t FindText(std::string_view text, size_t from, std::string_view pattern)
{
    return TextSearch(pattern).Find(text, from);
}

size_t FindLastText(std::string_view text, size_t end, std::string_view pattern)
{
    return TextSearch(pattern).FindLast(text, end);
}

bool IsCharacterStart(std::string_view text, size_t pos)
{
    if (pos >= text.size())
        return pos == text.size();
    return BoundaryCheck(text, TextSearch::ProcessLeadBytes()).IsStart(pos);
}
