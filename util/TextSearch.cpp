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

// One pattern against one text: which window starts of an eight-wide block
// hold the pattern's first and last bytes, and whether a window really
// matches, on a character start.
class WindowMatcher {
public:
    WindowMatcher(std::string_view text, const std::string& pattern,
                  const TextSearch::LeadBytes& leadBytes)
        : t(reinterpret_cast<const unsigned char*>(text.data())),
          p(reinterpret_cast<const unsigned char*>(pattern.data())), m(pattern.size()),
          last(m - 1), firstLanes(laneOnes * p[0]), lastLanes(laneOnes * p[last]),
          boundary(text, leadBytes)
    {
    }

    // 0x80 in lane i when window start block + i is a candidate.
    uint64_t Candidates(size_t block) const
    {
        return LanesEqual(LoadWord(t + block), firstLanes) &
               LanesEqual(LoadWord(t + block + last), lastLanes);
    }

    bool Matches(size_t at)
    {
        return t[at] == p[0] && t[at + last] == p[last] &&
               (m <= 2 || std::memcmp(t + at + 1, p + 1, m - 2) == 0) && boundary.IsStart(at);
    }

private:
    const unsigned char* t;
    const unsigned char* p;
    size_t m;
    size_t last;
    uint64_t firstLanes;
    uint64_t lastLanes;
    BoundaryCheck boundary;
};

}  // namespace

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
    : pattern(patternText), lead(&leadBytes)
{
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

    WindowMatcher window(text, pattern, *lead);
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

    WindowMatcher window(text, pattern, *lead);
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
