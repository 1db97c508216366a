// CommandLine: the documents named on the editor's command line,
// `Quorvane.exe [path ...]`, where a path may be quoted and may hold spaces.
#pragma once

#include <string>
#include <vector>

class CommandLine {
public:
    // The text after the program's name with its quotes taken off: a quoted
    // part loses its quotes and keeps what follows it ("a b.txt"(3) gives
    // a b.txt(3)); an unquoted rest is taken whole, spaces and all, as an
    // unquoted path with spaces is one document to a user. "" when there is
    // none.
    static std::string DocumentArgument(const std::string& commandLine);

    // The arguments after the program's name, split as Windows' own programs
    // split them: blanks separate outside quotes, 2n backslashes before a
    // quote give n and the quote opens or closes, 2n+1 give n and a literal
    // quote, "" inside quotes is a literal quote. Double-byte aware, so a
    // 0x5C trail byte is never a backslash.
    static std::vector<std::string> Arguments(const std::string& commandLine);
};
