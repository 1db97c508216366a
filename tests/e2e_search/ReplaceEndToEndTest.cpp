// The real Quorvane.exe driven through its replace dialog: 置換 step by step
// down and up, then すべて置換 with its count box, each taken back whole by
// one Ctrl+Z typed into the document.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "framework/Win32.h"
#include "support/DialogDriver.h"
#include "support/EditorProcess.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"
#include "support/WindowText.h"

namespace {

constexpr WPARAM ReplaceCommand = 32850;
constexpr int SearchTextId = 1007;
constexpr int ReplaceTextId = 1113;
constexpr int UpId = 1038;
constexpr int DownId = 1010;
constexpr int MatchCaseId = 1111;
constexpr int WholeWordId = 1112;
constexpr int RegexId = 1116;
constexpr int ReplaceOneId = 1114;
constexpr int ReplaceAllId = 1115;
constexpr int MessageTextId = 65535;

// Trail bytes 0x5C (表, ソ) beside the matches, a match at a line start and
// one touching a word, and an upper-case twin.
const std::string Original = "表cat ソcat\r\ncatCAT";

struct Settings {
    std::string pattern;
    std::string replacement;
    bool upward;
    bool matchCase;
    bool wholeWord;
    bool regex = false;
};

class ReplaceEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(editor.Started());
        main = editor.WaitForMainWindow();
        ASSERT_NE(nullptr, main);
        pane = editor.Pane(EditorProcess::LeftPaneId);
        path = folder.Write("置換.txt", Original);
        ASSERT_FALSE(path.empty());
        ASSERT_TRUE(editor.OpenDocument(path)) << WindowText(main);
        ::SendMessageA(pane, EM_SETSEL, 0, 0);
    }

    HWND OpenDialog(const Settings& s)
    {
        ::PostMessageA(main, WM_COMMAND, ReplaceCommand, 0);
        HWND dialog = editor.WaitFor("#32770", "置換");
        if (dialog != nullptr)
            Fill(dialog, s);
        return dialog;
    }

    static void Fill(HWND dialog, const Settings& s)
    {
        ::SendMessageA(::GetDlgItem(dialog, SearchTextId), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(s.pattern.c_str()));
        ::SendMessageA(::GetDlgItem(dialog, ReplaceTextId), WM_SETTEXT, 0,
                       reinterpret_cast<LPARAM>(s.replacement.c_str()));
        const std::pair<int, bool> boxes[] = {
            {UpId, s.upward}, {DownId, !s.upward}, {MatchCaseId, s.matchCase}, {WholeWordId, s.wholeWord},
            {RegexId, s.regex}};
        for (const auto& box : boxes)
            ::SendMessageA(::GetDlgItem(dialog, box.first), BM_SETCHECK, box.second ? BST_CHECKED : BST_UNCHECKED, 0);
    }

    // The pane's selection in bytes of its text.
    std::pair<size_t, size_t> Selection() const
    {
        const DWORD packed = static_cast<DWORD>(::SendMessageA(pane, EM_GETSEL, 0, 0));
        return {LOWORD(packed), HIWORD(packed)};
    }

    // Waits for a message box with this caption, returns its text and closes it.
    std::string AnswerBox(const char* caption) const
    {
        HWND box = editor.WaitFor("#32770", caption);
        if (box == nullptr)
            return "(no box " + std::string(caption) + ")";
        std::string text = DialogDriver::TextOf(box, MessageTextId);
        DialogDriver::PostCommand(box, IDOK);
        WaitUntil([box] { return !::IsWindow(box); });
        return text;
    }

    void Close(HWND dialog) const
    {
        DialogDriver::PostCommand(dialog, IDCANCEL);
        WaitUntil([dialog] { return !::IsWindow(dialog); });
    }

    // Ctrl+Z as typed on the keyboard, into the pane that has the focus.
    void TypeUndo() const
    {
        ::SetForegroundWindow(main);
        INPUT keys[4] = {};
        const WORD codes[4] = {VK_CONTROL, 'Z', 'Z', VK_CONTROL};
        for (int i = 0; i < 4; ++i) {
            keys[i].type = INPUT_KEYBOARD;
            keys[i].ki.wVk = codes[i];
            keys[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
        }
        ::SendInput(4, keys, sizeof(INPUT));
    }

    EditorProcess editor;
    TempFolder folder;
    HWND main = nullptr;
    HWND pane = nullptr;
    std::string path;
};

struct Step {
    int button;
    std::string text;
    size_t start;
    size_t end;
    const char* notFound; // the pattern the not-found box names, or null
};

