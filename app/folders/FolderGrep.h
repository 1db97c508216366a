// FolderGrep: grep's walk. It reads every file below a folder whose name
// the masks take, in the walk's order and in blocks, and adds one result
// line per line of a file that holds the text: path, TAB, line number,
// "行目", TAB, the line as it stands in the file (a "\r" before its "\n"
// kept), "\r\n". A file is read up to its first zero byte. A partial line is
// carried from one block to the next, so memory stays near two blocks
// whatever the file's size, and a line longer than a block is still reported
// whole. UTF-8 and UTF-16 files (by their start) are searched as code page
// 932 text and give code page 932 result lines. The matcher is the code page
// aware one of the editor's search, so a text never matches from the trail
// byte of a double-byte character. A file
// that cannot be opened or read is skipped and remembered; the walk goes on.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/folders/FileMask.h"
#include "app/folders/FolderWalk.h"
#include "app/folders/ResultSink.h"
#include "util/TextEncoding.h"
#include "util/TextSearch.h"

class FileBlocks;

class FolderGrep : public FolderWalk {
public:
    static constexpr size_t DefaultBlockSize = 4u * 1024u * 1024u;

    // The text is taken up to its first zero byte; an empty text reports
    // every line.
    explicit FolderGrep(const std::string& text, const std::string& masks = "*.*", SearchOptions options = {});

    // Adds the results for everything below folder to the sink.
    void Search(const std::string& folder, ResultSink& results);
    // Appends the results for everything below folder to out, at once.
    void Search(const std::string& folder, std::string& out);

    // Files skipped by the last Search, and the message that names them.
    size_t SkippedCount() const { return skippedCount; }
    std::string SkippedMessage() const;

    void SetBlockSize(size_t bytes) { blockSize = bytes; }

    static constexpr size_t MaxNamedSkips = 10;

protected:
    void OnFile(const std::string& path) override;
    void OnUnreachable(const std::string& path) override;

private:
    bool SearchFile(const std::string& path);
    bool SearchIn(std::string_view text, const TextEncoding& encoding, bool fileStart, uint64_t firstLine,
                  const std::string& path);
    bool SearchUtf16(FileBlocks& blocks, size_t held, const TextEncoding& encoding, const std::string& path);
    bool Reserve(size_t size, size_t keep);
    void Skip(const std::string& path);
    void SearchLines(std::string_view text, uint64_t firstLine, const std::string& path);
    void AddEveryLine(std::string_view text, uint64_t firstLine, const std::string& path);
    bool AddResult(const std::string& path, uint64_t lineNumber, std::string_view line);

    std::string pattern;
    TextSearch search;
    bool patternHasLineBreak;
    FileMask mask;
    size_t blockSize = DefaultBlockSize;

    std::unique_ptr<char[]> buffer; // reused for every file, grown as needed
    size_t capacity = 0;

    size_t skippedCount = 0;
    std::vector<std::string> skippedPaths; // the first MaxNamedSkips of them
};
