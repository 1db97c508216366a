// Nothing typed is lost: the real editor killed after its recovery copy was
// written, then started again; and the last session's file reopened after a
// normal exit. Each editor keeps its settings and copies in a folder of the
// test's, shared between the runs of one case.
#include <algorithm>

#include "EditorProcessTest.h"
#include "support/Utf16Bytes.h"

namespace {

constexpr WORD LastSessionCommand = 32926;
constexpr WORD ReopenUtf16LeCommand = 32933;
constexpr UINT SciGetCurrentPos = 2008;
constexpr UINT SciLineFromPosition = 2166;
const char* const RecoveryCaption = "復元の確認";
const char* const Original = "一行目\r\n二行目\r\n三行目\r\n";

class RecoveryTest : public EditorProcessTest {
protected:
    // The editors start in the test, with settings of its own: a copy a
    // second after the last change.
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsReady());
        FreshSettings();
    }

    void FreshSettings(int interval = 1)
    {
        editor.reset();
        settings = std::make_unique<TempFolder>();
        ASSERT_FALSE(settings->MakeFolder("Quorvane").empty());
        const std::string ini = "[Recovery]\r\nIntervalSeconds=" + std::to_string(interval) + "\r\n";
        ASSERT_FALSE(settings->Write("Quorvane\\Quorvane.ini", ini).empty());
    }

    void Launch(const std::string& arguments = "")
    {
        editor = std::make_unique<EditorProcess>(arguments, settings->Path());
        ASSERT_TRUE(editor->Started());
        main = editor->WaitForMainWindow();
        ASSERT_NE(nullptr, main);
    }

    std::string RecoveryFolder() const { return *settings / "Quorvane\\Recovery"; }

    size_t Copies() const
    {
        const std::vector<std::string> names = TempFolder::EntriesOf(RecoveryFolder());
        return static_cast<size_t>(std::count_if(names.begin(), names.end(), [](const std::string& name) {
            return name.size() > 4 && name.compare(name.size() - 4, 4, ".qrc") == 0;
        }));
    }

    // Whether a copy's text begins with start.
    bool CopyBegins(const std::string& start) const
    {
        std::string bytes;
        for (const std::string& name : TempFolder::EntriesOf(RecoveryFolder()))
            if (name.find(".qrc") != std::string::npos && TempFolder::ReadBytes(RecoveryFolder() + "\\" + name, bytes))
                return bytes.find("\r\n\r\n" + start) != std::string::npos;
        return false;
    }

    // Typed into the document of a file (read again first by reopen, a
    // command that warns of a loss), copied after each change, then the
    // editor killed.
    void TypeAndCrash(const std::string& path, WORD reopen = 0, const std::string& tag = "")
    {
        Launch("\"" + path + "\"");
        if (reopen != 0) {
            ASSERT_TRUE(WaitUntil([&] { return WindowText(main).find(path) == 0; }));
            ::PostMessageA(main, WM_COMMAND, reopen, 0);
            EXPECT_NE("", Answer("警告", IDOK));
        }
        ASSERT_TRUE(WaitForCaption(path + tag + " - Quorvane")) << WindowText(main);
        std::string typed;
        for (const char c : std::string("abc")) {
            ::PostMessageA(editor->Pane(EditorProcess::LeftPaneId), WM_CHAR, static_cast<WPARAM>(c), 1);
            typed += c;
            ASSERT_TRUE(WaitUntil([&] { return CopyBegins(typed); })) << "no recovery copy of " << typed;
        }
        ::TerminateProcess(editor->Process(), 1);
        ::WaitForSingleObject(editor->Process(), DefaultWaitLimitMs);
    }

    size_t CaretLine() const
    {
        HWND pane = editor->Pane(EditorProcess::LeftPaneId);
        return static_cast<size_t>(
            ::SendMessageA(pane, SciLineFromPosition, ::SendMessageA(pane, SciGetCurrentPos, 0, 0), 0));
    }

    std::unique_ptr<TempFolder> settings;
};

} // namespace

