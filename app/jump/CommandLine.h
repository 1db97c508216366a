// CommandLine: the document named on the editor's command line,
// `Quorvane.exe [path]`, where the path may be quoted and may hold spaces.
#pragma once

#include <string>

class CommandLine {
public:
    // The text after the program's name with its quotes taken off: a quoted
    // part loses its quotes and keeps what follows it ("a b.txt"(3) gives
    // a b.txt(3)); an unquoted rest is taken whole, spaces and all. "" when
    // there is none.
    static std::string DocumentArgument(const std::string& commandLine);
};
