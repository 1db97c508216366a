// The document's name, caption and modified mark through open, save, save as
// and editing, with the real dialogs answered as a user would.
#include "DocumentFixture.h"

namespace {
const int FileTypeBoxId = 1136; // cmb1: the file-type list of the Open/Save dialog
const int ReadOnlyBoxId = 1040; // chx1: the "read only" check box

std::string Plain(const std::string& path)
{
    return path + PlainSuffix;
}
std::string Marked(const std::string& path)
{
    return path + ModifiedSuffix;
}
bool captionMarked = false; // while WatchCaption is set
LRESULT CALLBACK WatchCaption(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    captionMarked |= call->message == WM_SETTEXT && std::string(reinterpret_cast<const char*>(call->lParam)).find(ModifiedSuffix) != std::string::npos;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
} // namespace

TEST_F(DocumentTest, NewWindowIsUntitledAndUnmodified)
{
    ExpectState({Untitled, "無題 - Quorvane", "", 0}, "at creation");
}

TEST_F(DocumentTest, TypingInTheLeftPaneMarksTheDocumentOnly)
{
    ::SendMessageA(window.rightPane.GetHandle(), WM_CHAR, 'r', 1);
    ExpectState({Untitled, "無題 - Quorvane", "", 0}, "after typing in the right pane");

    TypeChar('a');
    ExpectState({Untitled, "無題 - Quorvane（更新）", "a", 1}, "after typing one character");
    TypeText("日本");
    ExpectState({Untitled, "無題 - Quorvane（更新）", "a日本", 1}, "after a second change");
}

TEST_F(DocumentTest, SaveOfAnUntitledDocumentGoesStraightToSaveAs)
{
    std::string target = folder.PathOf("new.txt");
    TypeChar('a');
    driver.Queue(DialogDriver::ChooseFile(target));
    window.OnSave();
    ExpectDialogsDone();
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("", driver.Seen()[0].text) << "the first dialog is the save dialog, not a box";

    ExpectState({target, Plain(target), "a", 0}, "after Save As from Save");
    EXPECT_EQ("a", Bytes(target));
}

TEST_F(DocumentTest, OpenShowsTheFileUnmarkedWithTheFocusInThePane)
{
    std::string path = folder.Write("doc.txt", "一行目\r\n二行目");
    TypeChar('x');
    window.rightPane.SetText("右側");
    ::SetFocus(window.rightPane.GetHandle());

    driver.Queue(DialogDriver::Press(IDNO)).Queue(DialogDriver::ChooseFile(path));
    window.OnOpen();
    ExpectDialogsDone();

    ExpectState({path, Plain(path), "一行目\r\n二行目", 0}, "after Open");
    EXPECT_EQ(window.leftPane.GetHandle(), ::GetFocus());
    EXPECT_EQ("右側", window.rightPane.GetText());
}

TEST_F(DocumentTest, OpeningNeverMarksTheDocumentOnTheWayLestALargeOneBeCopied)
{
    const HHOOK hook = ::SetWindowsHookExA(WH_CALLWNDPROC, WatchCaption, nullptr, ::GetCurrentThreadId());
    EXPECT_EQ(1, window.OpenDocumentFile(folder.Write("doc.txt", "text")));
    ::UnhookWindowsHookEx(hook);
    EXPECT_FALSE(captionMarked);
}

TEST_F(DocumentTest, SaveOfANamedDocumentWritesWithoutAsking)
{
    std::string path = folder.Write("doc.txt", "old");
    OpenThroughDialog(path);
    TypeText("new ");
    EXPECT_EQ(Marked(path), Caption());

    ::SetFocus(window.rightPane.GetHandle());
    window.OnSave();
    ExpectDialogsDone();
    EXPECT_TRUE(driver.Seen().size() == 1u) << "only the Open dialog was shown";
    ExpectState({path, Plain(path), "new old", 0}, "after Save");
    EXPECT_EQ("new old", Bytes(path));
    EXPECT_EQ(window.leftPane.GetHandle(), ::GetFocus());
}

TEST_F(DocumentTest, SaveAsAdoptsTheChosenName)
{
    std::string first = folder.Write("first.txt", "text");
    std::string second = folder.PathOf("second.txt");
    OpenThroughDialog(first);
    TypeText("more ");

    driver.Queue(DialogDriver::ChooseFile(second));
    window.OnSaveAs();
    ExpectDialogsDone();
    ExpectState({second, Plain(second), "more text", 0}, "after Save As");
    EXPECT_EQ("more text", Bytes(second));
    EXPECT_EQ("text", Bytes(first)) << "the old file is left alone";
}

TEST_F(DocumentTest, CancelledSaveDialogsChangeNothing)
{
    TypeChar('a');
    DocumentState untitled = State();
    driver.Queue(DialogDriver::Press(IDCANCEL));
    window.OnSave();
    ExpectState(untitled, "Save of an untitled document, cancelled");

    driver.Queue(DialogDriver::Press(IDCANCEL));
    window.OnSaveAs();
    ExpectState(untitled, "Save As, cancelled");

    std::string path = folder.Write("named.txt", "named");
    driver.Queue(DialogDriver::Press(IDNO)).Queue(DialogDriver::ChooseFile(path));
    window.OnOpen();
    TypeChar('b');
    DocumentState named = State();
    driver.Queue(DialogDriver::Press(IDCANCEL));
    window.OnSaveAs();
    ExpectDialogsDone();
    ExpectState(named, "Save As of a named document, cancelled");
    EXPECT_EQ("named", Bytes(path));
}

TEST_F(DocumentTest, DialogsOfferTheFourFiltersAndHideReadOnly)
{
    struct DialogLook {
        std::vector<std::string> filters;
        LRESULT selected = -1;
        bool readOnlyShown = true;
    };
    auto lookThenChoose = [](DialogLook& look, const std::string& path) {
        return [&look, path](HWND dialog) {
            HWND types = ::GetDlgItem(dialog, FileTypeBoxId);
            LRESULT count = ::SendMessageA(types, CB_GETCOUNT, 0, 0);
            for (LRESULT i = 0; i < count; ++i) {
                char text[256] = {};
                ::SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
                look.filters.push_back(text);
            }
            look.selected = ::SendMessageA(types, CB_GETCURSEL, 0, 0);
            HWND readOnly = ::GetDlgItem(dialog, ReadOnlyBoxId);
            look.readOnlyShown = readOnly != nullptr && ::IsWindowVisible(readOnly);
            DialogDriver::ChooseFile(path)(dialog);
        };
    };
    const std::vector<std::string> expected = {"テキストファイル (*.txt)", "ログファイル (*.log)",
                                               "iniファイル (*.ini)", "全てのファイル (*.*)"};

    std::string existing = folder.Write("existing.txt", "old");
    DialogLook openLook;
    driver.Queue(lookThenChoose(openLook, existing));
    window.OnOpen();
    DialogLook saveLook;
    BoxLook overwrite;
    driver.Queue(lookThenChoose(saveLook, existing)).Queue(LookAndPress(overwrite, IDYES));
    TypeChar('n');
    window.OnSaveAs();
    ExpectDialogsDone();

    for (const DialogLook* look : {&openLook, &saveLook}) {
        const char* which = look == &openLook ? "open dialog" : "save dialog";
        EXPECT_EQ(expected, look->filters) << which;
        EXPECT_EQ(0, look->selected) << which;
        EXPECT_FALSE(look->readOnlyShown) << which;
    }
    // The save dialog asks before it replaces a file.
    ASSERT_EQ(3u, driver.Seen().size());
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), overwrite.buttons);
    EXPECT_EQ("nold", Bytes(existing));
}

