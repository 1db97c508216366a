#include "util/TextEncoding.h"

#include <array>
#include <cstring>
#include <new>
#include <vector>

#include "framework/Win32.h"
#include "util/EucJp.h"

namespace {

constexpr UINT kCodePage = 932;
// Wide characters converted at a time: large enough that the calls cost
// nothing, small enough that a block beside a 100 MB text is nothing.
constexpr size_t kBlock = 64 * 1024;
constexpr wchar_t kReplacement = 0xFFFD;

const std::string_view kMarkUtf8("\xEF\xBB\xBF", 3);
const std::string_view kMarkUtf16Le("\xFF\xFE", 2);
const std::string_view kMarkUtf16Be("\xFE\xFF", 2);

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && text.compare(0, prefix.size(), prefix) == 0;
}

// The length of the valid UTF-8 sequence at p (1 to 4), or 0 when the bytes
// there are not one. `cut` tells that the bytes were valid up to the end of
// the input, which a longer input might have completed.
size_t Utf8SequenceLength(const unsigned char* p, size_t available, bool* cut)
{
    *cut = false;
    const unsigned char lead = p[0];
    if (lead < 0x80)
        return 1;
    size_t length;
    unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // overlong
        if (lead == 0xED)
            high = 0x9F; // surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // overlong
        if (lead == 0xF4)
            high = 0x8F; // beyond U+10FFFF
    } else {
        return 0;
    }
    for (size_t i = 1; i < length; ++i) {
        if (i >= available) {
            *cut = true;
            return 0;
        }
        const unsigned char lowest = i == 1 ? low : 0x80;
        const unsigned char highest = i == 1 ? high : 0xBF;
        if (p[i] < lowest || p[i] > highest)
            return 0;
    }
    return length;
}

// Whether the bytes are valid UTF-8 holding at least one multi-byte sequence.
bool IsUtf8WithMultiByte(std::string_view bytes, bool cutIsValid)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    bool multiByte = false;
    size_t i = 0;
    while (i < size) {
        if (p[i] < 0x80) {
            ++i;
            continue;
        }
        bool cut = false;
        const size_t length = Utf8SequenceLength(p + i, size - i, &cut);
        if (length == 0)
            return cut && cutIsValid && multiByte;
        multiByte = true;
        i += length;
    }
    return multiByte;
}

const std::array<bool, 256>& LeadBytes()
{
    static const std::array<bool, 256> table = [] {
        std::array<bool, 256> lead{};
        for (int c = 0; c < 256; ++c)
            lead[c] = ::IsDBCSLeadByteEx(kCodePage, static_cast<BYTE>(c)) != FALSE;
        return lead;
    }();
    return table;
}

// Collects wide characters and turns them into code page 932 a block at a
// time, counting the characters that would not come back unchanged.
class Cp932Sink {
public:
    explicit Cp932Sink(std::string& out) : out(out) { wide.reserve(kBlock + 2); }

    void Put(unsigned long codePoint)
    {
        // Code page 932 has nothing beyond the BMP and no surrogates; every
        // such character reads as one '?' whatever the system's converter
        // would make of a pair.
        if (codePoint >= 0x10000 || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
            ++lost;
            codePoint = '?';
        }
        wide.push_back(static_cast<wchar_t>(codePoint));
        if (wide.size() >= kBlock)
            Flush();
    }

    void Flush()
    {
        if (wide.empty())
            return;
        const int count = static_cast<int>(wide.size());
        narrow.resize(wide.size() * 2);
        const int written = ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), count,
                                                  &narrow[0], static_cast<int>(narrow.size()), "?", nullptr);
        back.resize(wide.size());
        const int backCount = ::MultiByteToWideChar(kCodePage, 0, narrow.data(), written, &back[0], count);
        if (backCount != count || std::memcmp(back.data(), wide.data(), wide.size() * sizeof(wchar_t)) != 0)
            lost += CountLost();
        out.append(narrow.data(), static_cast<size_t>(written));
        wide.clear();
    }

    size_t lost = 0;

