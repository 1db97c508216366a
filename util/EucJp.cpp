#include "util/EucJp.h"

namespace {

bool IsEucByte(unsigned char c)
{
    return c >= 0xA1 && c <= 0xFE;
}

bool IsHalfWidthKana(unsigned char c)
{
    return c >= 0xA1 && c <= 0xDF;
}

bool IsCp932Lead(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsCp932Trail(unsigned char c)
{
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// JIS row and cell (0x21..0x7E each) to the code page 932 pair.
void AppendSjis(unsigned row, unsigned cell, std::string& out)
{
    const unsigned lead = ((row + 1) >> 1) + (row <= 0x5E ? 0x70 : 0xB0);
    const unsigned trail = (row & 1) != 0 ? cell + (cell < 0x60 ? 0x1F : 0x20) : cell + 0x7E;
    out += static_cast<char>(lead);
    out += static_cast<char>(trail);
}

// How many bytes the EUC-JP character at p takes (1 to 3), 0 when the bytes
// there are not one; `cut` when they were valid up to the end.
size_t EucLength(const unsigned char* p, size_t available, bool* cut)
{
    *cut = false;
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    size_t length = 0;
    if (IsEucByte(c))
        length = 2;
    else if (c == 0x8E)
        length = 2;
    else if (c == 0x8F)
        length = 3;
    else
        return 0;
    for (size_t i = 1; i < length; ++i) {
        if (i >= available) {
            *cut = true;
            return 0;
        }
        if (c == 0x8E ? !IsHalfWidthKana(p[i]) : !IsEucByte(p[i]))
            return 0;
    }
    return length;
}

} // namespace

size_t EucJp::ToCp932(std::string_view bytes, bool last, std::string& carry, std::string& out)
{
    std::string joined = carry;
    joined.append(bytes.data(), bytes.size());
    carry.clear();
    const auto* p = reinterpret_cast<const unsigned char*>(joined.data());
    const size_t size = joined.size();
    size_t lost = 0;
    size_t i = 0;
    while (i < size) {
        bool cut = false;
        const size_t length = EucLength(p + i, size - i, &cut);
        if (cut && !last) {
            carry.assign(joined, i, std::string::npos);
            break;
        }
        if (length == 1) {
            out += static_cast<char>(p[i]);
        } else if (length == 2 && p[i] == 0x8E) {
            out += static_cast<char>(p[i + 1]);
        } else if (length == 2) {
            AppendSjis(p[i] - 0x80u, p[i + 1] - 0x80u, out);
        } else {
            out += '?'; // JIS X 0212, or bytes that are not EUC-JP
            ++lost;
        }
        i += length > 0 ? length : 1;
    }
    return lost;
}

size_t EucJp::FromCp932(std::string_view text, std::string& out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    size_t lost = 0;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else if (IsHalfWidthKana(c)) {
            out += '\x8E';
            out += static_cast<char>(c);
            ++i;
        } else if (IsCp932Lead(c) && i + 1 < text.size() && IsCp932Trail(p[i + 1])) {
            const unsigned trail = p[i + 1];
            i += 2;
            if (c >= 0xF0) {
                out += '?';
                ++lost;
                continue;
            }
            unsigned row = (c - (c >= 0xE0 ? 0xB0u : 0x70u)) * 2 - 1;
            unsigned cell = 0;
            if (trail >= 0x9F) {
                ++row;
                cell = trail - 0x7E;
            } else {
                cell = trail - (trail >= 0x80 ? 0x20u : 0x1Fu);
            }
            out += static_cast<char>(row + 0x80);
            out += static_cast<char>(cell + 0x80);
        } else {
            out += '?';
            ++lost;
            ++i;
        }
    }
    return lost;
}

bool EucJp::IsLikely(std::string_view start, bool wholeFile)
{
    const auto* p = reinterpret_cast<const unsigned char*>(start.data());
    const size_t size = start.size();
    size_t twoByte = 0;
    size_t kana = 0; // of the two-byte characters, hiragana and katakana (rows 4 and 5)
    for (size_t i = 0; i < size;) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        bool cut = false;
        const size_t length = EucLength(p + i, size - i, &cut);
        if (length == 0) {
            if (cut && !wholeFile)
                break;
            return false;
        }
        if (length == 2 && p[i] != 0x8E) {
            ++twoByte;
            kana += p[i] == 0xA4 || p[i] == 0xA5 ? 1 : 0;
        }
        i += length;
    }
    if (twoByte == 0)
        return false;
    // The same bytes as code page 932: invalid there is evidence enough.
    bool halfWidthKana = false;
    bool doubleByte = false;
    for (size_t i = 0; i < size;) {
        const unsigned char c = p[i];
        if (IsHalfWidthKana(c)) {
            halfWidthKana = true;
            ++i;
        } else if (!IsCp932Lead(c)) {
            if (c >= 0x80)
                return true; // 0x80, 0xA0, 0xFD-0xFF: not code page 932
            ++i;
        } else if (i + 1 >= size) {
            if (wholeFile)
                return true;
            break;
        } else if (!IsCp932Trail(p[i + 1])) {
            return true;
        } else {
            doubleByte = true;
            i += 2;
        }
    }
    // Valid both ways, as short half-width katakana text always is: EUC-JP
    // only where the code page 932 reading is nonsense: half-width katakana
    // beside double-byte characters without one hiragana (whose code page
    // 932 codes EUC-JP lacks), or a ､ or ･ before every other character
    // (what EUC-JP's kana rows read as).
    return halfWidthKana && (doubleByte || kana * 2 >= twoByte);
}
