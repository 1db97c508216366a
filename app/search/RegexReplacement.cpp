#include "app/search/RegexReplacement.h"

#include <algorithm>

#include "app/search/RegexPattern.h"
#include "app/search/Utf16Text.h"

namespace {

bool IsDigit(char16_t unit)
{
    return unit >= u'0' && unit <= u'9';
}

std::string Shown(std::u16string_view units)
{
    return Utf16Text::Encode(units, 932);
}

} // namespace

bool RegexReplacement::Read(const std::string& replacement, const RegexPattern& pattern, unsigned codePage,
                            const std::string& lineBreak, std::string* message)
{
    pieces.clear();
    text.clear();
    const std::u16string units = Utf16Text::FromBytes(replacement, 932);
    for (size_t at = 0; at < units.size();) {
        const char16_t next = at + 1 < units.size() ? units[at + 1] : u'\0';
        if (units[at] == u'$') {
            int group = -1;
            std::string reason;
            if (!ReadDollar(units, &at, pattern, &group, &reason)) {
                *message = "置換後の文字列が正しくありません\n理由: " + reason;
                return false;
            }
            if (group >= 0) {
                PutText(codePage);
                pieces.push_back({std::string(), group});
            }
            continue;
        }
        if (units[at] == u'\\' && (next == u'n' || next == u't' || next == u'\\')) {
            if (next == u'n') {
                PutText(codePage);
                pieces.push_back({lineBreak});
            } else {
                text += next == u't' ? u'\t' : u'\\';
            }
            at += 2;
            continue;
        }
        text += units[at++];
    }
    PutText(codePage);
    return true;
}

void RegexReplacement::PutText(unsigned codePage)
{
    if (text.empty())
        return;
    pieces.push_back({Utf16Text::Encode(text, codePage)});
    text.clear();
}

// At a $: moves `at` past what it stands for, a group or (group left
// negative) a dollar sign added to the text.
bool RegexReplacement::ReadDollar(std::u16string_view units, size_t* at, const RegexPattern& pattern, int* group,
                                  std::string* reason)
{
    const size_t groups = pattern.GroupCount();
    size_t from = *at + 1;
    if (from < units.size() && units[from] == u'$') {
        text += u'$';
        *at = from + 1;
        return true;
    }
    size_t number = 0;
    if (from < units.size() && IsDigit(units[from])) {
        number = units[from++] - u'0';
        while (number != 0 && from < units.size() && IsDigit(units[from]) &&
               number * 10 + (units[from] - u'0') <= groups)
            number = number * 10 + (units[from++] - u'0');
    } else if (from < units.size() && units[from] == u'{') {
        const size_t close = units.find(u'}', from);
        if (close == std::u16string_view::npos || close == from + 1) {
            *reason = "${ の後に } で閉じた番号か名前がありません";
            return false;
        }
        const std::u16string_view name = units.substr(from + 1, close - from - 1);
        from = close + 1;
        if (name.size() <= 5 && std::all_of(name.begin(), name.end(), IsDigit)) {
            for (char16_t digit : name)
                number = number * 10 + (digit - u'0');
        } else {
            const int named = pattern.GroupNumber(name);
            if (named < 0) {
                *reason = "名前が " + Shown(name) + " のグループはありません";
                return false;
            }
            number = static_cast<size_t>(named);
        }
    } else {
        *reason = "$ の後に番号、{名前} または $ がありません";
        return false;
    }
    if (number > groups) {
        *reason = std::to_string(number) + " 番のグループはありません";
        return false;
    }
    *group = static_cast<int>(number);
    *at = from;
    return true;
}
