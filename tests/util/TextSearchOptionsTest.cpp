// The matcher's options: case folding of ASCII and full-width letters, and
// whole words, both searched forward and backward through the same table.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "util/TextSearch.h"

namespace {

struct OptionsCase {
    const char* name;
    std::string text;
    std::string pattern;
    SearchOptions options;
    std::vector<size_t> expected;
};

const SearchOptions Exact{true, false};
const SearchOptions Folded{false, false};
const SearchOptions Word{true, true};
const SearchOptions FoldedWord{false, true};

std::vector<size_t> Forward(const TextSearch& search, const std::string& text)
{
    std::vector<size_t> found;
    for (size_t at = search.Find(text, 0); at != TextSearch::npos;
         at = search.Find(text, at + search.PatternLength()))
        found.push_back(at);
    return found;
}

std::vector<size_t> Backward(const TextSearch& search, const std::string& text)
{
    std::vector<size_t> found;
    for (size_t at = search.FindLast(text); at != TextSearch::npos; at = search.FindLast(text, at))
        found.push_back(at);
    std::reverse(found.begin(), found.end());
    return found;
}

TEST(TextSearchOptions, MatchPositions)
{
    const std::vector<OptionsCase> cases = {
        {"exact by default", "abc ABC aBc", "ABC", Exact, {4}},
        {"ascii folded", "abc ABC aBc", "ABC", Folded, {0, 4, 8}},
        {"full-width exact", "ＡＢＣとａｂｃ", "ａｂｃ", Exact, {8}},
        {"full-width folded", "ＡＢＣとａｂｃ", "ａｂｃ", Folded, {0, 8}},
        {"full-width and ascii stay apart", "ABCａｂｃ", "ＡＢＣ", Folded, {3}},
        {"mixed widths folded", "xＡbＣ XａBｃ", "ａBｃ", Folded, {1, 8}},
        {"trail A of katakana not folded", "アa", "A", Folded, {2}},
        {"trail a of full-width B not folded", "Ｂa", "A", Folded, {2}},
        {"katakana trails not folded", "アヂ", "ヂ", Folded, {2}},
        {"backslash trails", "ソ表\\", "\\", Folded, {4}},
        {"hiragana untouched", "あいあ", "あ", Folded, {0, 4}},
        {"whole words", "cat concat cats cat", "cat", Word, {0, 16}},
        {"word characters on either side", "_cat cat_ 1cat cat9 cat", "cat", Word, {20}},
        {"japanese neighbours", "日本cat語", "cat", Word, {4}},
        {"trail byte before is no letter", "アcat", "cat", Word, {2}},
        {"letter after katakana touches", "アAcat", "cat", Word, {}},
        {"full-width letters are no ascii words", "Ａcatｂ", "cat", Word, {2}},
        {"whole words folded", "Cat CAT cAt cats", "cat", FoldedWord, {0, 4, 8}},
        {"punctuation edges", "(cat),cat.", "cat", Word, {1, 6}},
        {"double-byte pattern as a word", "x日本 日本", "日本", Word, {6}},
    };
    for (const OptionsCase& c : cases) {
        const TextSearch search(c.pattern, c.options);
        EXPECT_EQ(c.expected, Forward(search, c.text)) << c.name;
        EXPECT_EQ(c.expected, Backward(search, c.text)) << c.name;
    }
}

}  // namespace
