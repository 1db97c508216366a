// Nothing typed is lost: the real editor killed after its recovery copy was
// written, then started again; and the last session's file reopened after a
// normal exit. Each editor keeps its settings and copies in a folder of the
// test's, shared between the runs of one case.
#include <algorithm>

#include "EditorProcessTest.h"

namespace {

constexpr WORD LastSessionCommand = 32926;
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
        ASSERT_FALSE(settings->Write("Quorvane\\Quorvane.ini", "[Recovery]\r\nIntervalSeconds=" + std::to_string(interval)).empty());
    }

    void Launch(const std::string& arguments = "")
    {
        editor = std::make_unique<EditorProcess>(arguments, settings->Path());
        ASSERT_TRUE(editor->Started());
        main = editor->WaitForMainWindow();
        ASSERT_NE(nullptr, main);
    }

    size_t Copies() const
    {
        const std::vector<std::string> names = TempFolder::EntriesOf(*settings / "Quorvane\\Recovery");
        return static_cast<size_t>(std::count_if(names.begin(), names.end(), [](const std::string& name) {
            return name.size() > 4 && name.compare(name.size() - 4, 4, ".qrc") == 0;
        }));
    }

    // Typed into the document of a file, copied, then the editor killed.
    void TypeAndCrash(const std::string& path)
    {
        Launch("\"" + path + "\"");
        ASSERT_TRUE(WaitForCaption(path + " - Quorvane")) << WindowText(main);
        for (char c : std::string("abc"))
            ::PostMessageA(editor->Pane(EditorProcess::LeftPaneId), WM_CHAR, static_cast<WPARAM>(c), 1);
        ASSERT_TRUE(WaitForCaption(path + " - Quorvane（更新）")) << WindowText(main);
        ASSERT_TRUE(WaitUntil([&] { return Copies() == 1; })) << "no recovery copy was written";
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
        int saveAnswer; // to the question a start file asks: Cancel for the file, No for a missing one
    } cases[] = {{"restored", true, 0}, {"not restored, then deleted", false, 0}, {"file given", true, IDCANCEL}, {"missing file given", true, IDNO}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FreshSettings();
        const std::string path = folder.Write(std::string(c.name) + ".txt", Original);
        TypeAndCrash(path);

        Launch(c.saveAnswer == 0 ? "" : "\"" + (c.saveAnswer == IDNO ? folder / "none.txt" : path) + "\"");
        const std::string question = Answer(RecoveryCaption, c.restore ? IDYES : IDNO);
        EXPECT_EQ(0u, question.find("前回、保存されていない変更が残っています。\n復元しますか？\n")) << question;
        EXPECT_NE(std::string::npos, question.find(path)) << question;
        if (c.saveAnswer != 0) {
            EXPECT_EQ("保存されていません。\n保存しますか？", Answer("保存の確認", c.saveAnswer));
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

// Another program's text is an edit (1.2 MB of it copied at once), never a save.
TEST_F(RecoveryTest, OtherProgramsChangesAreEdits)
{
    FreshSettings(3600);
    const std::string path = folder.Write("他から.txt", Original);
    Launch("\"" + path + "\"");
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    const HWND left = editor->Pane(EditorProcess::LeftPaneId);
    std::string large(600000, 'a'); // twice: Wine carries no message of 1 MB
    for (size_t end = 62; end < large.size(); end += 64) // short lines are laid out quickly
        large.replace(end, 2, "\r\n");
    for (int i = 0; i < 2; ++i)
        ::SendMessageA(left, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(large.c_str()));
    EXPECT_TRUE(WaitUntil([&] { return Copies() == 1; }));
    ::SendMessageA(left, EM_SETMODIFY, FALSE, 0);
    EXPECT_EQ(path + " - Quorvane（更新）", WindowText(main));
}
