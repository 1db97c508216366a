// TagJumpLine: a line of text read as a place in a file, the way editors do a
// tag jump from grep or compiler output. Pure: it looks at the bytes only
// (code page 932, so a 0x5C or ':' trail byte is never a separator) and does
// not ask whether the file exists.
#pragma once

#include <string>
#include <vector>

struct TagJumpLine {
    std::string path;
    // 1-based; 0 when the line gives no line number (a bare path).
    unsigned long long line = 0;
    // 1-based column in characters; 0 when none is given.
    unsigned long long column = 0;

    // Recognised, in this order of preference:
    //   path<TAB>N行目<TAB>text          (the editor's own grep)
    //   path<TAB>N行目 M桁目<TAB>text    (its grep by regular expression)
    //   path(N)  path(N,C)  path(N,C-C2)  path(N):   then any text
    //   path:N   path:N:  path:N:C:               then any text
    //   path                                       (a bare path)
    // Of the parenthesised and the colon forms the one that starts first
    // wins. Surrounding blanks, a line break and a leading "N>" project
    // prefix are ignored; a quoted path loses its quotes; line 0 is line 1.
    // 0 when the text cannot name a file.
    static int Parse(const std::string& text, TagJumpLine* out);

    // The places a line may name, to be tried in this order: what Parse
    // reads, then the whole line as a bare path, for a file whose name only
    // looks like a place ("report (2) final.txt").
    static std::vector<TagJumpLine> Places(const std::string& text);
};
