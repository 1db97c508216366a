// The regular-expression search that find, replace and grep share, over the
// bytes a document holds for a file: code page 932 (with 0x5C trail bytes
// and the two codes of one character), UTF-8, and UTF-16 (held as UTF-8).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "app/documents/DocumentFormat.h"
#include "app/search/RegexSearch.h"
#include "support/Utf16Bytes.h"

namespace {

constexpr unsigned Cp932 = 932;

// A file's bytes as the pane holds them, and the pane's code page.
struct PaneText {
    std::string bytes;
    unsigned codePage;
};

PaneText Opened(const std::string& file)
{
    const DocumentFormat format = DocumentFormat::Detect(file, true);
    PaneBytesDecoder decoder(format);
    std::string bytes;
    if (decoder.PassesThrough())
        bytes = file.substr(decoder.SkipAtStart());
    else
        decoder.Decode(file, true, bytes);
    return {bytes, format.PaneCodePage()};
}

using Spans = std::vector<std::pair<size_t, size_t>>;

SearchOptions Regex(bool matchCase = true, bool wholeWord = false)
{
    SearchOptions options;
    options.regex = true;
    options.matchCase = matchCase;
    options.wholeWord = wholeWord;
    return options;
}

// Every match front to back, as find next walks them; an empty match moves
// the next search on by a byte, which lands on the next character.
Spans AllMatches(RegexSearch& search, const std::string& text)
{
    Spans spans;
    RegexSearch::Span found;
    for (size_t at = 0; search.FindForward(text, at, &found) == RegexSearch::Outcome::Found;) {
        spans.emplace_back(found.start, found.end);
        at = found.end > found.start ? found.end : found.start + 1;
        if (at > text.size())
            break;
    }
    return spans;
}

TEST(RegexSearch, MatchesCharactersOfEachEncoding)
{
    const struct {
        const char* name;
        const char* pattern;
        SearchOptions options;
        std::string file;
        Spans want;
    } cases[] = {
        {"a backslash is never the trail byte of 表, ソ or 能", "\\\\", Regex(), "表ソ\\能", {{4, 5}}},
        {"a dot is a whole double-byte character", "^.$", Regex(), "表", {{0, 2}}},
        {"katakana range", "[ァ-ヶ]+", Regex(), "漢字カタカナかな", {{4, 12}}},
        {"Han script", "\\p{Han}+", Regex(), "かな漢字", {{4, 8}}},
        {"full-width letters fold", "ａｂｃ", Regex(false), "xＡＢＣ", {{1, 7}}},
        {"...and not when case matters", "ａｂｃ", Regex(), "xＡＢＣ", {}},
        {"NEC-selected and IBM codes of 髙 are one character", "\xFB\xFC", Regex(), "\xEE\xE0-\xFB\xFC",
         {{0, 2}, {3, 5}}},
        {"...and of 纊", "\xED\x40", Regex(), "\xFA\x5C\xED\x40", {{0, 2}, {2, 4}}},
        {"^ after CR LF, LF and CR", "^b", Regex(), "b\r\nb\nb\rb", {{0, 1}, {3, 4}, {5, 6}, {7, 8}}},
        {"$ before CR LF, LF and CR", "a$", Regex(), "a\r\na\na\ra", {{0, 1}, {3, 4}, {5, 6}, {7, 8}}},
        {"a dot takes no line break", "a.b", Regex(), "a\r\nb a\nb a-b", {{9, 12}}},
        {"a match may span lines in a document", "a\\r\\nb", Regex(), "xa\r\nb", {{1, 5}}},
        {"empty matches at each line start", "^", Regex(), "表\nb", {{0, 0}, {3, 3}}},
        {"whole words touch no ASCII letter", "ab", Regex(true, true), "xab ab ab_ 表ab", {{4, 6}, {13, 15}}},
        {"UTF-8: a backslash is a backslash", "\\\\", Regex(), "\xE8\xA1\xA8\\", {{3, 4}}},
        {"UTF-8: an emoji is one character", "^.$", Regex(), "\xF0\x9F\x98\x80", {{0, 4}}},
        {"UTF-8: full-width letters fold", "ａ", Regex(false), "\xEF\xBC\xA1", {{0, 3}}},
        {"UTF-16: a backslash is a backslash", "\\\\", Regex(), Utf16Bytes(u"表\\", false, true), {{3, 4}}},
        {"UTF-16 big endian: full-width letters fold", "ａ", Regex(false), Utf16Bytes(u"xＡ", true, true), {{1, 4}}},
        {"UTF-8: groups of Japanese", "(関数|function)\\s*\\(", Regex(),
         "x \xE9\x96\xA2\xE6\x95\xB0 (1) function(", {{2, 10}, {13, 22}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PaneText text = Opened(c.file);
        RegexSearch search;
        std::string message;
        ASSERT_TRUE(search.Compile(c.pattern, c.options, text.codePage, &message)) << message;
        EXPECT_EQ(c.want, AllMatches(search, text.bytes));
    }
}

// すべて置換 over a whole text: the walk past empty matches, the
// replacement's syntax, and groups copied as the document's own bytes.
TEST(RegexSearch, ReplacesEveryMatch)
{
    const struct {
        const char* name;
        const char* pattern;
        const char* replacement;
        std::string text;
        std::string want;
    } cases[] = {
        {"$ never between CR and LF", "$", "X", "abc\r\n", "abcX\r\nX"},
        {"^ neither", "^", "X", "abc\r\n", "Xabc\r\n"},
        {"nor ^$", "^$", "X", "a\r\n\r\nb", "a\r\nX\r\nb"},
        {"a group that took no part is empty", "(a)|(b)", "[$2]", "ab", "[][b]"},
        {"$0 keeps NEC-selected codes", ".", "[$0]", "\xED\x40", "[\xED\x40]"},
        {"$1 keeps a pair no character has", "(.)", "$1", "\x85\x40", "\x85\x40"},
        {"\\x is itself", "a", "\\x", "a", "\\x"},
        {"\\r is itself", "a", "\\r\\n", "a", "\\r\n"},
        {"$10 is group 1 and 0 with fewer groups", "(a)", "$10", "a", "a0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegexSearch search;
        std::string message;
        ASSERT_TRUE(search.Compile(c.pattern, Regex(), Cp932, &message)) << message;
        RegexSearch::Replaced out;
        ASSERT_EQ(RegexSearch::Outcome::Found, search.ReplaceAll(c.text, c.replacement, &out, &message)) << message;
        EXPECT_EQ(c.want, c.text.substr(0, out.start) + out.span + c.text.substr(out.end));
    }
}

// Find, find upward and the check before 置換 judge a match on the whole
// text, never on a stretch cut at the caret or the line end.
TEST(RegexSearch, JudgesMatchesOnTheWholeText)
{
    enum Kind { Down, DownPastEmpty, Up, UpPastEmpty, Exact };
    constexpr size_t None = SIZE_MAX;
    const struct {
        const char* name;
        const char* pattern;
        SearchOptions options;
        std::string text;
        Kind kind;
        size_t from;
        std::pair<size_t, size_t> want; // for Exact, the span asked about
        bool exact;
    } cases[] = {
        {"up: look-ahead past the caret", "foo(?!bar)", Regex(), "foo foobar", Up, 7, {0, 3}, false},
        {"up: \\b past the caret", "foo\\b", Regex(), "foo foobar", Up, 7, {0, 3}, false},
        {"up: whole words past the caret", "foo", Regex(true, true), "foo foobar", Up, 7, {0, 3}, false},
        {"up: not the empty match at the caret", "$", Regex(), "a\r\nb\r\n", UpPastEmpty, 6, {4, 4}, false},
        {"down: on after CR LF", "$", Regex(), "abc\r\nd", DownPastEmpty, 3, {6, 6}, false},
        {"down: a non-empty match there counts", "a*", Regex(), "aa", DownPastEmpty, 0, {0, 2}, false},
        {"\\A not at a later line's start", "\\Ab", Regex(), "a\r\nb", Down, 3, {None, None}, false},
        {"exact: look-ahead across the line end", "foo(?=\\r\\nbar)", Regex(), "foo\r\nbar", Exact, 0, {0, 3}, true},
        {"exact: \\z not at a line end", "foo\\z", Regex(), "foo\r\nbar", Exact, 0, {0, 3}, false},
        {"exact: what find took past an empty match", "|a", Regex(), "a", Exact, 0, {0, 1}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegexSearch search;
        std::string message;
        ASSERT_TRUE(search.Compile(c.pattern, c.options, Cp932, &message)) << message;
        RegexSearch::Span found{None, None};
        if (c.kind == Exact) {
            EXPECT_EQ(c.exact, search.MatchesExactly(c.text, c.want.first, c.want.second) == RegexSearch::Outcome::Found);
            continue;
        }
        const RegexSearch::Outcome outcome = c.kind == Up || c.kind == UpPastEmpty
                                                 ? search.FindBackward(c.text, c.from, &found, nullptr, c.kind == Up)
                                                 : search.FindForward(c.text, c.from, &found, nullptr, c.kind == Down);
        EXPECT_EQ(c.want.first == None ? RegexSearch::Outcome::NotFound : RegexSearch::Outcome::Found, outcome);
        if (outcome == RegexSearch::Outcome::Found) {
            EXPECT_EQ(c.want, std::make_pair(found.start, found.end));
        }
    }
}

// Replacements name groups by number and by name; \n, \t and \\ stand for
// what they say and $$ is a dollar.
TEST(RegexSearch, ExpandsReplacements)
{
    const struct {
        const char* pattern;
        const char* replacement;
        const char* want;
    } cases[] = {
        {"(\\w+)@(\\w+)", "$2 の $1", "host の user"},
        {"(?<who>\\w+)@", "${who}:$0", "user:user@"},
        {"@", "\\t\\n\\\\$$", "\t\n\\$"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        RegexSearch search;
        std::string message;
        ASSERT_TRUE(search.Compile(c.pattern, Regex(), Cp932, &message)) << message;
        const std::string text = "user@host";
        RegexSearch::Span found;
        ASSERT_EQ(RegexSearch::Outcome::Found, search.FindForward(text, 0, &found));
        std::string out;
        ASSERT_TRUE(search.Expand(c.replacement, &out, &message)) << message;
        EXPECT_EQ(c.want, out);
    }
}

// A bad pattern says why and where; a hostile one ends in Limit on its line,
// never in a hang or a crash.
TEST(RegexSearch, BadAndHostilePatterns)
{
    RegexSearch search;
    std::string message;
    EXPECT_FALSE(search.Compile("表(ab", Regex(), Cp932, &message));
    EXPECT_EQ(0u, message.find("正規表現が正しくありません\n理由: missing closing parenthesis"));
    EXPECT_NE(std::string::npos, message.find("位置: 先頭から 5 文字目")) << message;

    ASSERT_TRUE(search.Compile("(a+)+$", Regex(), Cp932, &message));
    const std::string text = "first line\r\n" + std::string(40, 'a') + "b\r\nlast";
    RegexSearch::Span found;
    EXPECT_EQ(RegexSearch::Outcome::Limit, search.FindForward(text, 0, &found));
    EXPECT_EQ(12u, found.start);

    // A match the line-by-line search finds after the limit has its own
    // groups.
    ASSERT_TRUE(search.Compile("(x)(?!\\r\\n)|(a+)+$", Regex(), Cp932, &message));
    const std::string lines = "x\r\n" + std::string(40, 'a') + "b";
    ASSERT_EQ(RegexSearch::Outcome::Found, search.FindForward(lines, 0, &found));
    std::string out;
    ASSERT_TRUE(search.Expand("[$1]", &out, &message)) << message;
    EXPECT_EQ("[x]", out);
}

// Partial matches, which every stretch but a text's last needs, are not
// left to the interpreter.
TEST(RegexPattern, PartialMatchesRunAsCompiledAsWholeOnes)
{
    RegexPattern pattern;
    std::string message;
    ASSERT_TRUE(pattern.Compile(u"=", Regex(), &message)) << message;
    EXPECT_EQ(pattern.RunsCompiled(false), pattern.RunsCompiled(true));
}

// Matches across the seams of the stretches a large text is decoded in,
// forward and backward.
TEST(RegexSearch, LargeTextsAcrossStretches)
{
    std::string text;
    while (text.size() < (3u << 20))
        text += "ふつうの行です 0123456789\r\n";
    const size_t seam = (1u << 20) - 3;
    text.replace(seam, 11, "表end\r\nstart");
    RegexSearch search;
    std::string message;
    ASSERT_TRUE(search.Compile("end\\r\\nstart", Regex(), Cp932, &message));
    RegexSearch::Span found;
    ASSERT_EQ(RegexSearch::Outcome::Found, search.FindForward(text, 0, &found));
    EXPECT_EQ(seam + 2, found.start);
    ASSERT_EQ(RegexSearch::Outcome::Found, search.FindBackward(text, text.size(), &found));
    EXPECT_EQ(seam + 2, found.start);
    EXPECT_EQ(RegexSearch::Outcome::NotFound, search.FindForward(text, found.end, &found));

    // \A is the text's start, not a stretch's.
    ASSERT_TRUE(search.Compile("\\A", Regex(), Cp932, &message));
    RegexSearch::Replaced replaced;
    ASSERT_EQ(RegexSearch::Outcome::Found, search.ReplaceAll(text, "HEADER", &replaced, &message));
    EXPECT_EQ(1u, replaced.count);
    // An upward search in a line of megabytes starts no stretch on the
    // 0x5C trail byte of ソ.
    std::string line;
    while (line.size() < (3u << 20))
        line += "\x83\x5C";
    line += "x";
    ASSERT_TRUE(search.Compile("\\\\", Regex(), Cp932, &message));
    EXPECT_EQ(RegexSearch::Outcome::NotFound, search.FindBackward(line, line.size(), &found));
}

} // namespace
