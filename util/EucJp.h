// EucJp: EUC-JP, the Unix encoding of Japanese, turned to and from code page
// 932 by arithmetic. Both encode JIS X 0208 by its row and cell, so the two
// ways are exact for every two-byte character of EUC-JP rows 1 to 94 and the
// half-width katakana; JIS X 0212 (three bytes from 8F) and code page 932's
// user-defined and IBM rows (F0 to FC) have no counterpart and read as '?'.
// Stateless; every member is static.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

class EucJp {
public:
    // EUC-JP bytes to code page 932, appended to out. A character cut by
    // the end of bytes waits in carry for the next block unless `last`.
    // The result is the number of characters read as '?'.
    static size_t ToCp932(std::string_view bytes, bool last, std::string& carry, std::string& out);
    // Code page 932 text to EUC-JP, appended to out; the characters written
    // as '?'.
    static size_t FromCp932(std::string_view text, std::string& out);
    // Whether a file's start reads as Japanese EUC-JP rather than code page
    // 932: every byte valid EUC-JP, at least one two-byte character, and,
    // read as code page 932, either invalid or half-width katakana that
    // code page 932 text would not hold: beside double-byte characters, or
    // with half the EUC-JP characters or more in the kana rows (so short
    // half-width katakana text, valid both ways, stays code page 932). A
    // character cut by the end of start counts as valid unless start is the
    // whole file.
    static bool IsLikely(std::string_view start, bool wholeFile);
};
