#include "support/Utf16Bytes.h"

std::string Utf16Bytes(const std::u16string& text, bool bigEndian, bool withMark)
{
    std::string bytes = !withMark ? "" : bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}
