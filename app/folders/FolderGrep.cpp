#include "app/folders/FolderGrep.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>

namespace {

struct HandleCloser {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

std::string UpToZero(const std::string& text)
{
    return std::string(text.c_str());
}

// The first position in [from, to) of text that holds byte, or to.
size_t FindByteBefore(std::string_view text, size_t from, size_t to, char byte)
{
    const size_t at = ::FindByte(text.substr(0, to), from, byte);
    return at == TextSearch::npos ? to : at;
}

// UTF-16 code units in bytes, taken at even offsets.
char16_t UnitAt(std::string_view bytes, size_t at, bool bigEndian)
{
    const auto first = static_cast<unsigned char>(bytes[at]);
    const auto second = static_cast<unsigned char>(bytes[at + 1]);
    return static_cast<char16_t>(bigEndian ? first << 8 | second : second << 8 | first);
}

// The offset of the first unit from (even) on that equals unit, or npos.
size_t FindUnit(std::string_view bytes, size_t from, bool bigEndian, char16_t unit)
{
    for (size_t at = from; at + 1 < bytes.size(); at += 2)
        if (UnitAt(bytes, at, bigEndian) == unit)
            return at;
    return TextSearch::npos;
}

size_t FindLastUnit(std::string_view bytes, bool bigEndian, char16_t unit)
{
    for (size_t at = bytes.size() & ~size_t(1); at >= 2; at -= 2)
        if (UnitAt(bytes, at - 2, bigEndian) == unit)
            return at - 2;
    return TextSearch::npos;
}

uint64_t CountUnits(std::string_view bytes, bool bigEndian, char16_t unit)
{
    uint64_t count = 0;
    for (size_t at = 0; at + 1 < bytes.size(); at += 2)
        count += UnitAt(bytes, at, bigEndian) == unit;
    return count;
}

// Others may read and write the file meanwhile.
FileHandle OpenForReading(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return FileHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

} // namespace

// Reads a file front to back up to the size it had when opened, so the last
// block needs no further call to find the end, and no read asks for more
// than is left. A file whose size cannot be had is read until a read gives
// nothing.
class FileBlocks {
public:
    explicit FileBlocks(HANDLE file) : file(file)
    {
        LARGE_INTEGER size = {};
        unread = ::GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : Unknown;
    }

