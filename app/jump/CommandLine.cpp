#include "app/jump/CommandLine.h"

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
} // namespace

// Neither the quote nor a blank can be a trail byte in code page 932.
std::string CommandLine::DocumentArgument(const std::string& commandLine)
{
    size_t pos = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        pos = close == std::string::npos ? commandLine.size() : close + 1;
    }
    while (pos < commandLine.size() && !IsBlank(commandLine[pos]))
        ++pos;
    while (pos < commandLine.size() && IsBlank(commandLine[pos]))
        ++pos;
    std::string rest;
    for (; pos < commandLine.size(); ++pos) {
        if (commandLine[pos] != '"')
            rest += commandLine[pos];
    }
    size_t last = rest.find_last_not_of(" \t");
    return last == std::string::npos ? std::string() : rest.substr(0, last + 1);
}