TEST_F(DocumentTest, OpenOnAModifiedDocumentAsksFirst)
{
    std::string other = folder.Write("other.txt", "other");
    TypeChar('a');
    DocumentState modified = State();

    // Cancel: no dialog, nothing changes.
    BoxLook look;
    driver.Queue(LookAndPress(look, IDCANCEL));
    window.OnOpen();
    ExpectDialogsDone();
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("保存されていません。\n保存しますか？", driver.Seen()[0].text);
    EXPECT_EQ("保存の確認", driver.Seen()[0].caption);
    EXPECT_EQ((std::vector<int>{IDCANCEL, IDYES, IDNO}), look.buttons);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_QUESTION), look.icon);
    ExpectState(modified, "Open, Cancel");

    // Yes, then the save dialog cancelled: the open dialog does not come.
    driver.Queue(DialogDriver::Press(IDYES)).Queue(DialogDriver::Press(IDCANCEL));
    window.OnOpen();
    ExpectDialogsDone();
    EXPECT_EQ(3u, driver.Seen().size());
    ExpectState(modified, "Open, Yes, save cancelled");

    // No: straight to the open dialog, nothing saved.
    driver.Queue(DialogDriver::Press(IDNO)).Queue(DialogDriver::ChooseFile(other));
    window.OnOpen();
    ExpectDialogsDone();
    ExpectState({other, Plain(other), "other", 0}, "Open, No");
    EXPECT_EQ((std::vector<std::string>{"other.txt"}), folder.Entries());
}