private:
    // Character by character: only for the rare block that lost something.
    size_t CountLost() const
    {
        size_t count = 0;
        for (wchar_t c : wide) {
            char bytes[8];
            wchar_t again = 0;
            const int n = ::WideCharToMultiByte(kCodePage, WC_NO_BEST_FIT_CHARS, &c, 1, bytes, sizeof bytes,
                                                "?", nullptr);
            if (::MultiByteToWideChar(kCodePage, 0, bytes, n, &again, 1) != 1 || again != c)
                ++count;
        }
        return count;
    }

    std::string& out;
    std::vector<wchar_t> wide;
    std::string narrow;
    std::vector<wchar_t> back;
};

void DecodeUtf8(std::string_view bytes, Cp932Sink& sink)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    for (size_t i = 0; i < bytes.size();) {
        uint32_t codePoint = 0;
        const size_t length = TextEncoding::ReadUtf8(p + i, bytes.size() - i, &codePoint);
        if (length == 0) {
            sink.Put(kReplacement);
            ++i;
            continue;
        }
        sink.Put(codePoint);
        i += length;
    }
}

void DecodeUtf16(std::string_view bytes, bool bigEndian, Cp932Sink& sink)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) -> unsigned long {
        const unsigned char first = p[2 * i], second = p[2 * i + 1];
        return bigEndian ? (first << 8) | second : (second << 8) | first;
    };
    for (size_t i = 0; i < units; ++i) {
        unsigned long c = unitAt(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) <= 0xDFFF)
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(++i) - 0xDC00);
        sink.Put(c);
    }
    if (bytes.size() % 2 != 0)
        sink.Put(kReplacement); // a last odd byte cannot be kept
}

void AppendUtf8Units(std::string& out, const wchar_t* wide, size_t count)
{
    for (size_t i = 0; i < count; ++i) {
        unsigned long c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && wide[i + 1] >= 0xDC00 && wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        TextEncoding::AppendUtf8(static_cast<uint32_t>(c), out);
    }
}

void AppendUtf16(std::string& out, const wchar_t* wide, size_t count, bool bigEndian)
{
    for (size_t i = 0; i < count; ++i) {
        const char low = static_cast<char>(wide[i] & 0xFF), high = static_cast<char>(wide[i] >> 8);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    }
}

// Calls piece(start, end) for the text's pieces of about `size` bytes,
// never splitting a double-byte character.
template <typename Piece>
void ForEachPiece(std::string_view text, size_t size, Piece piece)
{
    const auto& lead = LeadBytes();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = start;
        while (end < text.size() && end - start < size)
            end += lead[static_cast<unsigned char>(text[end])] ? 2 : 1;
        if (end > text.size())
            end = text.size(); // a lead byte at the very end
        piece(start, end);
        start = end;
    }
}

// Calls emit(wide, count) for the text's characters a block at a time.
template <typename Emit>
void ForEachWideBlock(std::string_view text, std::vector<wchar_t>& wide, Emit emit)
{
    ForEachPiece(text, kBlock, [&](size_t start, size_t end) {
        const int count = ::MultiByteToWideChar(kCodePage, 0, text.data() + start, static_cast<int>(end - start),
                                                &wide[0], static_cast<int>(wide.size()));
        emit(wide.data(), static_cast<size_t>(count));
    });
}

// Whether every character of the bytes has a Unicode character.
bool AllMapped(const char* bytes, size_t size)
{
    return ::MultiByteToWideChar(kCodePage, MB_ERR_INVALID_CHARS, bytes, static_cast<int>(size), nullptr, 0) > 0;
}

struct Utf16Reading {
    bool zeroUnit = false;
    size_t malformed = 0;
    size_t asciiText = 0;

    bool Fits(size_t units) const { return !zeroUnit && asciiText > 0 && malformed <= units / 256; }
};

