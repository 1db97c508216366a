#include "app/jump/CommandLine.h"

#include "util/TextSearch.h"

namespace {
bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLeadByte(char c)
{
    return TextSearch::ProcessLeadBytes()[static_cast<unsigned char>(c)];
}

// Where the arguments start. The program's name is read without escapes: a
// quoted name ends at its closing quote even when text follows at once
// ("Quorvane.exe"C:\x.txt names C:\x.txt).
size_t AfterProgramName(const std::string& commandLine)
{
    size_t pos = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        pos = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        while (pos < commandLine.size() && !IsBlank(commandLine[pos]))
            ++pos;
    }
    while (pos < commandLine.size() && IsBlank(commandLine[pos]))
        ++pos;
    return pos;
}
} // namespace

// Neither the quote nor a blank can be a trail byte in code page 932.
std::string CommandLine::DocumentArgument(const std::string& commandLine)
{
    std::string rest;
    for (size_t pos = AfterProgramName(commandLine); pos < commandLine.size(); ++pos) {
        if (commandLine[pos] != '"')
            rest += commandLine[pos];
    }
    size_t last = rest.find_last_not_of(" \t");
    return last == std::string::npos ? std::string() : rest.substr(0, last + 1);
}

std::vector<std::string> CommandLine::Arguments(const std::string& commandLine)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    size_t pos = AfterProgramName(commandLine);
    while (pos < commandLine.size()) {
        char c = commandLine[pos];
        if (IsBlank(c) && !quoted) {
            if (inArgument)
                arguments.push_back(current);
            current.clear();
            inArgument = false;
            ++pos;
            continue;
        }
        inArgument = true;
        if (c == '\\') {
            size_t end = commandLine.find_first_not_of('\\', pos);
            size_t slashes = (end == std::string::npos ? commandLine.size() : end) - pos;
            if (pos + slashes >= commandLine.size() || commandLine[pos + slashes] != '"') {
                current.append(slashes, '\\');
            } else {
                current.append(slashes / 2, '\\');
                if (slashes % 2 == 1)
                    current += '"';
                else
                    quoted = !quoted;
                ++pos;
            }
            pos += slashes;
        } else if (c == '"') {
            if (quoted && pos + 1 < commandLine.size() && commandLine[pos + 1] == '"') {
                current += '"';
                ++pos;
            } else {
                quoted = !quoted;
            }
            ++pos;
        } else {
            size_t width = IsLeadByte(c) && pos + 1 < commandLine.size() ? 2 : 1;
            current.append(commandLine, pos, width);
            pos += width;
        }
    }
    if (inArgument)
        arguments.push_back(current);
    return arguments;
}
