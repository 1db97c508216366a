// Utf16Text: a stretch of the document's bytes (code page 932 or UTF-8) as
// UTF-16, the form the regular-expression engine matches, with the byte
// offset each unit came from, so a match is put back into the document's own
// positions. A double-byte character is always one character: a lead byte
// takes the byte after it, as the editor's exact search does, and a pair no
// character has reads as U+FFFD. Invalid UTF-8 reads as U+FFFD a byte at a
// time. Memory is the caller's to limit: about six bytes per byte decoded.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class Utf16Text {
public:
    // Replaces the held text with bytes decoded; base is the offset of
    // bytes[0] in the whole, so ByteOffset answers in the whole's offsets.
    // Without keepOffsets there are none to ask (a third of the memory).
    // False when memory ran out (the text is then empty).
    bool Decode(std::string_view bytes, unsigned codePage, size_t base = 0, bool keepOffsets = true);

    const std::u16string& Units() const { return units; }
    // The byte offset of unit i; i == Units().size() gives the end.
    size_t ByteOffset(size_t unit) const { return base + offsets[unit]; }
    // The unit at or after byte offset `byte` of the whole (a character start).
    size_t UnitAt(size_t byte) const;

    // UTF-16 text (a pattern, a replacement) to or from the bytes of a code
    // page; a character the code page lacks becomes '?'.
    static std::string Encode(std::u16string_view text, unsigned codePage);
    static std::u16string FromBytes(std::string_view bytes, unsigned codePage);

    // How many characters (code points) the units hold.
    static size_t CountCharacters(std::u16string_view units);

private:
    std::u16string units;
    std::vector<uint32_t> offsets;
    size_t base = 0;
};