TEST_F(RecoveryTest, KilledEditorsChangesAreOfferedBack)
{
    const struct {
        const char* name;
        bool restore;
        bool withFile; // as Explorer starts it: asked about the restored text first
    } cases[] = {{"restored", true, false}, {"not restored, then deleted", false, false}, {"with file", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshSettings();
        const std::string path = folder.Write(std::string(c.name) + ".txt", Original);
        TypeAndCrash(path);

        Launch(c.withFile ? "\"" + path + "\"" : "");
        const std::string question = Answer(RecoveryCaption, c.restore ? IDYES : IDNO);
        EXPECT_EQ(0u, question.find("前回、保存されていない変更が残っています。\n復元しますか？\n")) << question;
        EXPECT_NE(std::string::npos, question.find(path)) << question;
        if (c.withFile) {
            EXPECT_EQ("保存されていません。\n保存しますか？", Answer("保存の確認", IDCANCEL));
        }
        if (c.restore) {
            ASSERT_TRUE(WaitForCaption(path + " - Quorvane（更新）")) << WindowText(main);
            EXPECT_EQ("abc" + std::string(Original), WindowText(editor->Pane(EditorProcess::LeftPaneId)));
            EXPECT_EQ(1u, Copies()) << "the copy is the new editor's own, never none";
        } else {
            bool defaultIsNo = false;
            EXPECT_EQ("残っている変更を削除しますか？", Answer(RecoveryCaption, IDYES, &defaultIsNo));
            EXPECT_TRUE(defaultIsNo);
            Settle();
            EXPECT_EQ(0u, Copies());
            EXPECT_EQ("無題 - Quorvane", WindowText(main));
        }
        std::string bytes;
        ASSERT_TRUE(TempFolder::ReadBytes(path, bytes));
        EXPECT_EQ(Original, bytes) << "the file itself is never touched";
    }
}

// A running editor's copy is its own: a second editor does not offer it.
TEST_F(RecoveryTest, RunningEditorsCopyIsNotOffered)
{
    const std::string path = folder.Write("走行中.txt", Original);
    Launch("\"" + path + "\"");
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    ::PostMessageA(editor->Pane(EditorProcess::LeftPaneId), WM_CHAR, 'x', 1);
    ASSERT_TRUE(WaitUntil([&] { return Copies() == 1; }));
    const std::unique_ptr<EditorProcess> first = std::move(editor);
    Launch();
    Settle(); // its start, question or not, is behind it
    EXPECT_EQ(nullptr, editor->OwnedDialog());
    EXPECT_EQ(1u, Copies());
}

TEST_F(RecoveryTest, NormalExitReopensTheLastFileAtItsLine)
{
    const std::string path = folder.Write("前回.txt", Original);
    Launch("\"" + path + "\"");
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    const size_t thirdLine = std::string(Original).find("三");
    ::SendMessageA(editor->Pane(EditorProcess::LeftPaneId), EM_SETSEL, thirdLine, thirdLine);
    ASSERT_EQ(0, editor->CloseThroughExitQuestion());

    Launch();
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane")) << WindowText(main);
    EXPECT_EQ(2u, CaretLine());

    // Turned off in 表示, it stays off.
    ::SendMessageA(main, WM_COMMAND, LastSessionCommand, 0);
    ASSERT_EQ(0, editor->CloseThroughExitQuestion());
    Launch();
    Settle();
    EXPECT_EQ("無題 - Quorvane", WindowText(main));
}

// The copy goes only once another file has replaced the document: an open
// given up after "No" keeps it.
TEST_F(RecoveryTest, CopyStaysWhenTheOpenIsGivenUp)
{
    const std::string path = folder.Write("残す.txt", Original);
    Launch("\"" + path + "\"");
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    ::PostMessageA(editor->Pane(EditorProcess::LeftPaneId), WM_CHAR, 'x', 1);
    ASSERT_TRUE(WaitUntil([&] { return Copies() == 1; }));
    ::PostMessageA(main, WM_COMMAND, OpenCommand, 0);
    Answer("保存の確認", IDNO);
    DialogDriver::PostCommand(editor->WaitForOwnedDialog(), IDCANCEL);
    Settle();
    EXPECT_EQ(path + " - Quorvane（更新）", WindowText(main));
    EXPECT_EQ(1u, Copies());
}

// Text another program sets is an edit, copied at once when it is large;
// it cannot mark the document saved. The results pane is as before.
TEST_F(RecoveryTest, OtherProgramsCannotMarkTheDocumentSaved)
{
    FreshSettings(3600); // only a large change is copied during the test
    const std::string path = folder.Write("他から.txt", Original);
    Launch("\"" + path + "\"");
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    HWND left = editor->Pane(EditorProcess::LeftPaneId);
    ::PostMessageA(left, WM_CHAR, 'x', 1);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane（更新）"));
    // Twice 600 KB in short lines (laid out quickly; Wine carries no
    // message of 1 MB between programs): more than 1 MB changed in all.
    std::string large;
    while (large.size() < 600000u)
        large += std::string(62, 'a') + "\r\n";
    ::SendMessageA(left, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(large.c_str()));
    ::SendMessageA(left, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(large.c_str()));
    EXPECT_TRUE(WaitUntil([&] { return Copies() == 1; })) << "changes of 1 MB are copied at once";
    ::SendMessageA(left, EM_SETMODIFY, FALSE, 0);
    EXPECT_TRUE(::SendMessageA(left, EM_GETMODIFY, 0, 0));
    EXPECT_EQ(path + " - Quorvane（更新）", WindowText(main));
    HWND right = editor->Pane(EditorProcess::RightPaneId);
    ::SendMessageA(right, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("結果"));
    EXPECT_FALSE(::SendMessageA(right, EM_GETMODIFY, 0, 0));
}

// A restored document asks before a save changes what its file held or
// writes over a change made since, and writes no mark its file lacked.
TEST_F(RecoveryTest, RestoredDocumentSavesAsItsFileWould)
{
    const std::string path = folder.Write("印なし.txt", Utf16Bytes(u"a\xD800" u"b\r\n", false, false));
    TypeAndCrash(path, ReopenUtf16LeCommand, " [UTF-16LE]");
    folder.Write("印なし.txt", "changed since");
    Launch();
    Answer(RecoveryCaption, IDYES);
    ASSERT_TRUE(WaitForCaption(path + " [UTF-16LE] - Quorvane（更新）"));
    ::PostMessageA(main, WM_COMMAND, SaveCommand, 0);
    EXPECT_NE(std::string::npos, Answer("保存の確認", IDYES).find("そのまま表示できていない"));
    EXPECT_NE(std::string::npos, Answer("保存の確認", IDYES).find("他のプログラムで変更されています"));
    ASSERT_TRUE(WaitForCaption(path + " [UTF-16LE] - Quorvane"));
    std::string saved;
    ASSERT_TRUE(TempFolder::ReadBytes(path, saved));
    EXPECT_TRUE(Utf16Bytes(u"abca?b\r\n", false, false) == saved) << saved.size() << " bytes";
}
