#include "util/StringUtils.h"

#include <string_view>

#include "util/TextSearch.h"

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

}  // namespace

int IsDigits(std::string text)
{
    if (text.empty())
        return 0;
    for (char c : text) {
        if (!IsDigit(c))
            return 0;
    }
    return 1;
}

int IsNumber(std::string text)
{
    size_t i = 0;
    if (!text.empty() && text[0] == '-')
        i = 1;
    // A sign needs something to sign: "-" alone is not a number.
    if (i == text.size())
        return 0;
    bool pointAllowed = true;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c))
            continue;
        if (c == '.' && pointAllowed) {
            pointAllowed = false;
            continue;
        }
        return 0;
    }
    return 1;
}

void TrimLeft(std::string& text)
{
    text.erase(0, text.find_first_not_of(" \t"));
}

void Split(std::string separator, std::string text, std::vector<std::string>* output)
{
    if (output == nullptr)
        return;
    output->clear();
    if (separator.empty()) {
        output->push_back(std::move(text));
        return;
    }
    const TextSearch search(separator);
    const std::string_view view(text);
    size_t start = 0;
    for (size_t hit; (hit = search.Find(view, start)) != TextSearch::npos;
         start = hit + separator.size())
        output->emplace_back(view.substr(start, hit - start));
    output->emplace_back(view.substr(start));
}

void Split(std::wstring separator, std::wstring text, std::vector<std::wstring>* output)
{
    if (output == nullptr)
        return;
    output->clear();
    if (separator.empty()) {
        output->push_back(std::move(text));
        return;
    }
    size_t start = 0;
    for (size_t hit; (hit = text.find(separator, start)) != std::wstring::npos;
         start = hit + separator.size())
        output->push_back(text.substr(start, hit - start));
    output->push_back(text.substr(start));
}

std::string ReplaceAll(std::string text, std::string pattern, std::string replacement)
{
    if (pattern.empty())
        return text;
    const TextSearch search(pattern);
    const std::string_view view(text);
    std::string result;
    size_t start = 0;
    for (size_t hit; (hit = search.Find(view, start)) != TextSearch::npos;
         start = hit + pattern.size()) {
        result.append(view.substr(start, hit - start));
        result.append(replacement);
    }
    result.append(view.substr(start));
    return result;
}

std::string DropFirstLine(std::string text)
{
    const size_t lineFeed = FindText(text, 0, "\n");
    if (lineFeed == TextSearch::npos)
        return std::string();
    return text.substr(lineFeed + 1);
}
