#include "app/documents/DocumentFormat.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "framework/ScintillaControl.h"
#include "util/EucJp.h"

namespace {

bool IsBigEndian(TextEncoding encoding)
{
    return encoding.GetKind() == TextEncoding::Utf16Be;
}

bool IsUtf16(TextEncoding encoding)
{
    return encoding.GetKind() == TextEncoding::Utf16Le || IsBigEndian(encoding);
}

// UTF-8 of the pane to UTF-16 units in the file's byte order, appended to
// out. A byte that is no part of a valid sequence becomes U+FFFD, as on the
// way to code page 932; their count is returned.
size_t Utf8ToUtf16(std::string_view text, bool bigEndian, std::string& out)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    const auto put = [&](uint32_t unit) {
        out += static_cast<char>(bigEndian ? unit >> 8 : unit & 0xFF);
        out += static_cast<char>(bigEndian ? unit & 0xFF : unit >> 8);
    };
    size_t invalid = 0;
    for (size_t at = 0; at < text.size();) {
        uint32_t code = bytes[at];
        size_t length = code < 0x80 ? 1 : TextEncoding::ReadUtf8(bytes + at, text.size() - at, &code);
        if (length == 0) {
            code = 0xFFFD;
            length = 1;
            ++invalid;
        }
        if (code >= 0x10000) {
            put(0xD800 + ((code - 0x10000) >> 10));
            code = 0xDC00 + ((code - 0x10000) & 0x3FF);
        }
        put(code);
        at += length;
    }
    return invalid;
}

bool IsEucJp(TextEncoding encoding)
{
    return encoding.GetKind() == TextEncoding::EucJp;
}

// Every CR LF, lone CR and lone LF of text made `end`.
std::string WithLineEnds(std::string_view text, std::string_view end)
{
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            out.append(end.data(), end.size());
        } else {
            out += text[i];
        }
    }
    return out;
}

// What Enter types: the file's own line end, CR LF when it has none or several.
ScintillaControl::LineEnding TypedEnding(DocumentFormat::LineEnds ends)
{
    return ends == DocumentFormat::LineEnds::Lf   ? ScintillaControl::LineEnding::Lf
           : ends == DocumentFormat::LineEnds::Cr ? ScintillaControl::LineEnding::Cr
                                                  : ScintillaControl::LineEnding::CrLf;
}

} // namespace

DocumentFormat DocumentFormat::Detect(std::string_view start, bool wholeFile)
{
    const TextEncoding found = TextEncoding::DetectStart(start, wholeFile, start.size());
    if (found.IsCp932() && EucJp::IsLikely(start, wholeFile))
        return DocumentFormat(TextEncoding::EucJp);
    return DocumentFormat(found);
}

unsigned DocumentFormat::PaneCodePage() const
{
    return encoding.IsCp932() || IsEucJp(encoding) ? 932u : 65001u;
}

void DocumentFormat::PreparePane(ScintillaControl& pane) const
{
    pane.SetCodePage(PaneCodePage());
    pane.SetLineEnding(TypedEnding(lineEnds));
}

bool DocumentFormat::IsHeldBy(ScintillaControl& pane) const
{
    return pane.CodePage() == PaneCodePage() && pane.GetLineEnding() == TypedEnding(lineEnds);
}

std::string DocumentFormat::CaptionTag() const
{
    std::string tag;
    if (!encoding.IsCp932())
        tag = std::string(" [") + encoding.GetName() + "]";
    if (IsLfOnly())
        tag += " [LF]";
    return tag;
}

