// RegexReplacement: the replacement text of a regular-expression replace,
// read once into pieces: text in the document's own bytes, and the groups
// whose matched bytes go between them. The syntax is the README's and no
// more: $0 ... $9 and ${number} or ${name} are groups, $$ is a dollar sign,
// \n a line break of the document's kind, \t a tab, \\ a backslash; any
// other backslash is itself. After $ the digits name the longest group
// number the pattern has, so $10 is group 1 and "0" where there are fewer
// than ten groups.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class RegexPattern;

class RegexReplacement {
public:
    struct Piece {
        std::string text;
        int group = -1; // a group, or text when negative
    };

    // replacement is code page 932, as typed; lineBreak and the pieces' text
    // are bytes of codePage. False with message set, for the user, when it
    // is not valid for the pattern.
    bool Read(const std::string& replacement, const RegexPattern& pattern, unsigned codePage,
              const std::string& lineBreak, std::string* message);
    const std::vector<Piece>& Pieces() const { return pieces; }

private:
    bool ReadDollar(std::u16string_view units, size_t* at, const RegexPattern& pattern, int* group,
                    std::string* reason);
    void PutText(unsigned codePage);

    std::vector<Piece> pieces;
    std::u16string text; // literal units not yet put into pieces
};
