#include "app/folders/FolderGrep.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <new>

#include "util/KernelHandle.h"

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

// The bytes at the end that begin a character without finishing it: the
// next read completes it.
size_t UnfinishedTail(std::string_view bytes, TextEncoding::Kind kind)
{
    if (kind == TextEncoding::Utf16Le || kind == TextEncoding::Utf16Be) {
        const size_t odd = bytes.size() % 2;
        const size_t whole = bytes.size() - odd;
        if (whole < 2)
            return odd;
        const auto highByte = static_cast<unsigned char>(bytes[kind == TextEncoding::Utf16Be ? whole - 2 : whole - 1]);
        return highByte >= 0xD8 && highByte <= 0xDB ? odd + 2 : odd; // a high surrogate
    }
    for (size_t back = 1; back <= std::min<size_t>(3, bytes.size()); ++back) {
        const auto c = static_cast<unsigned char>(bytes[bytes.size() - back]);
        if (c < 0x80)
            return 0;
        if (c >= 0xC0)
            return (c >= 0xF0 ? 4u : c >= 0xE0 ? 3u : 2u) > back ? back : 0;
    }
    return 0;
}

// The length of the character at the start of UTF-8 text: a valid
// sequence, else one byte, as the engine decodes it.
size_t Utf8CharacterLength(std::string_view text)
{
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    uint32_t code = 0;
    return p[0] < 0x80 ? 1 : std::max<size_t>(1, TextEncoding::ReadUtf8(p, text.size(), &code));
}

// Whether a character starts at pos of code page 932 or UTF-8 text.
bool StartsCharacter(std::string_view text, size_t pos, bool utf8)
{
    if (!utf8)
        return IsCharacterStart(text, pos);
    if (pos >= text.size() || (static_cast<unsigned char>(text[pos]) & 0xC0) != 0x80)
        return true;
    for (size_t back = 1; back <= std::min<size_t>(3, pos); ++back) {
        if ((static_cast<unsigned char>(text[pos - back]) & 0xC0) != 0x80)
            return Utf8CharacterLength(text.substr(pos - back)) <= back;
    }
    return true; // a stray continuation byte is a character of its own
}

size_t CharacterStartAtOrBefore(std::string_view text, size_t pos, bool utf8 = false)
{
    while (!StartsCharacter(text, pos, utf8))
        --pos;
    return pos;
}

// What a piece of a long line keeps of its end, and of what was searched
// before that, for the next piece when the text is a regular expression,
// whose matches have no fixed length: a match of up to this many bytes
// across a cut is found, and looks back as far.
constexpr size_t RegexOverlap = 4096;

// Characters in code page 932 or UTF-8 text that starts at a character start.
uint64_t CountCharacters(std::string_view text, bool utf8)
{
    const auto& lead = TextSearch::ProcessLeadBytes();
    uint64_t count = 0;
    for (size_t at = 0; at < text.size(); ++count)
        at += utf8 ? Utf8CharacterLength(text.substr(at)) : lead[static_cast<unsigned char>(text[at])] ? 2 : 1;
    return count;
}

// The high bit of each of the eight bytes of word that is byte, and maybe
// of a byte above such a one whose value is byte ^ 1 (the borrow of the
// usual test carries on there); never of any other.
uint64_t LanesOf(uint64_t word, unsigned char byte)
{
    constexpr uint64_t ones = 0x0101010101010101ull;
    const uint64_t v = word ^ (ones * byte);
    return (v - ones) & ~v & (ones << 7);
}

// The text of a read: up to its first zero byte, every lone CR made an LF,
// so that an LF ends every line and a CR LF's CR stays in its line as in the
// file. A CR last in a read that is not the file's last is left out and
// waits: the next read begins with it. One pass, eight bytes at a time
// where they hold no zero byte and no CR without an LF after it (a byte is
// marked wrongly only right above a marked one, so an LF never right after
// a CR). Returns the text's length.
size_t EndLinesInLf(char* text, size_t size, bool atEnd, bool* crWaiting, bool* zero)
{
    *crWaiting = false;
    size_t at = 0;
    for (;;) {
        for (uint64_t word = 0, next = 0; size - at >= 9; at += 8) {
            std::memcpy(&word, text + at, 8);
            if (LanesOf(word, '\0') != 0)
                break;
            const uint64_t crs = LanesOf(word, '\r');
            if (crs == 0)
                continue;
            std::memcpy(&next, text + at + 1, 8);
            if ((crs & ~LanesOf(next, '\n')) != 0)
                break;
        }
        if (at == size)
            return size;
        for (const size_t end = std::min(size, at + 8); at < end; ++at) {
            if (text[at] == '\0') {
                *zero = true;
                return at;
            }
            if (text[at] != '\r')
                continue;
            if (at + 1 == size && !atEnd) {
                *crWaiting = true;
                return at;
            }
            if (at + 1 == size || text[at + 1] != '\n')
                text[at] = '\n';
        }
    }
}