TEST_F(DocumentTest, OpenAfterYesSavesThenOpens)
{
    std::string other = folder.Write("other.txt", "other");
    std::string saved = folder.PathOf("saved.txt");
    TypeChar('a');
    driver.Queue(DialogDriver::Press(IDYES))
        .Queue(DialogDriver::ChooseFile(saved))
        .Queue(DialogDriver::ChooseFile(other));
    window.OnOpen();
    ExpectDialogsDone();
    EXPECT_EQ("a", Bytes(saved));
    ExpectState({other, Plain(other), "other", 0}, "after Yes, save and open");
}

TEST_F(DocumentTest, CloseOfAModifiedDocument)
{
    std::string path = folder.Write("named.txt", "named");
    OpenThroughDialog(path);
    TypeChar('a');
    DocumentState modified = State();

    BoxLook look;
    driver.Queue(LookAndPress(look, IDCANCEL));
    window.HandleClose();
    EXPECT_TRUE(window.IsWindow()) << "Cancel keeps the window";
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("保存されていません。\n保存して終了しますか？", driver.Seen()[1].text);
    EXPECT_EQ("保存の確認", driver.Seen()[1].caption);
    EXPECT_EQ((std::vector<int>{IDCANCEL, IDYES, IDNO}), look.buttons);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_QUESTION), look.icon);

    // Yes offers Save As even for a named document; cancelling it keeps the
    // window and the unsaved text.
    driver.Queue(DialogDriver::Press(IDYES)).Queue(DialogDriver::Press(IDCANCEL));
    ::SendMessageA(window.GetHandle(), WM_CLOSE, 0, 0);
    ExpectDialogsDone();
    EXPECT_EQ(4u, driver.Seen().size());
    ASSERT_TRUE(window.IsWindow()) << "a cancelled save keeps the window";
    ExpectState(modified, "close, Yes, save cancelled");
    EXPECT_EQ("named", Bytes(path));

    // Yes and a completed Save As close it.
    std::string saved = folder.PathOf("saved.txt");
    driver.Queue(DialogDriver::Press(IDYES)).Queue(DialogDriver::ChooseFile(saved));
    window.HandleClose();
    ExpectDialogsDone();
    EXPECT_FALSE(window.IsWindow());
    EXPECT_EQ("anamed", Bytes(saved));
}

TEST_F(DocumentTest, CloseWithNoDiscardsTheChanges)
{
    TypeChar('a');
    driver.Queue(DialogDriver::Press(IDNO));
    ::SendMessageA(window.GetHandle(), WM_COMMAND, 105, 0);
    ExpectDialogsDone();
    EXPECT_FALSE(window.IsWindow());
    EXPECT_TRUE(folder.Entries().empty());
}

