// Search and Find Next in the left pane, with the real search dialog typed
// into as a user would, and the not-found box read back.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ProbeWindow.h"
#include "app/search/PaneReplacement.h"
#include "app/search/PaneSearch.h"
#include "res/resource.h"
#include "support/WaitUntil.h"

namespace {

// The state the search dialog opened in.
struct Opened {
    std::string text;
    bool downChecked;
    bool upChecked;
};

const char* const NotFoundCaption = "検索結果";

std::string NotFound(const std::string& pattern)
{
    return "\"" + pattern + "\"は見つかりませんでした。";
}

class Search : public MainWindowTest {
protected:
    // Types text into the search dialog, picks the direction and confirms.
    DialogDriver::Answer Type(const std::string& text, bool upward = false)
    {
        return [this, text, upward](HWND dialog) {
            opened.push_back({DialogDriver::TextOf(dialog, IDC_SEARCH_TEXT),
                              ::IsDlgButtonChecked(dialog, IDC_SEARCH_DOWN) == BST_CHECKED,
                              ::IsDlgButtonChecked(dialog, IDC_SEARCH_UP) == BST_CHECKED});
            ::SetDlgItemTextA(dialog, IDC_SEARCH_TEXT, text.c_str());
            if (upward)
                ::CheckRadioButton(dialog, IDC_SEARCH_DOWN, IDC_SEARCH_UP, IDC_SEARCH_UP);
            DialogDriver::PostCommand(dialog, IDOK);
        };
    }

    void SetDocument(const std::string& text, int start, int end)
    {
        window.leftPane.SetText(text);
        window.leftPane.SetSelection(start, end);
    }

    std::pair<DWORD, DWORD> Selection()
    {
        size_t start = 0;
        size_t end = 0;
        window.leftPane.GetSelection(&start, &end);
        return {static_cast<DWORD>(start), static_cast<DWORD>(end)};
    }

    // The bytes the pane itself has selected, asked as other programs ask.
    std::string SelectedByControl()
    {
        DWORD start = 0;
        DWORD end = 0;
        window.leftPane.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                                    reinterpret_cast<LPARAM>(&end));
        return std::string(window.leftPane.Bytes(start, end));
    }

    void ExpectNotFoundBox(size_t index, const std::string& pattern)
    {
        ASSERT_LT(index, driver.Seen().size());
        EXPECT_EQ(NotFound(pattern), driver.Seen()[index].text);
        EXPECT_EQ(NotFoundCaption, driver.Seen()[index].caption);
    }

    using Range = std::pair<DWORD, DWORD>;
    std::vector<Opened> opened;
};

} // namespace

TEST_F(Search, AbcWalksDownThenReportsNotFoundAndKeepsTheLastMatch)
{
    SetDocument("abc abc", 0, 0);
    driver.Queue(Type("abc"));
    window.OnSearch();
    EXPECT_EQ(Range(0, 3), Selection());
    EXPECT_EQ("abc", window.lastSearchText);
    EXPECT_EQ(window.leftPane.GetHandle(), ::GetFocus());

    window.OnFindNext();
    EXPECT_EQ(Range(4, 7), Selection());

    driver.Queue(DialogDriver::Press(IDOK));
    window.OnFindNext();
    ExpectNotFoundBox(1, "abc");
    EXPECT_EQ(Range(4, 7), Selection());
}

TEST_F(Search, NotFoundCases)
{
    struct Case {
        const char* name;
        std::string text;
        int start;
        int end;
        std::string pattern;
    } cases[] = {
        {"whole text selected", "abc abc", 0, 7, "abc"},
        {"case matters", "abc abc", 0, 0, "ABC"},
        {"A is the trail byte of ア", "\x83\x41", 0, 0, "A"},
        {"0x5C is the trail byte of 表 and ソ", "\x95\x5c\x83\x5c", 0, 0, "\\"},
    };
    for (const Case& c : cases) {
        size_t seenBefore = driver.Seen().size();
        SetDocument(c.text, c.start, c.end);
        driver.Queue(Type(c.pattern)).Queue(DialogDriver::Press(IDOK));
        window.OnSearch();
        SCOPED_TRACE(c.name);
        ExpectNotFoundBox(seenBefore + 1, c.pattern);
        EXPECT_EQ(Range(c.start, c.end), Selection());
        EXPECT_EQ(c.pattern, window.lastSearchText);
    }
}