    // Up to want bytes into `to`; false when the read fails.
    bool Read(char* to, size_t want, size_t& got)
    {
        const DWORD asked = static_cast<DWORD>(std::min<uint64_t>({want, unread, 0x40000000}));
        DWORD read = 0;
        if (asked != 0 && !::ReadFile(file, to, asked, &read, nullptr))
            return false;
        got = read;
        if (unread != Unknown)
            unread -= std::min<uint64_t>(read, unread);
        atEnd = read == 0 || unread == 0;
        return true;
    }
    bool AtEnd() const { return atEnd; }

private:
    static constexpr uint64_t Unknown = UINT64_MAX;
    HANDLE file;
    uint64_t unread;
    bool atEnd = false;
};

FolderGrep::FolderGrep(const std::string& text, const std::string& masks, SearchOptions options)
    : pattern(UpToZero(text)), search(pattern, options),
      patternHasLineBreak(pattern.find('\n') != std::string::npos), mask(masks)
{
}

void FolderGrep::Search(const std::string& folder, ResultSink& results)
{
    sink = &results;
    skippedCount = 0;
    skippedPaths.clear();
    Walk(folder);
    results.Flush(true);
    sink = nullptr;
}

void FolderGrep::Search(const std::string& folder, std::string& out)
{
    ResultSink results;
    Search(folder, results);
    out += results.TakeText();
}

std::string FolderGrep::SkippedMessage() const
{
    std::string message = "ファイルを開けませんでした。";
    for (const std::string& path : skippedPaths) {
        message += '\n';
        message += path;
    }
    if (skippedCount > skippedPaths.size())
        message += "\nほか " + std::to_string(skippedCount - skippedPaths.size()) + " 件";
    return message;
}

void FolderGrep::OnFile(const std::string& path)
{
    const size_t slash = path.rfind('\\');
    if (!mask.Matches(std::string_view(path).substr(slash + 1)))
        return;
    if (!SearchFile(path))
        Skip(path);
    sink->NoteFile();
    sink->Flush();
}

void FolderGrep::OnUnreachable(const std::string& path)
{
    Skip(path);
}

// Reads the file block by block after the partial line the previous block
// left; everything up to the last line break is searched, the rest moves to
// the front. The text ends at the first zero byte or at the end of the file,
// and that last part is searched whole. The encoding is decided on the
// file's start. False when the file cannot be opened or read, or memory
// cannot be had for a line.
bool FolderGrep::SearchFile(const std::string& path)
{
    FileHandle file = OpenForReading(path);
    if (!file)
        return false;
    FileBlocks blocks(file.get());
    uint64_t lineNumber = 1;
    size_t held = 0;
    bool detect = true;
    bool fileStart = true;
    TextEncoding encoding;
    for (bool ended = false; !ended && !sink->Stopped();) {
        // The first read covers what the encoding is decided on.
        const size_t want = detect ? std::max(blockSize, TextEncoding::StartSize) : blockSize;
        if (!Reserve(held + want, held))
            return false;
        size_t got = 0;
        if (!blocks.Read(buffer.get() + held, want, got))
            return false;
        std::string_view read(buffer.get() + held, got);
        if (detect) {
            detect = false;
            encoding = TextEncoding::DetectStart(read.substr(0, TextEncoding::StartSize), blocks.AtEnd());
            if (encoding.GetKind() == TextEncoding::Utf16Le || encoding.GetKind() == TextEncoding::Utf16Be)
                return SearchUtf16(blocks, got, encoding, path);
        }
        const size_t zero = ::FindByte(read, 0, '\0');
        ended = blocks.AtEnd() || zero != TextSearch::npos;
        const size_t filled = held + (zero != TextSearch::npos ? zero : got);
        std::string_view text(buffer.get(), filled);
        if (ended)
            return SearchIn(text, encoding, fileStart, lineNumber, path);
        const size_t lastBreak = text.rfind('\n');
        if (lastBreak == std::string_view::npos) {
            held = filled; // a line longer than a block so far
            continue;
        }
        const std::string_view lines = text.substr(0, lastBreak);
        if (!SearchIn(lines, encoding, fileStart, lineNumber, path))
            return false;
        fileStart = false;
        lineNumber += static_cast<uint64_t>(std::count(lines.begin(), lines.end(), '\n')) + 1;
        held = filled - lastBreak - 1;
        std::memmove(buffer.get(), buffer.get() + lastBreak + 1, held);
    }
    return true;
}

// Code page 932 text is searched as it stands. UTF-8 lines are turned into
// code page 932 first (a line break never falls inside a UTF-8 character),
// so the text and the result lines are code page 932 and the line numbers
// the file's own; the file's mark goes with its first piece.
bool FolderGrep::SearchIn(std::string_view text, const TextEncoding& encoding, bool fileStart, uint64_t firstLine,
                          const std::string& path)
{
    if (encoding.IsCp932()) {
        SearchLines(text, firstLine, path);
        return true;
    }
    std::string decoded(text);
    size_t lost = 0;
    if (!(fileStart ? encoding.DecodeFile(decoded, &lost) : encoding.Decode(decoded, &lost)))
        return false;
    SearchLines(decoded, firstLine, path);
    return true;
}

// A UTF-16 file goes the same way in code units: each block is searched up
// to its last line break and the rest moves to the front, and a zero
// character ends the text. Each piece is turned into code page 932 before it
// is searched; a line break never falls inside a surrogate pair. held bytes
// of the file's start are in the buffer already.
bool FolderGrep::SearchUtf16(FileBlocks& blocks, size_t held, const TextEncoding& encoding, const std::string& path)
{
    const bool bigEndian = encoding.GetKind() == TextEncoding::Utf16Be;
    uint64_t lineNumber = 1;
    bool fileStart = true;
    bool ended = blocks.AtEnd();
    size_t unscanned = 0; // the carried part before it holds no zero character
    while (!sink->Stopped()) {
        std::string_view units(buffer.get(), held & ~size_t(1));
        const size_t zero = FindUnit(units, unscanned, bigEndian, 0);
        if (ended || zero != TextSearch::npos)
            return SearchIn(units.substr(0, zero), encoding, fileStart, lineNumber, path);
        const size_t lastBreak = FindLastUnit(units, bigEndian, '\n');
        if (lastBreak != TextSearch::npos) {
            const std::string_view lines = units.substr(0, lastBreak);
            if (!SearchIn(lines, encoding, fileStart, lineNumber, path))
                return false;
            fileStart = false;
            lineNumber += CountUnits(lines, bigEndian, '\n') + 1;
            held -= lastBreak + 2;
            std::memmove(buffer.get(), buffer.get() + lastBreak + 2, held);
        }
        unscanned = held & ~size_t(1);
        if (!Reserve(held + blockSize, held))
            return false;
        size_t got = 0;
        if (!blocks.Read(buffer.get() + held, blockSize, got))
            return false;
        held += got;
        ended = blocks.AtEnd();
    }
    return true;
}

// Grows the shared buffer to at least size, keeping its first keep bytes; a
// failed allocation is a result, not an exception. Sizes go up in whole
// blocks so that partial lines of varying length do not regrow it.
bool FolderGrep::Reserve(size_t size, size_t keep)
{
    if (size <= capacity)
        return true;
    const size_t grown = (size + blockSize - 1) / blockSize * blockSize;
    std::unique_ptr<char[]> larger(new (std::nothrow) char[grown]);
    if (!larger)
        return false;
    if (keep != 0)
        std::memcpy(larger.get(), buffer.get(), keep);
    buffer = std::move(larger);
    capacity = grown;
    return true;
}

void FolderGrep::Skip(const std::string& path)
{
    ++skippedCount;
    if (skippedPaths.size() < MaxNamedSkips)
        skippedPaths.push_back(path);
}

// text holds whole lines separated by "\n", the last one without its break,
// starting at a line start (so at a character start). Matches are found in
// the whole text at once; only around a match are the line's bounds and
// number worked out, counting the line breaks passed since the previous one.
// After a match the search goes on at the next line, so a line is reported
// once.
void FolderGrep::SearchLines(std::string_view text, uint64_t firstLine, const std::string& path)
{
    if (pattern.empty()) {
        AddEveryLine(text, firstLine, path);
        return;
    }
    if (patternHasLineBreak)
        return; // no line holds a line break
    uint64_t lineNumber = firstLine;
    size_t lineStart = 0;
    for (;;) {
        const size_t hit = search.Find(text, lineStart);
        if (hit == TextSearch::npos)
            return;
        const size_t lineEnd = FindByteBefore(text, hit, text.size(), '\n');
        for (size_t br = FindByteBefore(text, lineStart, hit, '\n'); br < hit; br = FindByteBefore(text, br + 1, hit, '\n')) {
            lineStart = br + 1;
            ++lineNumber;
        }
        if (!AddResult(path, lineNumber, text.substr(lineStart, lineEnd - lineStart)) || lineEnd == text.size())
            return;
        lineStart = lineEnd + 1;
        ++lineNumber;
    }
}

// An empty text is one empty line, and a final "\n" is followed by one.
void FolderGrep::AddEveryLine(std::string_view text, uint64_t firstLine, const std::string& path)
{
    uint64_t lineNumber = firstLine;
    size_t lineStart = 0;
    for (;;) {
        const size_t lineEnd = FindByteBefore(text, lineStart, text.size(), '\n');
        if (!AddResult(path, lineNumber, text.substr(lineStart, lineEnd - lineStart)) || lineEnd == text.size())
            return;
        lineStart = lineEnd + 1;
        ++lineNumber;
    }
}

bool FolderGrep::AddResult(const std::string& path, uint64_t lineNumber, std::string_view line)
{
    char digits[24];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof(digits), lineNumber);
    return sink->AddLine({path, "\t", std::string_view(digits, static_cast<size_t>(written.ptr - digits)),
                          "行目\t", line, "\r\n"});
}
