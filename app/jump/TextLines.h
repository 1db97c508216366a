// TextLines: where the lines of a pane's text lie, in byte offsets (code page
// 932). A line ends at "\n", with a "\r" before it not counted, as the Edit
// control shows it. Used by go-to-line and the tag jump.
#pragma once

#include <cstddef>
#include <string>

class TextLines {
public:
    struct Range {
        size_t start; // the line's first byte
        size_t end;   // the byte after its last character, before the break
    };

    static unsigned long long Count(const std::string& text);
    // Line (1-based) clamped to the text's lines.
    static Range Line(const std::string& text, unsigned long long line);
    // The offset of column (1-based, in characters) within range, clamped to
    // its end.
    static size_t Column(const std::string& text, Range range, unsigned long long column);
    // The 1-based line that holds offset.
    static unsigned long long LineAt(const std::string& text, size_t offset);
};
