#include "app/documents/DocumentFormat.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "util/File.h"

namespace {

// True when the text has a line break and every one is a lone LF. Neither
// 0x0A nor 0x0D is ever part of a double-byte character.
bool HasOnlyLineFeeds(const std::string& text)
{
    return text.find('\n') != std::string::npos && text.find('\r') == std::string::npos;
}

// Every LF becomes CR LF, in place (the text grows once).
void LineFeedsToCrLf(std::string& text)
{
    size_t count = 0;
    for (char c : text)
        count += c == '\n';
    size_t from = text.size();
    text.resize(text.size() + count);
    size_t to = text.size();
    while (from > 0) {
        const char c = text[--from];
        text[--to] = c;
        if (c == '\n')
            text[--to] = '\r';
    }
}

// Every CR LF becomes LF, in place; a CR alone stays.
void CrLfToLineFeeds(std::string& text)
{
    size_t to = 0;
    for (size_t from = 0; from < text.size(); ++from) {
        if (text[from] == '\r' && from + 1 < text.size() && text[from + 1] == '\n')
            continue;
        text[to++] = text[from];
    }
    text.resize(to);
}

DocumentFormat::ReadResult ReadBytes(const std::string& path, std::string& bytes)
{
    File file;
    if (!file.Open(path, 1, 0))
        return DocumentFormat::NotRead;
    // GetSize refuses 4 GiB and more rather than give the low word.
    const DWORD size = file.GetSize();
    if (size == INVALID_FILE_SIZE)
        return DocumentFormat::TooLarge;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return DocumentFormat::TooLarge;
    } catch (const std::length_error&) {
        return DocumentFormat::TooLarge;
    }
    if (size > 0 && !file.ReadExact(&bytes[0], size))
        return DocumentFormat::NotRead;
    return DocumentFormat::Read;
}

} // namespace

DocumentFormat::ReadResult DocumentFormat::ReadFile(const std::string& path, std::string& text,
                                                    DocumentFormat* format, size_t* lost)
{
    std::string bytes;
    const ReadResult read = ReadBytes(path, bytes);
    if (read != Read)
        return read;
    DocumentFormat found;
    found.encoding = TextEncoding::Detect(bytes);
    // In place: the file's bytes become the text, never both held whole
    // for code page 932.
    if (!found.encoding.DecodeFile(bytes, lost))
        return TooLarge;
    found.lfOnly = HasOnlyLineFeeds(bytes);
    if (found.lfOnly) {
        try {
            LineFeedsToCrLf(bytes);
        } catch (const std::bad_alloc&) {
            return TooLarge;
        } catch (const std::length_error&) {
            return TooLarge;
        }
    }
    text.swap(bytes);
    *format = found;
    return Read;
}

bool DocumentFormat::ToFileBytes(std::string& text) const
{
    if (lfOnly)
        CrLfToLineFeeds(text);
    return encoding.EncodeFile(text);
}

std::string DocumentFormat::CaptionTag() const
{
    std::string tag;
    if (!encoding.IsCp932())
        tag = std::string(" [") + encoding.GetName() + "]";
    if (lfOnly)
        tag += " [LF]";
    return tag;
}
