// TextSearch: finds a byte pattern in narrow text of the process's code page
// (932 on the target), accepting a match only where a character starts, never
// at the trail byte of a double-byte character. One object holds one pattern;
// grep and the editor's search run it over their texts in place, without
// copying lines. Offsets in and out are byte offsets. Options may fold case
// and ask for whole words; without them the search matches exact bytes.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

class WindowMatcher;

// How a pattern matches; the defaults match exact bytes anywhere.
struct SearchOptions {
    // Off: ASCII letters and the full-width Latin letters Ａ-Ｚ / ａ-ｚ match in
    // either case. Folding keeps every character's length, so offsets agree.
    bool matchCase = true;
    // On: a match must not touch an ASCII letter, digit or underscore on
    // either side (a trail byte that looks like one is part of its character).
    bool wholeWord = false;
    // On: the pattern is a regular expression, matched on characters (the
    // editor's search and grep take it; TextSearch itself does not).
    bool regex = false;
};

class TextSearch {
public:
    static constexpr size_t npos = std::string_view::npos;

    // One flag per byte value: true for the lead bytes of double-byte
    // characters. A lead byte always takes the byte after it as its trail.
    using LeadBytes = std::array<bool, 256>;
    // The process's ANSI code page, from IsDBCSLeadByte, built once.
    static const LeadBytes& ProcessLeadBytes();
    // No lead bytes at all: a plain byte search, as in a single-byte code page.
    static const LeadBytes& NoLeadBytes();

    // The lead-byte table is referred to, not copied: it must outlive the object.
    explicit TextSearch(std::string_view pattern);
    TextSearch(std::string_view pattern, const LeadBytes& leadBytes);
    TextSearch(std::string_view pattern, SearchOptions options);
    TextSearch(std::string_view pattern, SearchOptions options, const LeadBytes& leadBytes);

    // First match that starts at or after `from`; npos when there is none or
    // when `from` lies beyond the text. An empty pattern matches at `from`.
    size_t Find(std::string_view text, size_t from = 0) const;
    // Last match that ends at or before `end` (the text's length when `end`
    // lies beyond it), for an upward search. An empty pattern matches at `end`.
    size_t FindLast(std::string_view text, size_t end = npos) const;

    size_t PatternLength() const { return pattern.size(); }
    const SearchOptions& Options() const { return options; }

private:
    friend class WindowMatcher;

    std::string pattern;
    const LeadBytes* lead;
    SearchOptions options;
    // Without matchCase: the pattern folded to lower case, and the other case
    // of its first and last bytes (the same byte where there is none).
    std::string folded;
    unsigned char firstOther = 0;
    unsigned char lastOther = 0;
    // False when the pattern ends in a lone lead byte: the text byte after a
    // match is then a trail byte, never a word character.
    bool endsOnCharacter = true;
};

// One-off searches with the process's code page; a loop should keep one
// TextSearch instead.
size_t FindText(std::string_view text, size_t from, std::string_view pattern);
size_t FindLastText(std::string_view text, size_t end, std::string_view pattern);

// The first offset at or after `from` that holds byte, or npos; eight bytes
// are tested at a time (a run-time library's memchr may go byte by byte).
size_t FindByte(std::string_view text, size_t from, char byte);

// Whether a character of the text starts at byte offset pos (true at the end).
bool IsCharacterStart(std::string_view text, size_t pos);
