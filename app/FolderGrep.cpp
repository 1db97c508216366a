#include "app/FolderGrep.h"

#include <charconv>
#include <cstdint>
#include <new>

namespace {

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

} // namespace

FolderGrep::FolderGrep(const std::string& text)
    : pattern(UpToZero(text)), search(pattern),
      patternHasLineBreak(pattern.find('\n') != std::string::npos)
{
}

void FolderGrep::Search(const std::string& folder, std::string& text)
{
    out = &text;
    skippedCount = 0;
    skippedPaths.clear();
    Walk(folder);
    out = nullptr;
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
    std::string_view text;
    if (!ReadWhole(path, text)) {
        Skip(path);
        return;
    }
    SearchText(text, path, *out);
}

// The whole file into the shared buffer; false when it cannot be opened, its
// size is beyond 32 bits, the buffer cannot grow to it or fewer bytes arrive.
bool FolderGrep::ReadWhole(const std::string& path, std::string_view& text)
{
    if (!file.Open(path, 1, 0))
        return false;
    const DWORD size = file.GetSize();
    bool ok = size != INVALID_FILE_SIZE && Reserve(size) && (size == 0 || file.ReadExact(buffer.get(), size));
    file.Close();
    if (ok)
        text = size == 0 ? std::string_view("", 0) : std::string_view(buffer.get(), size);
    return ok;
}

// The old buffer goes before the new one is taken, so the peak stays at the
// largest file. A failed allocation is a result, not an exception.
bool FolderGrep::Reserve(size_t size)
{
    if (size <= capacity)
        return true;
    buffer.reset();
    capacity = 0;
    buffer.reset(new (std::nothrow) char[size]);
    if (!buffer)
        return false;
    capacity = size;
    return true;
}

void FolderGrep::Skip(const std::string& path)
{
    ++skippedCount;
    if (skippedPaths.size() < MaxNamedSkips)
        skippedPaths.push_back(path);
}

// Matches are found in the whole text at once; only around a match are the
// line's bounds and number worked out, counting the line breaks passed since
// the previous one. After a match the search goes on at the next line, so a
// line is reported once. The text ends at its first zero byte; that is
// checked only as far as a match needs it, so a file without a match is
// scanned once, by the matcher alone.
void FolderGrep::SearchText(std::string_view text, const std::string& path, std::string& results) const
{
    if (pattern.empty()) {
        AppendEveryLine(text.substr(0, FindByteBefore(text, 0, text.size(), '\0')), path, results);
        return;
    }
    if (patternHasLineBreak)
        return; // no line holds a line break
    uint64_t lineNumber = 1;
    size_t lineStart = 0;
    size_t zeroFreeUpTo = 0;
    for (;;) {
        const size_t hit = search.Find(text, lineStart);
        if (hit == TextSearch::npos)
            return;
        const size_t lineEnd = FindByteBefore(text, hit, text.size(), '\n');
        const size_t zero = FindByteBefore(text, zeroFreeUpTo, lineEnd, '\0');
        if (zero < lineEnd) {
            text = text.substr(0, zero); // search again in what is left
            continue;
        }
        zeroFreeUpTo = lineEnd;
        for (size_t br = FindByteBefore(text, lineStart, hit, '\n'); br < hit; br = FindByteBefore(text, br + 1, hit, '\n')) {
            lineStart = br + 1;
            ++lineNumber;
        }
        AppendResult(path, lineNumber, text.substr(lineStart, lineEnd - lineStart), results);
        if (lineEnd == text.size())
            return;
        lineStart = lineEnd + 1;
        ++lineNumber;
    }
}

// An empty text is one empty line, and a final "\n" is followed by one.
void FolderGrep::AppendEveryLine(std::string_view text, const std::string& path, std::string& results) const
{
    uint64_t lineNumber = 1;
    size_t lineStart = 0;
    for (;;) {
        const size_t lineEnd = FindByteBefore(text, lineStart, text.size(), '\n');
        AppendResult(path, lineNumber, text.substr(lineStart, lineEnd - lineStart), results);
        if (lineEnd == text.size())
            return;
        lineStart = lineEnd + 1;
        ++lineNumber;
    }
}

void FolderGrep::AppendResult(const std::string& path, uint64_t lineNumber, std::string_view line,
                              std::string& results)
{
    char digits[24];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof(digits), lineNumber);
    results.append(path);
    results += '\t';
    results.append(digits, static_cast<size_t>(written.ptr - digits));
    results.append("行目\t");
    results.append(line.data(), line.size());
    results.append("\r\n", 2);
}
