// The code page 932 matcher: matches start only where a character starts,
// decided from the bytes just before a candidate.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "util/TextSearch.h"

namespace {

const size_t npos = TextSearch::npos;

std::string Bytes(std::initializer_list<int> values)
{
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

struct FindCase {
    const char* name;
    std::string text;
    size_t from;
    std::string pattern;
    size_t expected;
};

TEST(TextSearch, ProcessLeadBytesAreCodePage932)
{
    const TextSearch::LeadBytes& lead = TextSearch::ProcessLeadBytes();
    for (int c = 0; c < 256; ++c) {
        const bool expected = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        EXPECT_EQ(expected, lead[c]) << "byte " << c;
    }
}

TEST(TextSearch, FindStartsOnlyAtCharacterStarts)
{
    const std::vector<FindCase> cases = {
        {"ascii inside katakana", "ア", 0, "A", npos},
        {"ascii after katakana", "アA", 0, "A", 2},
        {"backslash in hyo", "表", 0, "\\", npos},
        {"backslash in so", "ソ", 0, "\\", npos},
        {"backslash pattern in hyo", "表x", 0, "\\x", npos},
        {"backslash after so", "ソ\\", 0, "\\", 2},
        {"backslash pair", "表\\n", 0, "\\n", 2},
        {"double-byte pattern", "あいう", 0, "い", 2},
        {"pattern straddling characters", Bytes({0x82, 0xA0, 0x82, 0xA2}), 0, Bytes({0xA0, 0x82}), npos},
        {"pattern at end", "xxabc", 0, "abc", 2},
        {"whole text", "abc", 0, "abc", 0},
        {"longer than text", "ab", 0, "abc", npos},
        {"from after first match", "abcabc", 1, "abc", 3},
        {"from exactly at match", "abcabc", 3, "abc", 3},
        {"from inside a character", "アAA", 1, "A", 2},
        {"from at end", "abc", 3, "c", npos},
        {"from beyond end", "abc", 7, "a", npos},
        {"empty text", "", 0, "a", npos},
        {"empty pattern at from", "abc", 1, "", 1},
        {"empty pattern at end", "abc", 3, "", 3},
        {"empty pattern beyond end", "abc", 4, "", npos},
        {"empty pattern in empty text", "", 0, "", 0},
        {"embedded zero", std::string("a\0b", 3), 0, "b", 2},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(c.expected, TextSearch(c.pattern).Find(c.text, c.from)) << c.name;
        EXPECT_EQ(c.expected, FindText(c.text, c.from, c.pattern)) << c.name;
    }
}

// Both trail byte ranges: a one-byte pattern equal to the trail is not found
// inside the character, but is found where it stands alone.
TEST(TextSearch, TrailBytesOfBothRanges)
{
    for (int trail : {0x40, 0x41, 0x5C, 0x7E, 0x80, 0x81, 0x9F, 0xA0, 0xDF, 0xE0, 0xFC}) {
        const std::string pattern = Bytes({trail});
        EXPECT_EQ(npos, FindText(Bytes({0x88, trail}), 0, pattern)) << "trail " << trail;
        EXPECT_EQ(3u, FindText(Bytes({0x88, trail, ' ', trail}), 0, pattern)) << "trail " << trail;
        EXPECT_EQ(npos, FindLastText(Bytes({0x88, trail}), npos, pattern)) << "trail " << trail;
    }
}

// A run of lead-range bytes pairs up from its start, so what follows it is a
// trail byte after an odd run and a character after an even one.
TEST(TextSearch, RunsOfLeadRangeBytes)
{
    for (size_t run = 0; run <= 7; ++run) {
        for (const std::string& before : {std::string(), std::string("a"), std::string("表")}) {
            const std::string text = before + std::string(run, '\x81') + "x";
            const size_t xAt = before.size() + run;
            EXPECT_EQ(run % 2 == 0 ? xAt : npos, FindText(text, 0, "x"))
                << "run " << run << " after " << before.size() << " bytes";
            EXPECT_EQ(run % 2 == 0 ? xAt : npos, FindLastText(text, npos, "x"))
                << "run " << run << " after " << before.size() << " bytes";
            // The two-byte pattern can start only at an even offset of the run.
            const size_t pairAt = run % 2 == 1 ? xAt - 1 : npos;
            EXPECT_EQ(pairAt, FindText(text, 0, "\x81x")) << "run " << run;
            EXPECT_EQ(pairAt, FindLastText(text, npos, "\x81x")) << "run " << run;
        }
    }
}

TEST(TextSearch, FindLastEndsAtOrBeforeTheLimit)
{
    const std::vector<FindCase> cases = {
        {"last of two", "abcabc", 6, "abc", 3},
        {"second ends beyond limit", "abcabc", 5, "abc", 0},
        {"first ends exactly at limit", "abcabc", 3, "abc", 0},
        {"none fits", "abcabc", 2, "abc", npos},
        {"limit beyond end", "abcabc", 100, "abc", 3},
        {"ascii inside katakana", "Aア", 3, "A", 0},
        {"backslash in hyo", "\\表", 3, "\\", 0},
        {"backslash after so", "ソ\\表", 5, "\\", 2},
        {"double-byte pattern", "いあい", 6, "い", 4},
        {"pattern at start", "abxx", 4, "ab", 0},
        {"empty text", "", 0, "a", npos},
        {"empty pattern at limit", "abc", 2, "", 2},
        {"empty pattern beyond end", "abc", 9, "", 3},
        {"longer than text", "ab", 2, "abc", npos},
    };
    for (const FindCase& c : cases) {
        EXPECT_EQ(c.expected, TextSearch(c.pattern).FindLast(c.text, c.from)) << c.name;
        EXPECT_EQ(c.expected, FindLastText(c.text, c.from, c.pattern)) << c.name;
    }
}

TEST(TextSearch, SingleByteCodePageIsAByteSearch)
{
    const TextSearch a("A", TextSearch::NoLeadBytes());
    EXPECT_EQ(1u, a.Find("ア"));
    EXPECT_EQ(1u, a.FindLast("ア"));
    EXPECT_EQ(1u, TextSearch("\\", TextSearch::NoLeadBytes()).Find("表"));
}

TEST(TextSearch, IsCharacterStart)
{
    const std::string text = "aア表";  // 61 83 41 95 5C
    const std::vector<bool> expected = {true, true, false, true, false, true};
    for (size_t pos = 0; pos < expected.size(); ++pos)
        EXPECT_EQ(expected[pos], IsCharacterStart(text, pos)) << "offset " << pos;
    EXPECT_FALSE(IsCharacterStart(text, 6));
}

// Reference: walk the characters from the start of the text.
std::vector<bool> CharacterStarts(const std::string& text)
{
    const TextSearch::LeadBytes& lead = TextSearch::ProcessLeadBytes();
    std::vector<bool> starts(text.size() + 1, false);
    size_t i = 0;
    while (i < text.size()) {
        starts[i] = true;
        i += lead[static_cast<unsigned char>(text[i])] ? 2 : 1;
    }
    if (i == text.size())
        starts[i] = true;
    return starts;
}

size_t ReferenceFind(const std::string& text, size_t from, const std::string& pattern)
{
    const std::vector<bool> starts = CharacterStarts(text);
    for (size_t p = from; p + pattern.size() <= text.size(); ++p) {
        if (starts[p] && text.compare(p, pattern.size(), pattern) == 0)
            return p;
    }
    return npos;
}

size_t ReferenceFindLast(const std::string& text, size_t end, const std::string& pattern)
{
    const std::vector<bool> starts = CharacterStarts(text);
    for (size_t p = end + 1; p-- > 0;) {
        if (p + pattern.size() <= end && starts[p] && text.compare(p, pattern.size(), pattern) == 0)
            return p;
    }
    return npos;
}

// Texts made of lead bytes, trail-only bytes and ASCII, searched from every
// offset, agree with a walk from the start of the text.
TEST(TextSearch, AgreesWithCharacterWalk)
{
    const char alphabet[] = {'\x81', '\x82', '\x9F', '\xE0', '\x40', '\x5C', '\xA0', 'a', 'b'};
    std::mt19937 random(932);
    std::uniform_int_distribution<size_t> pick(0, sizeof(alphabet) - 1);
    auto randomText = [&](size_t length) {
        std::string s;
        for (size_t i = 0; i < length; ++i)
            s.push_back(alphabet[pick(random)]);
        return s;
    };
    for (int round = 0; round < 400; ++round) {
        const std::string text = randomText(round % 70);
        // Odd rounds take a longer pattern out of the text, so that it occurs.
        const size_t patternLength = 1 + round % (round % 2 == 0 ? 4 : 12);
        const std::string pattern = round % 2 == 0 || patternLength > text.size()
            ? randomText(patternLength)
            : text.substr(text.size() / 3, std::min(patternLength, text.size() - text.size() / 3));
        const TextSearch search(pattern);
        for (size_t from = 0; from <= text.size(); ++from) {
            ASSERT_EQ(ReferenceFind(text, from, pattern), search.Find(text, from))
                << "round " << round << " from " << from;
            ASSERT_EQ(ReferenceFindLast(text, from, pattern), search.FindLast(text, from))
                << "round " << round << " end " << from;
        }
    }
}

}  // namespace
