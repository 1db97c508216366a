// FolderGrep: grep's walk. It reads every file below a folder whose name
// the masks take, in the walk's order and in blocks, and adds one result
// line per line of a file that holds the text: path, TAB, line number,
// "行目", TAB, the line as it stands in the file, "\r\n". Lines end where
// the editor ends them: CR LF, LF or CR. A file's encoding is decided as the
// editor's open decides it, and its text is what the editor would hold: EUC-
// JP becomes code page 932, UTF-16 becomes UTF-8. A regular expression
// matches that text; plain text is searched in code page 932, to which
// UTF-8 and UTF-16 are turned a block at a time. Result lines are code page
// 932 whatever the file's encoding. A partial line is carried from one block
// to the next; one that grows past the line limit is searched in pieces and
// a match in it is reported with its piece, marked as part of a long line,
// so memory stays near a block and the limit whatever the file. A file whose
// start holds zero bytes that UTF-16 does not explain is binary and skipped;
// in a text file a zero byte ends the text. The matcher is the code page
// aware one of the editor's search, so a text never matches from the trail
// byte of a double-byte character. A file that cannot be opened or read is
// skipped and remembered; the walk goes on.
// With the regular-expression option each line is matched on its own and
// its result names the column of the first match too ("N行目 M桁目"); a
// line on which the engine gives up ends the search of its file, which is
// remembered with the line.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/documents/DocumentFormat.h"
#include "app/folders/FileMask.h"
#include "app/folders/FolderWalk.h"
#include "app/folders/ResultSink.h"
#include "app/search/RegexSearch.h"
#include "util/TextEncoding.h"
#include "util/TextSearch.h"

class FileBlocks;

class FolderGrep : public FolderWalk {
public:
    static constexpr size_t DefaultBlockSize = 4u * 1024u * 1024u;
    static constexpr size_t DefaultLineLimit = 4u * 1024u * 1024u;

    // The text is taken up to its first zero byte; an empty text reports
    // every line.
    explicit FolderGrep(const std::string& text, const std::string& masks = "*.*", SearchOptions options = {});

    // Adds the results for everything below folder to the sink.
    void Search(const std::string& folder, ResultSink& results);
    // Appends the results for everything below folder to out, at once.
    void Search(const std::string& folder, std::string& out);

    // Why a regular expression does not compile; empty when it does (or
    // the option is off). Such a grep searches nothing.
    const std::string& PatternError() const { return patternError; }

    // Files skipped by the last Search, or left part-way by the regular
    // expression's limit, and the message that names them.
    size_t SkippedCount() const { return unreadable.count + binary.count + limited.count; }
    std::string SkippedMessage() const;

    void SetBlockSize(size_t bytes) { blockSize = bytes; }
    // How much of one line is held before it is searched in pieces.
    void SetLineLimit(size_t bytes) { lineLimit = bytes; }

    static constexpr size_t MaxNamedSkips = 10;

protected:
    void OnFile(const std::string& path) override;
    void OnUnreachable(const std::string& path) override;

private:
    enum class Outcome { Searched, Unreadable, Binary, Limit };

    // The line being read: its number, its bytes held at the buffer's front
    // and, once it grew past the limit, how far its pieces were searched.
    struct Line {
        uint64_t number = 1;
        size_t held = 0;
        bool cut = false;      // its start is gone
        bool done = false;     // nothing more to find in it
        size_t searchFrom = 0; // in the held bytes
        uint64_t dropped = 0;  // characters cut off its start, for the column
        bool crWaiting = false; // the last read ended in a CR, not yet held: the next byte tells its line end
    };

    // Files of one kind of skip: how many, and the first MaxNamedSkips.
    struct Skips {
        size_t count = 0;
        std::vector<std::string> paths;
        void Add(const std::string& path);
    };

    Outcome SearchFile(const std::string& path);
    static bool DecideEncoding(std::string_view firstRead, bool wholeFile, TextEncoding& encoding);
    bool DecodeRead(const TextEncoding& encoding, bool fileStart, bool atEnd, size_t at, size_t& size);
    bool TakeText(Line& line, size_t added, bool atEnd, const std::string& path);
    void SearchHeld(Line& line, std::string_view text, const std::string& path);
    void CutLine(Line& line, const std::string& path);
    void CutRegexLine(Line& line, const std::string& path);
    bool Reserve(size_t size, size_t keep);
    void SearchLines(std::string_view text, uint64_t firstLine, const std::string& path);
    void AddEveryLine(std::string_view text, uint64_t firstLine, const std::string& path);
    RegexSearch& Engine() { return heldUtf8 ? utf8RegexSearch : regexSearch; }
    void SearchRegexLines(std::string_view text, uint64_t firstLine, const std::string& path);
    bool SearchRegexPiece(const Line& line, std::string_view piece, size_t to, bool cutAfter, const std::string& path);
    bool KeepRegexOutcome(RegexSearch::Outcome outcome, uint64_t lineNumber);
    bool AddResult(const std::string& path, uint64_t lineNumber, std::string_view line, bool cutBefore = false,
                   bool cutAfter = false, uint64_t column = 0);

    std::string pattern;
    TextSearch search;
    bool patternHasLineBreak;
    bool regex;
    RegexSearch regexSearch;     // for code page 932 text
    RegexSearch utf8RegexSearch; // for UTF-8 text
    std::string patternError;
    // Set when the regular expression gave up on a line of the file being
    // searched (its number) or ran out of memory: the file ends there.
    uint64_t limitLine = 0;
    bool regexNoMemory = false;
    FileMask mask;
    size_t blockSize = DefaultBlockSize;
    size_t lineLimit = DefaultLineLimit;

    std::unique_ptr<char[]> buffer; // reused for every file, grown as needed
    size_t capacity = 0;
    std::string cutCharacter; // bytes of a character the last read cut, before decoding
    // The file's bytes as the editor would hold them (EUC-JP, and UTF-16
    // for a regular expression); none where they are turned into code page
    // 932 or searched as they are.
    std::optional<PaneBytesDecoder> paneBytes;
    bool heldUtf8 = false; // the text held is UTF-8 (a regular expression's UTF-8 or UTF-16 file)

    Skips unreadable;
    Skips binary;
    Skips limited; // "path (N 行目)"
};