bool IsTextControl(unsigned long c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

// How the bytes read as UTF-16 in one byte order; a high surrogate cut by
// the end is not counted against them.
Utf16Reading ReadAsUtf16(std::string_view bytes, bool bigEndian)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t units = bytes.size() / 2;
    auto unitAt = [&](size_t i) -> unsigned long {
        return bigEndian ? (p[2 * i] << 8) | p[2 * i + 1] : (p[2 * i + 1] << 8) | p[2 * i];
    };
    Utf16Reading reading;
    for (size_t i = 0; i < units && !reading.zeroUnit; ++i) {
        const unsigned long c = unitAt(i);
        if (c == 0) {
            reading.zeroUnit = true;
        } else if (c < 0x80) {
            const bool text = c >= 0x20 ? c < 0x7F : IsTextControl(c);
            reading.asciiText += text;
            reading.malformed += !text;
        } else if (c < 0xA0) {
            ++reading.malformed; // C1 controls
        } else if (c >= 0xD800 && c <= 0xDBFF) {
            if (i + 1 < units && unitAt(i + 1) >= 0xDC00 && unitAt(i + 1) <= 0xDFFF)
                ++i;
            else if (i + 1 < units)
                ++reading.malformed;
        } else if ((c >= 0xDC00 && c <= 0xDFFF) || c >> 8 == '\n' || c >> 8 == '\r') {
            ++reading.malformed;
        }
    }
    return reading;
}

