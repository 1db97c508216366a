#include "app/jump/TextLines.h"

#include <algorithm>

#include "framework/Win32.h"

unsigned long long TextLines::Count(const std::string& text)
{
    return static_cast<unsigned long long>(std::count(text.begin(), text.end(), '\n')) + 1;
}

TextLines::Range TextLines::Line(const std::string& text, unsigned long long line)
{
    size_t start = 0;
    for (unsigned long long n = 1; n < line; ++n) {
        size_t lineFeed = text.find('\n', start);
        if (lineFeed == std::string::npos)
            break;
        start = lineFeed + 1;
    }
    size_t end = text.find('\n', start);
    if (end == std::string::npos)
        end = text.size();
    if (end > start && text[end - 1] == '\r')
        --end;
    return {start, end};
}

size_t TextLines::Column(const std::string& text, Range range, unsigned long long column)
{
    size_t pos = range.start;
    for (unsigned long long c = 1; c < column && pos < range.end; ++c)
        pos += ::IsDBCSLeadByte(static_cast<BYTE>(text[pos])) && pos + 1 < range.end ? 2 : 1;
    return pos;
}

unsigned long long TextLines::LineAt(const std::string& text, size_t offset)
{
    offset = std::min(offset, text.size());
    return static_cast<unsigned long long>(std::count(text.begin(), text.begin() + offset, '\n')) + 1;
}