const char LongLineNote[] = "（長い行の一部）";
const char CutMark[] = "…";

// Others may read, write, delete or rename the file meanwhile.
KernelHandle OpenForReading(const std::string& path)
{
    return OwnHandle(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
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
      patternHasLineBreak(!options.regex && pattern.find_first_of("\r\n") != std::string::npos), regex(options.regex),
      mask(masks)
{
    if (!regex)
        return;
    try {
        if (regexSearch.Compile(pattern, options, 932, &patternError))
            utf8RegexSearch.Compile(pattern, options, 65001, &patternError);
    } catch (const std::bad_alloc&) {
        patternError = "メモリが足りません";
    }
}

void FolderGrep::Search(const std::string& folder, ResultSink& results)
{
    sink = &results;
    unreadable = {};
    binary = {};
    limited = {};
    if (patternError.empty())
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

void FolderGrep::Skips::Add(const std::string& path)
{
    ++count;
    if (paths.size() < MaxNamedSkips)
        paths.push_back(path);
}

namespace {

void AppendSkips(std::string& message, const char* heading, size_t count, const std::vector<std::string>& paths)
{
    if (count == 0)
        return;
    if (!message.empty())
        message += "\n\n";
    message += heading;
    for (const std::string& path : paths) {
        message += '\n';
        message += path;
    }
    if (count > paths.size())
        message += "\nほか " + std::to_string(count - paths.size()) + " 件";
}

} // namespace

std::string FolderGrep::SkippedMessage() const
{
    std::string message;
    AppendSkips(message, "ファイルを開けませんでした。", unreadable.count, unreadable.paths);
    AppendSkips(message, "バイナリファイルとみなして検索しませんでした。", binary.count, binary.paths);
    AppendSkips(message, "正規表現の処理が上限を超えたため、途中で検索をやめました。", limited.count, limited.paths);
    return message;
}

void FolderGrep::OnFile(const std::string& path)
{
    if (!mask.Matches(path))
        return;
    const Outcome outcome = SearchFile(path);
    if (outcome == Outcome::Unreadable)
        unreadable.Add(path);
    else if (outcome == Outcome::Binary)
        binary.Add(path);
    else if (outcome == Outcome::Limit)
        limited.Add(path + " (" + std::to_string(limitLine) + " 行目)");
    sink->NoteFile();
    sink->Flush();
}

void FolderGrep::OnUnreachable(const std::string& path)
{
    unreadable.Add(path);
}

// Reads the file block by block after the part of a line the previous block
// left. The first read covers what the encoding is decided on. Unreadable
// also when memory cannot be had. A line the regular expression gave up on
// ends the file.
FolderGrep::Outcome FolderGrep::SearchFile(const std::string& path)
{
    const KernelHandle file = OpenForReading(path);
    if (!file)
        return Outcome::Unreadable;
    FileBlocks blocks(file.get());
    TextEncoding encoding;
    cutCharacter.clear();
    limitLine = 0;
    regexNoMemory = false;
    Line line;
    size_t want = std::max(blockSize, TextEncoding::StartSize);
    for (bool first = true;; first = false) {
        // The read follows a waiting CR; room for a cut character carried
        // before it, too.
        const size_t at = line.held + (line.crWaiting ? 1 : 0);
        if (!Reserve(at + want + 4, line.held))
            return Outcome::Unreadable;
        if (line.crWaiting)
            buffer[line.held] = '\r';
        size_t got = 0;
        if (!blocks.Read(buffer.get() + at, want, got))
            return Outcome::Unreadable;
        if (first) {
            if (!DecideEncoding(std::string_view(buffer.get(), got), blocks.AtEnd(), encoding))
                return Outcome::Binary;
            const DocumentFormat format(encoding);
            const bool asHeld = encoding.GetKind() == TextEncoding::EucJp || (regex && !encoding.IsCp932());
            paneBytes.reset();
            if (asHeld)
                paneBytes.emplace(format);
            heldUtf8 = asHeld && format.PaneCodePage() == 65001;
        }
        if (!encoding.IsCp932() && !DecodeRead(encoding, first, blocks.AtEnd(), at, got))
            return Outcome::Unreadable;
        const bool ended = TakeText(line, at - line.held + got, blocks.AtEnd(), path);
        if (regexNoMemory)
            return Outcome::Unreadable;
        if (limitLine != 0)
            return Outcome::Limit;
        if (ended || sink->Stopped())
            return Outcome::Searched;
        want = blockSize;
    }
}

// A mark decides; else a zero byte in the file's start is UTF-16 without a
// mark or binary (false); else the whole first read tells UTF-8, EUC-JP and
// code page 932 apart as the editor's open does, on a read as large as its.
bool FolderGrep::DecideEncoding(std::string_view firstRead, bool wholeFile, TextEncoding& encoding)
{
    encoding = DocumentFormat::Detect(firstRead, wholeFile).GetEncoding();
    if (!encoding.GetMark().empty())
        return true;
    const std::string_view start = firstRead.substr(0, TextEncoding::StartSize);
    return ::FindByte(start, 0, '\0') == TextSearch::npos || TextEncoding::DetectUnmarkedUtf16(start, encoding);
}

// The size bytes read at `at` become the text searched in their place:
// what the editor would hold where paneBytes says so (UTF-8 kept as it is,
// its mark aside), else code page 932 text after the character the previous
// read cut; one cut by this read's end waits for the next.
bool FolderGrep::DecodeRead(const TextEncoding& encoding, bool fileStart, bool atEnd, size_t at, size_t& size)
{
    try {
        const std::string_view read(buffer.get() + at, size);
        std::string bytes;
        if (paneBytes && paneBytes->PassesThrough()) {
            const size_t mark = paneBytes->SkipAtStart();
            if (fileStart && mark != 0 && read.substr(0, mark) == encoding.GetMark()) {
                std::memmove(buffer.get() + at, buffer.get() + at + mark, size - mark);
                size -= mark;
            }
            return true;
        }
        if (paneBytes) {
            if (!paneBytes->Decode(read, atEnd, bytes))
                return false;
        } else {
            bytes = std::move(cutCharacter);
            bytes.append(read);
            const size_t tail = atEnd ? 0 : UnfinishedTail(bytes, encoding.GetKind());
            cutCharacter.assign(bytes, bytes.size() - tail, tail);
            bytes.resize(bytes.size() - tail);
            size_t lost = 0;
            if (!(fileStart ? encoding.DecodeFile(bytes, &lost) : encoding.Decode(bytes, &lost)))
                return false;
        }
        if (!Reserve(at + bytes.size(), at))
            return false;
        std::memcpy(buffer.get() + at, bytes.data(), bytes.size());
        size = bytes.size();
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// The added text follows the held part of the line, which holds neither a
// line break nor a zero byte, so only the new bytes are looked through for
// them. Every whole line is searched; the partial last one moves to the
// front. True when the text ended: at the file's end or a zero byte.
bool FolderGrep::TakeText(Line& line, size_t added, bool atEnd, const std::string& path)
{
    bool zero = false;
    const std::string_view fresh(buffer.get() + line.held,
                                 EndLinesInLf(buffer.get() + line.held, added, atEnd, &line.crWaiting, &zero));
    const bool textEnds = atEnd || zero;
    const std::string_view text(buffer.get(), line.held + fresh.size());
    if (textEnds) {
        SearchHeld(line, text, path);
        return true;
    }
    const size_t lastBreak = fresh.rfind('\n');
    if (lastBreak == std::string_view::npos) {
        line.held = text.size();
    } else {
        const size_t linesEnd = line.held + lastBreak;
        SearchHeld(line, text.substr(0, linesEnd), path);
        line = Line{line.number + 1, text.size() - linesEnd - 1, false, false, 0, 0, line.crWaiting};
        std::memmove(buffer.get(), buffer.get() + linesEnd + 1, line.held);
    }
    if (line.held >= lineLimit)
        CutLine(line, path);
    return false;
}

// text is the held line and whole lines after it, the last one without its
// break. Afterwards line.number is that of the last.
void FolderGrep::SearchHeld(Line& line, std::string_view text, const std::string& path)
{
    if (line.cut) {
        const size_t end = FindByteBefore(text, 0, text.size(), '\n');
        if (regex && !line.done)
            SearchRegexPiece(line, text.substr(0, end), end, false, path);
        else if (!regex && !line.done && !patternHasLineBreak && search.Find(text.substr(0, end), line.searchFrom) != TextSearch::npos)
            AddResult(path, line.number, text.substr(0, end), true, false);
        if (end == text.size())
            return;
        text.remove_prefix(end + 1);
        ++line.number;
    }
    SearchLines(text, line.number, path);
    line.number += static_cast<uint64_t>(std::count(text.begin(), text.end(), '\n'));
}

// A line past the limit is searched up to a few characters from its end and
// dropped but for them: a match may run across the cut, and the character
// before the next search's start tells a whole word. A match is reported
// once, with the piece it is in; a reported line is not searched further.
void FolderGrep::CutLine(Line& line, const std::string& path)
{
    if (regex) {
        CutRegexLine(line, path);
        return;
    }
    const std::string_view piece(buffer.get(), line.held);
    // A match that starts before searchEnd has one byte after it in the piece.
    const size_t searchEnd = CharacterStartAtOrBefore(piece, line.held - std::min(line.held, pattern.size() + 1));
    const size_t keepFrom = searchEnd == 0 ? 0 : CharacterStartAtOrBefore(piece, searchEnd - 1);
    if (!line.done && !patternHasLineBreak) {
        if (keepFrom == 0)
            return; // too little to cut yet: hold more
        const size_t hit = search.Find(piece, line.searchFrom);
        if (hit != TextSearch::npos && hit < searchEnd) {
            AddResult(path, line.number, piece, line.cut, true);
            line.done = true;
        }
    }
    const bool searchOn = !line.done && !patternHasLineBreak;
    const size_t drop = searchOn ? keepFrom : line.held;
    line.held -= drop;
    std::memmove(buffer.get(), buffer.get() + drop, line.held);
    line.searchFrom = searchOn ? searchEnd - keepFrom : 0;
    line.cut = true;
}

// The piece is searched for a match that starts before its last
// RegexOverlap bytes, which the engine sees after it as the line's going on;
// they and as many before them, the context of the next search, are kept
// (nothing once a match was reported). The characters dropped count
// towards a later match's column.
void FolderGrep::CutRegexLine(Line& line, const std::string& path)
{
    const std::string_view piece(buffer.get(), line.held);
    const size_t overlap = std::min(RegexOverlap, lineLimit / 4);
    const size_t to = CharacterStartAtOrBefore(piece, line.held - std::min(line.held, overlap), heldUtf8);
    if (to <= line.searchFrom)
        return; // too little to cut yet: hold more
    if (!line.done && SearchRegexPiece(line, piece, to, true, path))
        line.done = true;
    const size_t drop = line.done ? line.held : CharacterStartAtOrBefore(piece, to - std::min(to, overlap), heldUtf8);
    if (!line.done)
        line.dropped += CountCharacters(piece.substr(0, drop), heldUtf8);
    line.held -= drop;
    std::memmove(buffer.get(), buffer.get() + drop, line.held);
    line.searchFrom = line.done ? 0 : to - drop;
    line.cut = true;
}

// Grows the shared buffer to at least size, keeping its first keep bytes; a
// failed allocation is a result, not an exception. It at least doubles, so
// a long line that grows a block at a time is copied a few times in all.
bool FolderGrep::Reserve(size_t size, size_t keep)
{
    if (size <= capacity)
        return true;
    size_t grown = std::max(size, capacity * 2);
    std::unique_ptr<char[]> larger(new (std::nothrow) char[grown]);
    if (!larger && grown > size) {
        grown = size;
        larger.reset(new (std::nothrow) char[grown]);
    }
    if (!larger)
        return false;
    if (keep != 0)
        std::memcpy(larger.get(), buffer.get(), keep);
    buffer = std::move(larger);
    capacity = grown;
    return true;
}

// text holds whole lines separated by "\n", the last one without its break,
// starting at a line start (so at a character start). Matches are found in
// the whole text at once; only around a match are the line's bounds and
// number worked out, counting the line breaks passed since the previous one.
// After a match the search goes on at the next line, so a line is reported
// once.
void FolderGrep::SearchLines(std::string_view text, uint64_t firstLine, const std::string& path)
{
    if (regex) {
        SearchRegexLines(text, firstLine, path);
        return;
    }
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

// Each line of text on its own through the regular expression. Nothing more
// is searched in the file once the engine gave up.
void FolderGrep::SearchRegexLines(std::string_view text, uint64_t firstLine, const std::string& path)
{
    if (limitLine != 0 || regexNoMemory)
        return;
    size_t limitIndex = 0;
    try {
        const RegexSearch::Outcome outcome = Engine().SearchLines(
            text,
            [&](size_t index, size_t start, size_t end, size_t column) {
                return AddResult(path, firstLine + index, text.substr(start, end - start), false, false, column);
            },
            &limitIndex);
        KeepRegexOutcome(outcome, firstLine + limitIndex);
    } catch (const std::bad_alloc&) {
        KeepRegexOutcome(RegexSearch::Outcome::NoMemory, 0);
    }
}

// A piece of a long line, searched from line.searchFrom for a match that
// starts before `to`, what lies around as context; the piece is reported,
// its column counting the characters dropped before it. True when it was.
bool FolderGrep::SearchRegexPiece(const Line& line, std::string_view piece, size_t to, bool cutAfter,
                                  const std::string& path)
{
    if (limitLine != 0 || regexNoMemory)
        return false;
    try {
        size_t column = 0;
        const RegexSearch::Outcome outcome =
            Engine().FindInLinePiece(piece, line.searchFrom, to, !line.cut, !cutAfter, &column);
        if (outcome == RegexSearch::Outcome::Found)
            AddResult(path, line.number, piece, line.cut, cutAfter, line.dropped + column);
        return KeepRegexOutcome(outcome, line.number) && outcome == RegexSearch::Outcome::Found;
    } catch (const std::bad_alloc&) {
        return KeepRegexOutcome(RegexSearch::Outcome::NoMemory, 0);
    }
}

// The engine's limit on a line, or a lack of memory, ends the file; false then.
bool FolderGrep::KeepRegexOutcome(RegexSearch::Outcome outcome, uint64_t lineNumber)
{
    if (outcome == RegexSearch::Outcome::Limit)
        limitLine = lineNumber;
    regexNoMemory = regexNoMemory || outcome == RegexSearch::Outcome::NoMemory;
    return limitLine == 0 && !regexNoMemory;
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

// A piece of a long line says so, with a mark where it was cut. The CR of a
// CR LF line end is left out: the pane would show it as a line break of its
// own, an empty line after every result. A column (regular expressions)
// follows the line number: "N行目 M桁目". UTF-8 text is shown in code page
// 932 (what it lacks as '?').
bool FolderGrep::AddResult(const std::string& path, uint64_t lineNumber, std::string_view line, bool cutBefore,
                           bool cutAfter, uint64_t column)
{
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::string shown;
    if (heldUtf8) {
        shown.assign(line.data(), line.size());
        size_t lost = 0;
        if (!TextEncoding(TextEncoding::Utf8).Decode(shown, &lost)) {
            regexNoMemory = true;
            return false;
        }
        line = shown;
    }
    char digits[24];
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof(digits), lineNumber);
    if (column != 0) {
        char columnDigits[24];
        const std::to_chars_result columnEnd = std::to_chars(columnDigits, columnDigits + sizeof(columnDigits), column);
        return sink->AddLine({path, "\t", std::string_view(digits, static_cast<size_t>(written.ptr - digits)),
                              "行目 ", std::string_view(columnDigits, static_cast<size_t>(columnEnd.ptr - columnDigits)),
                              "桁目\t", cutBefore || cutAfter ? LongLineNote : "", cutBefore ? CutMark : "", line,
                              cutAfter ? CutMark : "", "\r\n"});
    }
    return sink->AddLine({path, "\t", std::string_view(digits, static_cast<size_t>(written.ptr - digits)),
                          "行目\t", cutBefore || cutAfter ? LongLineNote : "", cutBefore ? CutMark : "", line,
                          cutAfter ? CutMark : "", "\r\n"});
}