// Offsets are bytes of the pane's text, and the control selects exactly the
// characters they name, whatever units it counts in.
TEST_F(Search, DoubleByteTextSelectsTheNamedCharacters)
{
    struct Case {
        const char* name;
        std::string text;
        std::string pattern;
        Range expected;
    } cases[] = {
        {"x after 日本", "\x93\xfa\x96\x7bx", "x", {4, 5}},
        {"\\y after 表ソ", "\x95\x5c\x83\x5c\\y", "\\y", {4, 6}},
        {"本 after a line end", "ab\r\n\x93\xfa\x96\x7b", "\x96\x7b", {6, 8}},
    };
    for (const Case& c : cases) {
        SetDocument(c.text, 0, 0);
        driver.Queue(Type(c.pattern));
        window.OnSearch();
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.expected, Selection());
        EXPECT_EQ(c.pattern, SelectedByControl());
    }
}

TEST_F(Search, UpwardWalksTheSameOccurrencesInReverse)
{
    SetDocument("abc abc", 7, 7);
    driver.Queue(Type("abc", true));
    window.OnSearch();
    EXPECT_EQ(Range(4, 7), Selection());

    window.OnFindNext();
    EXPECT_EQ(Range(0, 3), Selection());

    driver.Queue(DialogDriver::Press(IDOK));
    window.OnFindNext();
    ExpectNotFoundBox(1, "abc");
    EXPECT_EQ(Range(0, 3), Selection());
}

TEST_F(Search, UpwardInDoubleByteTextSkipsTrailBytes)
{
    // ア 0-1 (trail 'A'), A 2, ア 3-4: from the end only the real A matches.
    SetDocument("\x83\x41" "A\x83\x41", 5, 5);
    driver.Queue(Type("A", true));
    window.OnSearch();
    EXPECT_EQ(Range(2, 3), Selection());
    EXPECT_EQ("A", SelectedByControl());
}

TEST_F(Search, FindNextWithNothingRememberedOnlyOpensTheDialog)
{
    SetDocument("abc abc", 0, 0);
    driver.Queue(Type("abc"));
    window.OnFindNext();
    EXPECT_EQ(Range(0, 3), Selection());
    EXPECT_EQ(1u, opened.size());

    // When that search fails, the box is shown once.
    window.lastSearchText.clear();
    SetDocument("xyz", 0, 0);
    driver.Queue(Type("abc")).Queue(DialogDriver::Press(IDOK));
    window.OnFindNext();
    EXPECT_EQ(3u, driver.Seen().size());
    ExpectNotFoundBox(2, "abc");
}

TEST_F(Search, CancelKeepsTheEarlierTextAndDirection)
{
    SetDocument("abc abc abc", 11, 11);
    driver.Queue(Type("abc", true));
    window.OnSearch();
    EXPECT_EQ(Range(8, 11), Selection());

    driver.Queue(DialogDriver::Press(IDCANCEL));
    window.OnSearch();
    EXPECT_EQ("abc", window.lastSearchText);
    EXPECT_EQ(Range(8, 11), Selection());

    window.OnFindNext();
    EXPECT_EQ(Range(4, 7), Selection());
}

TEST_F(Search, EmptyTextCollapsesTheSelectionAtItsEnd)
{
    SetDocument("abc abc", 1, 3);
    driver.Queue(Type(""));
    window.OnSearch();
    EXPECT_EQ(Range(3, 3), Selection());
    EXPECT_EQ("", window.lastSearchText);
}