bool DocumentFormat::ToFile(std::string_view paneBytes, std::string& converted, FileContents* contents,
                            size_t* lost) const
{
    if (lost != nullptr)
        *lost = 0;
    if (IsEucJp(encoding)) {
        try {
            converted.clear();
            converted.reserve(paneBytes.size() + paneBytes.size() / 8);
            const size_t notHeld = EucJp::FromCp932(paneBytes, converted);
            if (lost != nullptr)
                *lost = notHeld;
        } catch (const std::bad_alloc&) {
            return false;
        }
        *contents = FileContents{std::string_view(), converted};
        return true;
    }
    if (!IsUtf16(encoding)) {
        *contents = FileContents{encoding.GetMark(), paneBytes};
        return true;
    }
    try {
        converted.clear();
        converted.reserve(paneBytes.size() * 2 + 2);
        if (!markless)
            converted.append(encoding.GetMark().data(), encoding.GetMark().size());
        const size_t invalid = Utf8ToUtf16(paneBytes, IsBigEndian(encoding), converted);
        if (lost != nullptr)
            *lost = invalid;
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    *contents = FileContents{std::string_view(), converted};
    return true;
}

bool DocumentFormat::ToFileFrom(std::string_view paneBytes, unsigned paneCodePage, std::string& converted,
                                FileContents* contents, size_t* lost) const
{
    *lost = 0;
    try {
        std::string text(paneBytes);
        if (!ToPaneFrom(text, paneCodePage, lost))
            return false;
        size_t notHeld = 0;
        std::string file;
        FileContents parts;
        if (!ToFile(text, file, &parts, &notHeld))
            return false;
        *lost += notHeld;
        converted.assign(parts.head.data(), parts.head.size());
        converted.append(parts.body.data(), parts.body.size());
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    *contents = FileContents{std::string_view(), converted};
    return true;
}

bool DocumentFormat::ToPaneFrom(std::string& text, unsigned paneCodePage, size_t* lost) const
{
    if (lineEnds == LineEnds::CrLf || lineEnds == LineEnds::Lf || lineEnds == LineEnds::Cr)
        text = WithLineEnds(text, lineEnds == LineEnds::CrLf ? "\r\n" : lineEnds == LineEnds::Lf ? "\n" : "\r");
    if (paneCodePage == PaneCodePage())
        return true;
    const TextEncoding utf8(TextEncoding::Utf8);
    if (paneCodePage == 65001)
        return utf8.Decode(text, lost);
    *lost += TextEncoding::CountUnmapped(text);
    return utf8.Encode(text);
}

PaneBytesDecoder::PaneBytesDecoder(const DocumentFormat& format)
    : encoding(format.GetEncoding()), passThrough(!IsUtf16(format.GetEncoding()) && !IsEucJp(format.GetEncoding()))
{
    markSize = encoding.GetMark().size();
}

// UTF-16 to UTF-8; an unpaired surrogate becomes '?' and is counted.
// EUC-JP to code page 932; what is not JIS X 0208 becomes '?' and is counted.
bool PaneBytesDecoder::Decode(std::string_view block, bool last, std::string& out)
{
    try {
        if (IsEucJp(encoding)) {
            lost += EucJp::ToCp932(block, last, carry, out);
            return true;
        }
        std::string_view bytes = block;
        if (atStart) {
            atStart = false;
            if (bytes.substr(0, markSize) == encoding.GetMark())
                bytes.remove_prefix(markSize);
        }
        std::string joined = carry + std::string(bytes);
        carry.clear();
        const bool big = IsBigEndian(encoding);
        size_t at = 0;
        const auto unitAt = [&](size_t i) {
            const auto first = static_cast<unsigned char>(joined[i]);
            const auto second = static_cast<unsigned char>(joined[i + 1]);
            return static_cast<uint16_t>(big ? (first << 8) | second : (second << 8) | first);
        };
        for (; at + 1 < joined.size(); at += 2) {
            const uint16_t unit = unitAt(at);
            if (unit >= 0xD800 && unit <= 0xDBFF) {
                if (at + 3 >= joined.size()) {
                    if (!last)
                        break; // its pair may be in the next block
                } else {
                    const uint16_t next = unitAt(at + 2);
                    if (next >= 0xDC00 && next <= 0xDFFF) {
                        TextEncoding::AppendUtf8(0x10000 + ((unit - 0xD800u) << 10) + (next - 0xDC00u), out);
                        at += 2;
                        continue;
                    }
                }
            }
            if (unit >= 0xD800 && unit <= 0xDFFF) {
                out += '?';
                ++lost;
                continue;
            }
            TextEncoding::AppendUtf8(unit, out);
        }
        carry = joined.substr(at);
        if (last && !carry.empty()) { // an odd byte at the end
            out += '?';
            ++lost;
            carry.clear();
        }
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

// memchr rather than a loop per byte: this runs over every byte of a file.
// Neither 0x0A nor 0x0D is ever part of a longer character.
void PaneBytesDecoder::NoteLineEnds(std::string_view paneBytes)
{
    const char* data = paneBytes.data();
    const size_t size = paneBytes.size();
    for (const void* found = std::memchr(data, '\n', size); found != nullptr;) {
        const size_t at = static_cast<size_t>(static_cast<const char*>(found) - data);
        const bool afterCr = at > 0 ? data[at - 1] == '\r' : lastWasCr;
        ++(afterCr ? crLf : lf);
        found = at + 1 < size ? std::memchr(data + at + 1, '\n', size - at - 1) : nullptr;
    }
    for (const void* found = std::memchr(data, '\r', size); found != nullptr;) {
        const size_t at = static_cast<size_t>(static_cast<const char*>(found) - data);
        ++cr;
        found = at + 1 < size ? std::memchr(data + at + 1, '\r', size - at - 1) : nullptr;
    }
    if (size > 0)
        lastWasCr = data[size - 1] == '\r';
}

DocumentFormat::LineEnds PaneBytesDecoder::LineEnds() const
{
    const uint64_t loneCr = cr - crLf; // cr counts every CR
    const int kinds = (crLf > 0) + (lf > 0) + (loneCr > 0);
    if (kinds == 0)
        return DocumentFormat::LineEnds::None;
    if (kinds > 1)
        return DocumentFormat::LineEnds::Mixed;
    return crLf > 0 ? DocumentFormat::LineEnds::CrLf
                    : (lf > 0 ? DocumentFormat::LineEnds::Lf : DocumentFormat::LineEnds::Cr);
}
