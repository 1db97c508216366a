// DocumentFormat: the form of a document's file — its encoding and whether
// its lines end in LF alone — with the two conversions between the file's
// bytes and the text a pane shows (code page 932, lines ending in CR LF).
// Reading finds the form; writing gives the file back in that same form, so
// an unedited document is written byte for byte as it was read. A new
// document is code page 932 with its lines as typed.
#pragma once

#include <cstddef>
#include <string>

#include "util/TextEncoding.h"

class DocumentFormat {
public:
    enum ReadResult { Read, NotRead, TooLarge };

    DocumentFormat() = default;

    // Reads the file at path into text (pane form) and sets format to the
    // file's form. `lost` counts the characters that cannot come back
    // unchanged. TooLarge for a file of 4 GiB or more or one that does not
    // fit in memory; on any failure text and format are unchanged.
    static ReadResult ReadFile(const std::string& path, std::string& text, DocumentFormat* format,
                               size_t* lost);

    // Pane text to the file's bytes, in place; false when memory ran out
    // (the text is then as it was or already partly converted: discard it).
    bool ToFileBytes(std::string& text) const;

    // The caption's note on the form: "" for code page 932 with CR LF, else
    // " [UTF-8]", " [LF]", " [UTF-16LE] [LF]"...
    std::string CaptionTag() const;

    TextEncoding GetEncoding() const { return encoding; }
    bool IsLfOnly() const { return lfOnly; }

private:
    TextEncoding encoding;
    bool lfOnly = false;
};
