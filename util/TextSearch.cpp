#include "util/TextSearch.h"

#include <algorithm>
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
    BoundaryCheck(std::string_view text, const TextSearch::LeadBytes& lead)
        : bytes(reinterpret_cast<const unsigned char*>(text.data())), lead(lead)
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

uint32_t ClampShift(size_t shift)
{
    return static_cast<uint32_t>(std::min<size_t>(shift, UINT32_MAX));
}

}  // namespace

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
    const size_t m = pattern.size();
    forwardShift.fill(ClampShift(m));
    backwardShift.fill(ClampShift(m));
    for (size_t i = 0; i + 1 < m; ++i)
        forwardShift[static_cast<unsigned char>(pattern[i])] = ClampShift(m - 1 - i);
    for (size_t i = m; i > 1; --i)
        backwardShift[static_cast<unsigned char>(pattern[i - 1])] = ClampShift(i - 1);
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

    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* p = reinterpret_cast<const unsigned char*>(pattern.data());
    BoundaryCheck boundary(text, *lead);

    if (m == 1) {
        size_t pos = from;
        while (pos < n) {
            const void* hit = std::memchr(t + pos, p[0], n - pos);
            if (hit == nullptr)
                return npos;
            pos = static_cast<size_t>(static_cast<const unsigned char*>(hit) - t);
            if (boundary.IsStart(pos))
                return pos;
            ++pos;
        }
        return npos;
    }

    // Horspool: every shift keeps all byte-wise matches in reach, and the
    // matches that count are a subset of those.
    const size_t last = m - 1;
    const unsigned char lastByte = p[last];
    const size_t lastStart = n - m;
    size_t pos = from;
    while (pos <= lastStart) {
        const unsigned char c = t[pos + last];
        if (c == lastByte && std::memcmp(t + pos, p, last) == 0 && boundary.IsStart(pos))
            return pos;
        pos += forwardShift[c];
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

    const auto* t = reinterpret_cast<const unsigned char*>(text.data());
    const auto* p = reinterpret_cast<const unsigned char*>(pattern.data());
    BoundaryCheck boundary(text, *lead);

    const unsigned char firstByte = p[0];
    size_t pos = end - m;
    for (;;) {
        const unsigned char c = t[pos];
        if (c == firstByte && std::memcmp(t + pos + 1, p + 1, m - 1) == 0 && boundary.IsStart(pos))
            return pos;
        const size_t shift = backwardShift[c];
        if (shift > pos)
            return npos;
        pos -= shift;
    }
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
