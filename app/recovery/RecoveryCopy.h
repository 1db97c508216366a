// RecoveryCopy: what a recovery file holds: a document's text as the pane
// held it, and what is needed to open it again as it was: the document's
// path (empty for an untitled one), its encoding, its line ends, the caret,
// whether saving changes what its file held and leaves out a byte-order mark,
// and the file as the document last read or wrote it. On disk it is a short
// header of "key=value" lines ending in an empty line, then the text's bytes
// unchanged, so a copy of any size is written without being converted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

struct RecoveryCopy {
    std::string documentPath;
    int encoding = 0; // a TextEncoding::Kind
    int lineEnds = 0; // a DocumentFormat::LineEnds
    uint64_t caret = 0;
    std::string text;
    // Copies of earlier versions hold none of these.
    bool lossy = false;
    bool markless = false;
    bool fileKnown = false; // and then its size and last-write time
    uint64_t fileSize = 0;
    uint64_t fileWritten = 0;

    std::string Header() const;
    // The copy in bytes read from a recovery file; false when they are not one.
    static bool Parse(std::string_view bytes, RecoveryCopy* out);
};