TEST_F(DocumentTest, CloseOfAnUnmodifiedDocumentAsksOkCancel)
{
    BoxLook look;
    driver.Queue(LookAndPress(look, IDCANCEL));
    window.HandleClose();
    ExpectDialogsDone();
    EXPECT_TRUE(window.IsWindow());
    ASSERT_EQ(1u, driver.Seen().size());
    EXPECT_EQ("終了しますか？", driver.Seen()[0].text);
    EXPECT_EQ("終了の確認", driver.Seen()[0].caption);
    EXPECT_EQ((std::vector<int>{IDOK, IDCANCEL}), look.buttons);
    EXPECT_EQ(IDCANCEL, look.defaultButton);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_QUESTION), look.icon);

    driver.Queue(DialogDriver::Press(IDOK));
    window.HandleClose();
    ExpectDialogsDone();
    EXPECT_FALSE(window.IsWindow());
}

// Five edits in separate places are undone one by one back to the opened
// text and redone; the mark follows the save point, which a save moves.
TEST_F(DocumentTest, UndoAndRedoWalkEveryEditWithTheMarkOnTheSavePoint)
{
    const std::string path = folder.Write("undo.txt", "0123456789");
    OpenThroughDialog(path);
    std::vector<std::string> texts{"0123456789"};
    for (size_t edit = 0; edit < 5; ++edit) {
        window.leftPane.SetSelection(edit * 3, edit * 3);
        TypeChar(static_cast<char>('a' + edit));
        texts.push_back(PaneText());
    }
    for (size_t step = 5; step > 0; --step) {
        window.OnUndo();
        ExpectState({path, step > 1 ? Marked(path) : Plain(path), texts[step - 1], step > 1 ? 1 : 0}, "undo");
    }
    for (size_t step = 1; step <= 5; ++step) {
        window.OnRedo();
        ExpectState({path, Marked(path), texts[step], 1}, "redo");
    }
    window.OnSave();
    window.OnUndo();
    ExpectState({path, Marked(path), texts[4], 1}, "undo after the save");
    window.OnRedo();
    ExpectState({path, Plain(path), texts[5], 0}, "redo back to the save point");
    ExpectDialogsDone();
}

// A swap trades the documents with their encodings and history, without
// changing a byte, and swapping back makes the file's text unmarked again.
TEST_F(DocumentTest, SwapTradesDocumentsWithTheirEncodingsAndBack)
{
    const std::string utf8 = u8"日本語 😀\r\n";
    const std::string results = "a.txt(1): \x93\xfa\r\n";
    const std::string path = folder.Write("u8.txt", utf8);
    OpenThroughDialog(path);
    window.rightPane.Append(results);

    window.OnSwapText();
    EXPECT_EQ(results, std::string(window.leftPane.Bytes()));
    EXPECT_EQ(utf8, std::string(window.rightPane.Bytes()));
    EXPECT_EQ(ScintillaControl::Cp932, window.leftPane.CodePage());
    EXPECT_EQ(ScintillaControl::Utf8, window.rightPane.CodePage());
    EXPECT_EQ(Marked(path), Caption());

    window.OnSwapText();
    EXPECT_EQ(utf8, std::string(window.leftPane.Bytes()));
    EXPECT_EQ(results, std::string(window.rightPane.Bytes()));
    EXPECT_EQ(path + " [UTF-8]" + PlainSuffix, Caption());
    EXPECT_EQ(0, window.modified);
}

// A file loads while the window's messages go on: the progress window comes
// up and is answered. 中止 keeps the previous document as it was, its
// history too.
TEST_F(DocumentTest, StoppingAnOpenKeepsThePreviousDocument)
{
    const std::string small = folder.Write("small.txt", "small\r\n");
    OpenThroughDialog(small);
    TypeChar('x');
    std::string text;
    while (text.size() < (16u << 20))
        text += "日本語の行 0123456789 abcdefghijklmnopqrstuvwxyz\r\n";
    const std::string large = folder.Write("large.txt", text);
    window.loadPace = {0, 64}; // long enough to be stopped on any machine
    driver.Queue(DialogDriver::Press(IDCANCEL));
    EXPECT_EQ(0, window.OpenDocumentFile(large));
    ExpectDialogsDone();
    ASSERT_EQ(2u, driver.Seen().size());
    EXPECT_EQ("ファイルを開いています", driver.Seen()[1].caption);
    ExpectState({small, Marked(small), "xsmall\r\n", 1}, "after 中止");
    window.OnUndo();
    ExpectState({small, Plain(small), "small\r\n", 0}, "the history kept");
}
