#include "app/recovery/RecoveryCopy.h"

#include <cstdlib>

namespace {

const char FirstLine[] = "Quorvane recovery 1\r\n";

// The value of key in the header's lines, or nullptr.
bool ReadValue(std::string_view header, std::string_view key, std::string* value)
{
    for (size_t at = 0; at < header.size();) {
        size_t end = header.find("\r\n", at);
        if (end == std::string_view::npos)
            end = header.size();
        const std::string_view line = header.substr(at, end - at);
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=') {
            *value = std::string(line.substr(key.size() + 1));
            return true;
        }
        at = end + 2;
    }
    return false;
}

bool ReadNumber(std::string_view header, std::string_view key, uint64_t* number)
{
    std::string value;
    if (!ReadValue(header, key, &value) || value.empty())
        return false;
    char* end = nullptr;
    *number = std::strtoull(value.c_str(), &end, 10);
    return *end == '\0';
}

} // namespace

std::string RecoveryCopy::Header() const
{
    std::string file;
    if (fileKnown)
        file = "fileSize=" + std::to_string(fileSize) + "\r\nfileWritten=" + std::to_string(fileWritten) + "\r\n";
    return FirstLine + ("path=" + documentPath) + "\r\nencoding=" + std::to_string(encoding) +
           "\r\nlineEnds=" + std::to_string(lineEnds) + "\r\ncaret=" + std::to_string(caret) +
           "\r\nlossy=" + (lossy ? "1" : "0") + "\r\nmarkless=" + (markless ? "1" : "0") + "\r\n" + file + "\r\n";
}

bool RecoveryCopy::Parse(std::string_view bytes, RecoveryCopy* out)
{
    const std::string_view first(FirstLine);
    if (bytes.substr(0, first.size()) != first)
        return false;
    const size_t end = bytes.find("\r\n\r\n");
    if (end == std::string_view::npos)
        return false;
    const std::string_view header = bytes.substr(first.size(), end + 2 - first.size());
    uint64_t encoding = 0;
    uint64_t lineEnds = 0;
    RecoveryCopy copy;
    if (!ReadValue(header, "path", &copy.documentPath) || !ReadNumber(header, "encoding", &encoding) ||
        !ReadNumber(header, "lineEnds", &lineEnds) || !ReadNumber(header, "caret", &copy.caret))
        return false;
    uint64_t lossy = 0;
    uint64_t markless = 0;
    ReadNumber(header, "lossy", &lossy);
    ReadNumber(header, "markless", &markless);
    copy.lossy = lossy != 0;
    copy.markless = markless != 0;
    copy.fileKnown = ReadNumber(header, "fileSize", &copy.fileSize) && ReadNumber(header, "fileWritten", &copy.fileWritten);
    copy.encoding = static_cast<int>(encoding);
    copy.lineEnds = static_cast<int>(lineEnds);
    copy.text = std::string(bytes.substr(end + 4));
    *out = std::move(copy);
    return true;
}