TEST_F(ReplaceEndToEnd, ReplaceStepByStepDownThenUp)
{
    HWND dialog = OpenDialog({"cat", "ねこ", false, true, false});
    ASSERT_NE(nullptr, dialog);
    const std::vector<Step> down = {
        {ReplaceOneId, Original, 2, 5, nullptr},
        {ReplaceOneId, "表ねこ ソcat\r\ncatCAT", 9, 12, nullptr},
        {ReplaceOneId, "表ねこ ソねこ\r\ncatCAT", 15, 18, nullptr},
        {ReplaceOneId, "表ねこ ソねこ\r\nねこCAT", 19, 19, "cat"},
    };
    const std::vector<Step> up = {
        {ReplaceOneId, "表ねこ ソねこ\r\nねこCAT", 15, 19, nullptr},
        {ReplaceOneId, "表ねこ ソねこ\r\ncatCAT", 9, 13, nullptr},
        {ReplaceOneId, "表ねこ ソcat\r\ncatCAT", 2, 6, nullptr},
        {IDOK, "表ねこ ソcat\r\ncatCAT", 2, 6, "ねこ"},
        {ReplaceOneId, Original, 5, 5, "ねこ"},
    };
    int index = 0;
    for (const std::vector<Step>* walk : {&down, &up}) {
        if (walk == &up)
            Fill(dialog, {"ねこ", "cat", true, true, false});
        for (const Step& step : *walk) {
            SCOPED_TRACE(testing::Message() << "step " << index++);
            DialogDriver::PostCommand(dialog, step.button);
            if (step.notFound != nullptr) {
                EXPECT_EQ("\"" + std::string(step.notFound) + "\"は見つかりませんでした。", AnswerBox("検索結果"));
            }
            EXPECT_TRUE(WaitUntil([&] { return WindowText(pane) == step.text; })) << WindowText(pane);
            EXPECT_TRUE(WaitUntil([&] { return Selection() == std::make_pair(step.start, step.end); }))
                << Selection().first << "-" << Selection().second;
        }
    }
    EXPECT_EQ(path + " - Quorvane（更新）", WindowText(main));
    Close(dialog);
}

struct AllCase {
    const char* name;
    Settings settings;
    std::string replaced;
    const char* report;
};

TEST_F(ReplaceEndToEnd, ReplaceAllCountsAndOneUndoTakesItBack)
{
    const std::vector<AllCase> cases = {
        {"longer", {"cat", "ねこです", false, true, false}, "表ねこです ソねこです\r\nねこですCAT", "3 個置換しました"},
        {"shorter", {"cat", "c", false, true, false}, "表c ソc\r\ncCAT", "3 個置換しました"},
        {"empty", {"cat", "", false, true, false}, "表 ソ\r\nCAT", "3 個置換しました"},
        {"containing the pattern", {"cat", "[cat]", false, true, false}, "表[cat] ソ[cat]\r\n[cat]CAT",
         "3 個置換しました"},
        {"either case", {"cat", "dog", false, false, false}, "表dog ソdog\r\ndogdog", "4 個置換しました"},
        {"whole words", {"cat", "dog", false, true, true}, "表dog ソdog\r\ncatCAT", "2 個置換しました"},
        {"trail bytes are no backslash", {"\\", "/", false, true, false}, Original,
         "\"\\\"は見つかりませんでした。"},
        {"regular expression with groups", {"(c)(a)t\\b", "$2\\t$1", false, true, false, true},
         "表a\tc ソa\tc\r\ncatCAT", "2 個置換しました"},
        {"a pattern that does not compile", {"表(cat", "x", false, true, false, true}, Original,
         "正規表現が正しくありません\n理由: missing closing parenthesis\n位置: 先頭から 6 文字目"},
    };
    for (const AllCase& c : cases) {
        SCOPED_TRACE(c.name);
        HWND dialog = OpenDialog(c.settings);
        ASSERT_NE(nullptr, dialog);
        DialogDriver::PostCommand(dialog, ReplaceAllId);
        const bool found = c.replaced != Original;
        const bool refused = c.settings.regex && !found;
        EXPECT_EQ(c.report, AnswerBox(found ? "置換結果" : refused ? "検索" : "検索結果"));
        EXPECT_EQ(c.replaced, WindowText(pane));
        Close(dialog);
        if (found) {
            TypeUndo();
            EXPECT_TRUE(WaitUntil([&] { return WindowText(pane) == Original; })) << WindowText(pane);
        }
    }
    // Every replacement undone: the text is the file's again, unmarked.
    EXPECT_EQ(path + " - Quorvane", WindowText(main));
}

// A pattern that backtracks without end on one line ends in a message that
// names the line; the editor lives on and answers.
TEST_F(ReplaceEndToEnd, HostilePatternStopsWithTheLimitMessage)
{
    const std::string hostile = folder.Write("長い行.txt", "first\r\n" + std::string(30000, 'a') + "b\r\n");
    ASSERT_TRUE(editor.OpenDocument(hostile)) << WindowText(main);
    HWND dialog = OpenDialog({"(a+)+$", "", false, true, false, true});
    ASSERT_NE(nullptr, dialog);
    DialogDriver::PostCommand(dialog, IDOK);
    EXPECT_EQ("正規表現の処理が上限を超えたため、検索を中止しました。\n" + hostile + " の 2 行目", AnswerBox("検索結果"));
    DWORD_PTR answer = 0;
    EXPECT_NE(0, ::SendMessageTimeoutA(main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer));
    Close(dialog);
}

} // namespace
