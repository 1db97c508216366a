#include "app/FolderGrep.h"

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

// Others may read and write the file meanwhile.
FileHandle OpenForReading(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return FileHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

} // namespace

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
    uint64_t lineNumber = 1;
    size_t held = 0;
    bool detect = true;
    bool fileStart = true;
    TextEncoding encoding;
    for (bool ended = false; !ended && !sink->Stopped();) {
        // The first read covers what the encoding is decided on.
        const size_t want = std::min<size_t>(detect ? std::max(blockSize, TextEncoding::StartSize) : blockSize, 0x40000000);
        if (!Reserve(held + want, held))
            return false;
        DWORD got = 0;
        if (!::ReadFile(file.get(), buffer.get() + held, static_cast<DWORD>(want), &got, nullptr))
            return false;
        std::string_view read(buffer.get() + held, got);
        if (detect) {
            detect = false;
            encoding = TextEncoding::DetectStart(read.substr(0, TextEncoding::StartSize), got < want);
            if (encoding.GetKind() == TextEncoding::Utf16Le || encoding.GetKind() == TextEncoding::Utf16Be)
                return SearchUtf16(file.get(), read, encoding, path);
        }
        const size_t zero = ::FindByte(read, 0, '\0');
        ended = got == 0 || zero != TextSearch::npos;
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

// A UTF-16 file is read whole and turned into code page 932, where its line
// breaks and zero characters are those of any other text.
bool FolderGrep::SearchUtf16(HANDLE file, std::string_view start, const TextEncoding& encoding,
                             const std::string& path)
{
    std::string bytes(start);
    for (DWORD got = 1; got != 0;) {
        const size_t at = bytes.size();
        bytes.resize(at + blockSize);
        if (!::ReadFile(file, &bytes[at], static_cast<DWORD>(std::min<size_t>(blockSize, 0x40000000)), &got, nullptr))
            return false;
        bytes.resize(at + got);
    }
    size_t lost = 0;
    if (!encoding.DecodeFile(bytes, &lost))
        return false;
    std::string_view text(bytes);
    SearchLines(text.substr(0, FindByteBefore(text, 0, text.size(), '\0')), 1, path);
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
