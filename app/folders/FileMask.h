// FileMask: the file masks of grep's dialog, e.g. "*.c;*.h;*.txt". Masks are
// separated by ';' or spaces; a file name is taken when any mask matches it
// as Windows wildcard matching does: '*' any run of characters, '?' one
// character (a double-byte character counts as one), letters compared
// without regard to case, "*.*" everything. No mask at all takes every name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class FileMask {
public:
    explicit FileMask(std::string_view masks = "*.*");

    // Whether a mask takes the name at the end of path: what follows its
    // last backslash character (0x5C as the trail byte of ソ or 表 is none).
    bool Matches(std::string_view path) const;

    // Splits a list at ';' and spaces, dropping empty pieces; also used for
    // the folder names the walk leaves out.
    static std::vector<std::string> SplitList(std::string_view list);
    // Whether two names are equal without regard to the case of letters.
    static bool SameName(std::string_view a, std::string_view b);

private:
    static bool MatchOne(std::string_view mask, std::string_view name);

    std::vector<std::string> masks;
    bool matchesAll = false;
};
