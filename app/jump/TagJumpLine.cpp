#include "app/jump/TagJumpLine.h"

#include <utility>
#include <vector>

namespace {

// Code page 932 lead bytes.
bool IsLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Which bytes start a character: trail bytes are never separators.
std::vector<bool> CharacterStarts(const std::string& text)
{
    std::vector<bool> starts(text.size(), false);
    for (size_t i = 0; i < text.size(); ++i) {
        starts[i] = true;
        if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size())
            ++i;
    }
    return starts;
}

std::string Trimmed(const std::string& text)
{
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsBlank(text[first]))
        ++first;
    while (last > first && IsBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

// A number of 1 to 10 digits at pos; pos moves past it. 0 when none.
int ReadNumber(const std::string& text, size_t* pos, unsigned long long* value)
{
    size_t i = *pos;
    unsigned long long number = 0;
    while (i < text.size() && IsDigit(text[i]) && i - *pos < 10)
        number = number * 10 + static_cast<unsigned>(text[i++] - '0');
    if (i == *pos || (i < text.size() && IsDigit(text[i])))
        return 0;
    *pos = i;
    *value = number;
    return 1;
}

// Characters no Windows path holds (the colon only after a drive letter).
bool CanBePath(const std::string& path)
{
    if (path.empty())
        return false;
    std::vector<bool> starts = CharacterStarts(path);
    for (size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (!starts[i])
            continue;
        if (c < 0x20 || c == '<' || c == '>' || c == '|' || c == '?' || c == '*' || c == '"')
            return false;
        if (c == ':' && i != 1)
            return false;
    }
    return true;
}

int Accept(std::string path, unsigned long long line, unsigned long long column, TagJumpLine* out)
{
    path = Trimmed(path);
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        path = path.substr(1, path.size() - 2);
    if (!CanBePath(path))
        return 0;
    out->path = path;
    out->line = line;
    out->column = column;
    return 1;
}

// A form that gives a line number: line 0, which no tool means, is line 1.
int AcceptNumbered(std::string path, unsigned long long line, unsigned long long column,
                   TagJumpLine* out)
{
    return Accept(std::move(path), line == 0 ? 1 : line, column, out);
}

// A number and its mark at pos ("12行目"); pos moves past both.
bool ReadMarkedNumber(const std::string& text, const std::string& mark, size_t* pos, unsigned long long* value)
{
    size_t at = *pos;
    if (!ReadNumber(text, &at, value) || text.compare(at, mark.size(), mark) != 0)
        return false;
    *pos = at + mark.size();
    return true;
}

// path<TAB>N行目<TAB>text, or path<TAB>N行目 M桁目<TAB>text (a regular
// expression's grep gives the column of its first match).
int ParseGrepForm(const std::string& text, TagJumpLine* out)
{
    size_t tab = text.find('\t');
    if (tab == std::string::npos || tab == 0)
        return 0;
    size_t pos = tab + 1;
    unsigned long long line = 0;
    unsigned long long column = 0;
    if (!ReadMarkedNumber(text, "行目", &pos, &line))
        return 0;
    size_t columnPos = pos + 1;
    if (pos < text.size() && text[pos] == ' ' && ReadMarkedNumber(text, "桁目", &columnPos, &column))
        pos = columnPos;
    if (pos < text.size() && text[pos] != '\t')
        return 0;
    return AcceptNumbered(text.substr(0, tab), line, column, out);
}

// (N), (N,C) or (N,C-C2) at open, then the end, a colon or a blank. Of a
// column range the first column is taken.
int ParseParenthesised(const std::string& text, size_t open, TagJumpLine* out)
{
    size_t pos = open + 1;
    unsigned long long line = 0;
    unsigned long long column = 0;
    unsigned long long lastColumn = 0;
    if (!ReadNumber(text, &pos, &line))
        return 0;
    if (pos < text.size() && text[pos] == ',') {
        ++pos;
        if (!ReadNumber(text, &pos, &column))
            return 0;
        if (pos < text.size() && text[pos] == '-') {
            ++pos;
            if (!ReadNumber(text, &pos, &lastColumn))
                return 0;
        }
    }
    if (pos >= text.size() || text[pos] != ')')
        return 0;
    ++pos;
    if (pos < text.size() && text[pos] != ':' && !IsBlank(text[pos]))
        return 0;
    return AcceptNumbered(text.substr(0, open), line, column, out);
}

// :N then the end or a colon; :N:C: then anything but a digit. A number
// after :N: is a column only with its own colon, and not when a digit
// follows that (grep's "a.txt:3:10:30 会議" is line 3 and its text).
int ParseColon(const std::string& text, size_t colon, TagJumpLine* out)
{
    size_t pos = colon + 1;
    unsigned long long line = 0;
    unsigned long long column = 0;
    if (!ReadNumber(text, &pos, &line))
        return 0;
    if (pos < text.size() && text[pos] != ':')
        return 0;
    size_t columnPos = pos + 1;
    bool isColumn = pos < text.size() && ReadNumber(text, &columnPos, &column) &&
                    columnPos < text.size() && text[columnPos] == ':' &&
                    (columnPos + 1 >= text.size() || !IsDigit(text[columnPos + 1]));
    return AcceptNumbered(text.substr(0, colon), line, isColumn ? column : 0, out);
}

// A leading "N>", as MSBuild puts before each line of a project's output.
std::string WithoutProjectPrefix(const std::string& text)
{
    size_t pos = 0;
    while (pos < text.size() && IsDigit(text[pos]))
        ++pos;
    return pos > 0 && pos < text.size() && text[pos] == '>' ? Trimmed(text.substr(pos + 1)) : text;
}

} // namespace

int TagJumpLine::Parse(const std::string& line, TagJumpLine* out)
{
    std::string text = WithoutProjectPrefix(Trimmed(line));
    if (text.empty() || out == nullptr)
        return 0;
    if (ParseGrepForm(text, out))
        return 1;
    std::vector<bool> starts = CharacterStarts(text);
    for (size_t i = 1; i < text.size(); ++i) {
        if (!starts[i])
            continue;
        if (text[i] == '(' && ParseParenthesised(text, i, out))
            return 1;
        bool driveColon = i == 1 && ((text[0] | 0x20) >= 'a' && (text[0] | 0x20) <= 'z');
        if (text[i] == ':' && !driveColon && ParseColon(text, i, out))
            return 1;
    }
    return Accept(text, 0, 0, out);
}

std::vector<TagJumpLine> TagJumpLine::Places(const std::string& line)
{
    std::vector<TagJumpLine> places;
    TagJumpLine place;
    if (Parse(line, &place) == 1)
        places.push_back(place);
    TagJumpLine whole;
    if (Accept(line, 0, 0, &whole) == 1 && (places.empty() || places.front().path != whole.path))
        places.push_back(whole);
    return places;
}
