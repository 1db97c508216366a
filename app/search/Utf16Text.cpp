#include "app/search/Utf16Text.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>

#include "framework/Win32.h"
#include "util/TextEncoding.h"
#include "util/TextSearch.h"

namespace {

constexpr char16_t Replacement = 0xFFFD;
constexpr unsigned Utf8CodePage = 65001;

// Code page 932 as tables, filled once from the system's own conversion, so
// that decoding a block is a lookup per character rather than a call per
// block whose result would have to be matched back to its bytes.
class Cp932Table {
public:
    Cp932Table()
    {
        const auto& lead = TextSearch::ProcessLeadBytes();
        for (unsigned first = 0; first < 256; ++first) {
            const char one[1] = {static_cast<char>(first)};
            single[first] = lead[first] ? Replacement : Convert(one, 1, static_cast<char16_t>(first));
            if (!lead[first])
                continue;
            auto& row = pairs[first];
            row = std::make_unique<std::array<char16_t, 256>>();
            for (unsigned second = 0; second < 256; ++second) {
                const char two[2] = {static_cast<char>(first), static_cast<char>(second)};
                (*row)[second] = Convert(two, 2, Replacement);
            }
        }
    }

    const std::array<bool, 256>& Lead() const { return TextSearch::ProcessLeadBytes(); }
    char16_t Single(unsigned char c) const { return single[c]; }
    char16_t Pair(unsigned char first, unsigned char second) const { return (*pairs[first])[second]; }

private:
    static char16_t Convert(const char* bytes, int size, char16_t fallback)
    {
        wchar_t wide[2] = {};
        const int got = ::MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes, size, wide, 2);
        return got == 1 ? static_cast<char16_t>(wide[0]) : fallback;
    }

    std::array<char16_t, 256> single{};
    std::array<std::unique_ptr<std::array<char16_t, 256>>, 256> pairs;
};

const Cp932Table& Cp932()
{
    static const Cp932Table table;
    return table;
}

// Writes the decoded bytes to units and, when Keep, the offset of each
// unit's bytes to offsets; both have room for one unit per byte, the most
// there can be. Returns the number of units.
template <bool Keep>
size_t DecodeInto(std::string_view bytes, unsigned codePage, char16_t* units, uint32_t* offsets)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    size_t count = 0;
    auto put = [&](char16_t unit, size_t offset) {
        units[count] = unit;
        if constexpr (Keep)
            offsets[count] = static_cast<uint32_t>(offset);
        ++count;
    };
    if (codePage == Utf8CodePage) {
        for (size_t at = 0; at < size;) {
            uint32_t code = 0;
            const size_t length = p[at] < 0x80 ? (code = p[at], 1) : TextEncoding::ReadUtf8(p + at, size - at, &code);
            if (length == 0) {
                put(Replacement, at++);
                continue;
            }
            if (code >= 0x10000) {
                put(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)), at);
                code = 0xDC00 + (code & 0x3FF);
            }
            put(static_cast<char16_t>(code), at);
            at += length;
        }
    } else {
        const Cp932Table& table = Cp932();
        const auto& lead = table.Lead();
        for (size_t at = 0; at < size;) {
            if (p[at] < 0x80) {
                if constexpr (!Keep) {
                    do
                        units[count++] = p[at++]; // a run of ASCII, the common case
                    while (at < size && p[at] < 0x80);
                } else {
                    put(static_cast<char16_t>(p[at]), at);
                    ++at;
                }
            } else if (!lead[p[at]]) {
                put(table.Single(p[at]), at);
                ++at;
            } else if (at + 1 < size) {
                put(table.Pair(p[at], p[at + 1]), at);
                at += 2;
            } else {
                put(Replacement, at++); // a lead byte cut off by the end
            }
        }
    }
    if constexpr (Keep)
        offsets[count] = static_cast<uint32_t>(size);
    return count;
}

} // namespace

bool Utf16Text::Decode(std::string_view bytes, unsigned codePage, size_t baseOffset, bool keepOffsets)
{
    base = baseOffset;
    try {
        units.resize(bytes.size());
        offsets.resize(keepOffsets ? bytes.size() + 1 : 0);
        const size_t count = keepOffsets ? DecodeInto<true>(bytes, codePage, units.data(), offsets.data())
                                         : DecodeInto<false>(bytes, codePage, units.data(), nullptr);
        units.resize(count);
        if (keepOffsets)
            offsets.resize(count + 1);
        return true;
    } catch (const std::bad_alloc&) {
        units = std::u16string();
        offsets = std::vector<uint32_t>{0};
        return false;
    }
}

size_t Utf16Text::UnitAt(size_t byte) const
{
    const uint32_t local = byte <= base ? 0 : static_cast<uint32_t>(byte - base);
    return static_cast<size_t>(std::lower_bound(offsets.begin(), offsets.end(), local) - offsets.begin());
}

std::string Utf16Text::Encode(std::u16string_view text, unsigned codePage)
{
    if (text.empty())
        return std::string();
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(codePage, 0, wide, length, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(std::max(size, 0)), '\0');
    if (size > 0)
        ::WideCharToMultiByte(codePage, 0, wide, length, bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::u16string Utf16Text::FromBytes(std::string_view bytes, unsigned codePage)
{
    Utf16Text text;
    text.Decode(bytes, codePage);
    return text.units;
}

size_t Utf16Text::CountCharacters(std::u16string_view text)
{
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char16_t unit) { return unit < 0xDC00 || unit > 0xDFFF; }));
}
