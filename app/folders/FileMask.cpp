#include "app/folders/FileMask.h"

#include "util/TextSearch.h"

namespace {

unsigned char Fold(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (u >= 'a' && u <= 'z') ? static_cast<unsigned char>(u - 'a' + 'A') : u;
}

// Bytes of the character that starts at pos (two for a lead byte with a trail).
size_t CharLength(std::string_view text, size_t pos)
{
    const auto& lead = TextSearch::ProcessLeadBytes();
    return (lead[static_cast<unsigned char>(text[pos])] && pos + 1 < text.size()) ? 2 : 1;
}

size_t NameStart(std::string_view path)
{
    size_t start = 0;
    for (size_t i = 0; i < path.size(); i += CharLength(path, i))
        if (path[i] == '\\')
            start = i + 1;
    return start;
}

bool SameChar(std::string_view a, size_t ai, size_t aLength, std::string_view b, size_t bi, size_t bLength)
{
    if (aLength != bLength)
        return false;
    if (aLength == 1)
        return Fold(a[ai]) == Fold(b[bi]);
    return a[ai] == b[bi] && a[ai + 1] == b[bi + 1];
}

} // namespace

FileMask::FileMask(std::string_view list) : masks(SplitList(list))
{
    matchesAll = masks.empty();
    for (const std::string& mask : masks)
        matchesAll = matchesAll || mask == "*" || mask == "*.*";
}

std::vector<std::string> FileMask::SplitList(std::string_view list)
{
    std::vector<std::string> pieces;
    size_t start = 0;
    for (size_t i = 0; i <= list.size(); ++i) {
        if (i == list.size() || list[i] == ';' || list[i] == ' ') {
            if (i > start)
                pieces.emplace_back(list.substr(start, i - start));
            start = i + 1;
        } else {
            i += CharLength(list, i) - 1;
        }
    }
    return pieces;
}

bool FileMask::SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size();) {
        const size_t length = CharLength(a, i);
        if (!SameChar(a, i, length, b, i, CharLength(b, i)))
            return false;
        i += length;
    }
    return true;
}

bool FileMask::Matches(std::string_view path) const
{
    if (matchesAll)
        return true;
    const std::string_view name = path.substr(NameStart(path));
    for (const std::string& mask : masks) {
        if (MatchOne(mask, name))
            return true;
    }
    return false;
}

// Greedy wildcard matching with one back-tracking point, the last '*' seen.
// A mask ending in "." also takes a name without any dot, as on Windows.
bool FileMask::MatchOne(std::string_view mask, std::string_view name)
{
    if (mask.size() > 1 && mask.back() == '.' && name.find('.') == std::string_view::npos)
        mask.remove_suffix(1);
    size_t m = 0;
    size_t n = 0;
    size_t starMask = std::string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        const size_t nameLength = CharLength(name, n);
        if (m < mask.size() && mask[m] == '*') {
            starMask = ++m;
            starName = n;
            continue;
        }
        if (m < mask.size()) {
            const size_t maskLength = CharLength(mask, m);
            if ((maskLength == 1 && mask[m] == '?') || SameChar(mask, m, maskLength, name, n, nameLength)) {
                m += maskLength;
                n += nameLength;
                continue;
            }
        }
        if (starMask == std::string_view::npos)
            return false;
        m = starMask;
        starName += CharLength(name, starName);
        n = starName;
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}
