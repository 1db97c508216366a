#include "util/PathText.h"

#include "util/TextSearch.h"

namespace {

bool IsSeparatorByte(char c)
{
    return c == '\\' || c == '/';
}

} // namespace

bool EndsWithSeparator(std::string_view path)
{
    return !path.empty() && IsSeparatorByte(path.back()) && IsCharacterStart(path, path.size() - 1);
}

void AppendSeparator(std::string& path)
{
    if (!EndsWithSeparator(path))
        path += '\\';
}

std::string FolderPart(std::string_view path)
{
    // Scanned from the start once: deciding character starts from the end
    // would need the whole prefix for every candidate.
    const auto& lead = TextSearch::ProcessLeadBytes();
    size_t end = 0;
    for (size_t i = 0; i < path.size();) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsSeparatorByte(path[i]))
            end = i + 1;
        i += lead[c] && i + 1 < path.size() ? 2 : 1;
    }
    return std::string(path.substr(0, end));
}