TEST_F(Search, DialogOpensEmptyWithDownCheckedEveryTime)
{
    SetDocument("abc abc", 7, 7);
    // Up from the end finds 4-7; down from there finds nothing.
    driver.Queue(Type("abc", true)).Queue(Type("abc")).Queue(DialogDriver::Press(IDOK));
    window.OnSearch();
    window.OnSearch();
    ASSERT_EQ(2u, opened.size());
    for (const Opened& o : opened) {
        EXPECT_EQ("", o.text);
        EXPECT_TRUE(o.downChecked);
        EXPECT_FALSE(o.upChecked);
    }
}

// Find next and 置換 with a regular expression whose matches are empty go
// on after a whole line end, never between CR and LF nor at the same place.
TEST_F(Search, EmptyRegexMatchesStepOverWholeLineEnds)
{
    SearchOptions regex;
    regex.regex = true;
    const struct {
        const char* name;
        const char* pattern;
        const char* replacement; // null: find next only
        int upward;
        std::string text;
        std::string want;
        Range last;
    } cases[] = {
        {"find $", "$", nullptr, 0, "a\r\nb", "a\r\nb", {4, 4}},
        {"置換 $", "$", "X", 0, "abc\r\n", "abcX\r\nX", {7, 7}},
        {"置換 ^ upward", "^", "X", 1, "ab\r\ncd", "Xab\r\nXcd", {1, 1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t seenBefore = driver.Seen().size();
        const int caret = c.upward == 1 ? static_cast<int>(c.text.size()) : 0;
        SetDocument(c.text, caret, caret);
        driver.Queue(DialogDriver::Press(IDOK)); // the not-found box of the third press
        for (int press = 0; press < 3; ++press) {
            PaneSearch search(window.leftPane, window, c.pattern, regex);
            c.replacement != nullptr ? search.ReplaceSelected(c.replacement, c.upward) : search.SelectNext(c.upward);
            EXPECT_EQ(seenBefore + (press == 2 ? 1 : 0), driver.Seen().size()) << press;
        }
        EXPECT_EQ(c.want, window.leftPane.GetText());
        EXPECT_EQ(c.last, Selection());
    }
}

// A finder reused for one find after another holds no more handles: a
// handle takes the lowest free number, so one left open pushes the number
// of the next up.
TEST_F(Search, RepeatedRegexFindsHoldNoMoreHandles)
{
    const auto nextHandle = [] {
        HANDLE probe = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ::CloseHandle(probe);
        return reinterpret_cast<uintptr_t>(probe);
    };
    SearchOptions regex;
    regex.regex = true;
    SetDocument("abc abc", 0, 0);
    PaneRegexFinder finder(window.leftPane, "b", regex);
    PaneRegexFinder::Span found;
    ASSERT_EQ(PaneRegexFinder::Outcome::Found, finder.Find(window, 0, false, &found));
    const uintptr_t before = nextHandle();
    for (int find = 0; find < 50; ++find)
        finder.Find(window, 0, false, &found);
    EXPECT_TRUE(WaitUntil([&] { return nextHandle() <= before + 16; })) << before;
}

// A すべて置換 too large to go in at once goes in piece by piece: the exact
// bytes, one undo takes every piece back and one redo puts them again.
TEST_F(Search, LargeReplaceAllIsOneUndoStep)
{
    std::string text;
    std::string want;
    for (size_t line = 0; text.size() <= PaneReplacement::PieceAbove; ++line) {
        text += "key" + std::to_string(line) + "=value\r\n";
        want += "key" + std::to_string(line) + ":=value\r\n";
    }
    const int count = static_cast<int>(want.size() - text.size());
    for (const bool regex : {false, true}) {
        SCOPED_TRACE(regex);
        SearchOptions options;
        options.regex = regex;
        SetDocument(text, 0, 0);
        driver.Queue(DialogDriver::Press(IDOK)); // the count box
        EXPECT_EQ(count, PaneSearch(window.leftPane, window, "=", options).ReplaceAll(":="));
        EXPECT_TRUE(window.leftPane.Bytes() == want);
        window.leftPane.Undo();
        EXPECT_TRUE(window.leftPane.Bytes() == text);
        EXPECT_FALSE(window.leftPane.CanUndo());
        window.leftPane.Redo();
        EXPECT_TRUE(window.leftPane.Bytes() == want);
    }
}