bool DecodeEucJp(std::string& bytes, size_t* lost)
{
    try {
        std::string text;
        std::string carry;
        text.reserve(bytes.size());
        *lost = EucJp::ToCp932(bytes, true, carry, text);
        bytes.swap(text);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool EncodeEucJp(std::string& text)
{
    try {
        std::string bytes;
        bytes.reserve(text.size() + text.size() / 4);
        EucJp::FromCp932(text, bytes);
        text.swap(bytes);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

// A block at a time, character by character only in a block that has one.
size_t TextEncoding::CountUnmapped(std::string_view text)
{
    size_t count = 0;
    ForEachPiece(text, kBlock, [&](size_t start, size_t end) {
        if (AllMapped(text.data() + start, end - start))
            return;
        ForEachPiece(text.substr(start, end - start), 1, [&](size_t at, size_t next) {
            count += AllMapped(text.data() + start + at, next - at) ? 0 : 1;
        });
    });
    return count;
}

size_t TextEncoding::ReadUtf8(const unsigned char* p, size_t available, uint32_t* code)
{
    bool cut = false;
    const size_t length = Utf8SequenceLength(p, available, &cut);
    if (length == 0)
        return 0;
    uint32_t value = length == 1 ? p[0] : p[0] & (0x7F >> length);
    for (size_t k = 1; k < length; ++k)
        value = (value << 6) | (p[k] & 0x3F);
    *code = value;
    return length;
}

void TextEncoding::AppendUtf8(uint32_t code, std::string& out)
{
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

TextEncoding TextEncoding::Detect(std::string_view bytes)
{
    return DetectStart(bytes, true);
}

TextEncoding TextEncoding::DetectStart(std::string_view start, bool wholeFile, size_t window)
{
    if (StartsWith(start, kMarkUtf16Le))
        return Utf16Le;
    if (StartsWith(start, kMarkUtf16Be))
        return Utf16Be;
    if (StartsWith(start, kMarkUtf8))
        return Utf8WithMark;
    if (!wholeFile && start.size() > window)
        start = start.substr(0, window);
    return IsUtf8WithMultiByte(start, !wholeFile) ? Utf8 : Cp932;
}

// Zero bytes in text are the high bytes of ASCII characters in UTF-16, and
// the low bytes of some others (U+3000, U+4E00). A byte order fits when no
// unit is U+0000, at most one unit in 256 is malformed, and some units are
// ASCII text. Malformed are a lone surrogate, a control other than tab, form
// feed and the line breaks, and a line break's byte as a high byte (U+0Axx,
// U+0Dxx: how the line breaks of a text with a stray zero byte read). Of two
// orders that fit, the one with more ASCII text wins, as the other reads
// those units as CJK characters.
bool TextEncoding::DetectUnmarkedUtf16(std::string_view start, TextEncoding& found)
{
    const Utf16Reading little = ReadAsUtf16(start, false);
    const Utf16Reading big = ReadAsUtf16(start, true);
    const size_t units = start.size() / 2;
    const bool littleFits = little.Fits(units);
    const bool bigFits = big.Fits(units);
    if (!littleFits && !bigFits)
        return false;
    found = littleFits && (!bigFits || little.asciiText >= big.asciiText) ? Utf16Le : Utf16Be;
    return true;
}

const char* TextEncoding::GetName() const
{
    switch (kind) {
    case Utf8:
        return "UTF-8";
    case Utf8WithMark:
        return "UTF-8 BOM";
    case Utf16Le:
        return "UTF-16LE";
    case Utf16Be:
        return "UTF-16BE";
    case EucJp:
        return "EUC-JP";
    case Cp932:
        break;
    }
    return "CP932";
}

std::string_view TextEncoding::GetMark() const
{
    switch (kind) {
    case Utf8WithMark:
        return kMarkUtf8;
    case Utf16Le:
        return kMarkUtf16Le;
    case Utf16Be:
        return kMarkUtf16Be;
    case Cp932:
    case Utf8:
    case EucJp:
        break;
    }
    return {};
}

bool TextEncoding::DecodeFile(std::string& bytes, size_t* lost) const
{
    if (kind == Cp932) {
        *lost = 0;
        return true;
    }
    if (kind == EucJp)
        return DecodeEucJp(bytes, lost);
    const std::string_view mark = GetMark();
    const size_t skip = StartsWith(bytes, mark) ? mark.size() : 0;
    try {
        std::string text;
        text.reserve(bytes.size());
        Cp932Sink sink(text);
        const std::string_view body = std::string_view(bytes).substr(skip);
        if (kind == Utf16Le || kind == Utf16Be)
            DecodeUtf16(body, kind == Utf16Be, sink);
        else
            DecodeUtf8(body, sink);
        sink.Flush();
        bytes.swap(text);
        *lost = sink.lost;
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool TextEncoding::Decode(std::string& bytes, size_t* lost) const
{
    if (kind == Cp932 || !StartsWith(bytes, GetMark()))
        return DecodeFile(bytes, lost);
    // The piece starts with what would be taken for a mark: keep it as a character.
    const std::string_view mark = GetMark();
    try {
        std::string piece;
        piece.reserve(mark.size() + bytes.size());
        piece.append(mark.data(), mark.size());
        piece += bytes;
        if (!DecodeFile(piece, lost))
            return false;
        bytes.swap(piece);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool TextEncoding::EncodeFile(std::string& text) const
{
    if (kind == Cp932)
        return true;
    if (kind == EucJp)
        return EncodeEucJp(text);
    const bool utf16 = kind == Utf16Le || kind == Utf16Be;
    try {
        std::vector<wchar_t> wide(kBlock + 2);
        // First the exact size, so the result is allocated once.
        size_t size = GetMark().size();
        ForEachWideBlock(text, wide, [&](const wchar_t* block, size_t count) {
            if (utf16) {
                size += count * 2;
                return;
            }
            for (size_t i = 0; i < count; ++i)
                size += block[i] < 0x80 ? 1 : block[i] < 0x800 ? 2 : 3;
        });
        std::string bytes;
        bytes.reserve(size + 4);
        bytes.append(GetMark().data(), GetMark().size());
        ForEachWideBlock(text, wide, [&](const wchar_t* block, size_t count) {
            if (utf16)
                AppendUtf16(bytes, block, count, kind == Utf16Be);
            else
                AppendUtf8Units(bytes, block, count);
        });
        text.swap(bytes);
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool TextEncoding::Encode(std::string& text) const
{
    if (!EncodeFile(text))
        return false;
    text.erase(0, GetMark().size());
    return true;
}
