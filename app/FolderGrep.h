// FolderGrep: grep's walk. It reads every file below a folder whole, in the
// walk's order, and appends one result line per line of a file that holds
// the text: path, TAB, line number, "行目", TAB, the line as it stands in the
// file (a "\r" before its "\n" kept), "\r\n". A file is read up to its first
// zero byte. The matcher is the code page aware one of the editor's search,
// so a text never matches from the trail byte of a double-byte character.
// A file that cannot be opened, read whole or held in memory is skipped and
// remembered; the walk goes on. One read buffer serves every file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/FolderWalk.h"
#include "util/File.h"
#include "util/TextSearch.h"

class FolderGrep : public FolderWalk {
public:
    // The text is taken up to its first zero byte; an empty text reports
    // every line.
    explicit FolderGrep(const std::string& text);

    // Appends the results for everything below folder to out.
    void Search(const std::string& folder, std::string& out);

    // Files skipped by the last Search, and the message that names them.
    size_t SkippedCount() const { return skippedCount; }
    std::string SkippedMessage() const;

    static constexpr size_t MaxNamedSkips = 10;

protected:
    void OnFile(const std::string& path) override;

private:
    bool ReadWhole(const std::string& path, std::string_view& text);
    bool Reserve(size_t size);
    void Skip(const std::string& path);
    void SearchText(std::string_view text, const std::string& path, std::string& results) const;
    void AppendEveryLine(std::string_view text, const std::string& path, std::string& results) const;
    static void AppendResult(const std::string& path, uint64_t lineNumber, std::string_view line,
                             std::string& results);

    std::string pattern;
    TextSearch search;
    bool patternHasLineBreak;

    File file;
    std::unique_ptr<char[]> buffer; // reused for every file, grown as needed
    size_t capacity = 0;

    std::string* out = nullptr;
    size_t skippedCount = 0;
    std::vector<std::string> skippedPaths; // the first MaxNamedSkips of them
};
