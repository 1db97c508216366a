// What a user does about a file's encoding and about another program writing
// the file, through the real editor: reopening in a chosen encoding, Save As
// in another encoding and line end, and the file changed or deleted on disk
// while the editor was in the background (its activation looks).
#include <string>

#include "EditorProcessTest.h"

namespace {

const WORD SaveAsCommand = 32777;
const WORD ReopenSjis = 32931;
const WORD ReopenUtf8 = 32932;
const WORD ReopenUtf16Le = 32933;

class EncodingAndDiskTest : public EditorProcessTest {
protected:
    std::string Text() { return WindowText(editor->Pane(EditorProcess::LeftPaneId)); }
    // The user comes back to the editor from another program.
    void Activate() { ::PostMessageA(main, WM_ACTIVATE, WA_ACTIVE, 0); }
    std::string OnDisk(const std::string& path)
    {
        std::string bytes;
        EXPECT_TRUE(TempFolder::ReadBytes(path, bytes));
        return bytes;
    }
};

} // namespace

TEST_F(EncodingAndDiskTest, ReopenAsSjisAndBackLeavesTheFileAlone)
{
    const std::string utf8 = u8"日本語\r\n";
    const std::string path = folder.Write("u8.txt", utf8);
    Open(path);
    ASSERT_TRUE(WaitForCaption(path + " [UTF-8] - Quorvane"));
    const struct { WORD command; const char* caption; } steps[] = {
        {ReopenSjis, " - Quorvane"}, {ReopenUtf8, " [UTF-8] - Quorvane"}};
    for (const auto& step : steps) {
        ::PostMessageA(main, WM_COMMAND, step.command, 0);
        EXPECT_TRUE(WaitForCaption(path + step.caption)) << WindowText(main);
    }
    EXPECT_EQ("日本語\r\n", Text()) << "read as UTF-8 again";
    EXPECT_EQ(utf8, OnDisk(path));
}

// UTF-16 without a mark opens as code page 932 bytes; read as UTF-16LE and
// saved unedited it keeps its bytes, no mark added.
TEST_F(EncodingAndDiskTest, ReopenedUnmarkedUtf16IsSavedAsItWas)
{
    const std::string bytes("\x00\x4E\r\0\n\0", 6); // 一 CR LF
    const std::string path = folder.Write("le.txt", bytes);
    Open(path);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    ::PostMessageA(main, WM_COMMAND, ReopenUtf16Le, 0);
    ASSERT_TRUE(WaitForCaption(path + " [UTF-16LE] - Quorvane")) << WindowText(main);
    ::PostMessageA(main, WM_COMMAND, SaveCommand, 0);
    Settle();
    EXPECT_EQ(bytes, OnDisk(path));
}

TEST_F(EncodingAndDiskTest, SaveAsUtf16LeWithLf)
{
    const std::string path = folder.Write("sjis.txt", "一\r\n二\r\n");
    const std::string target = folder / "le.txt";
    Open(path);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    ::PostMessageA(main, WM_COMMAND, SaveAsCommand, 0);
    HWND dialog = editor->WaitForOwnedDialog();
    ASSERT_NE(nullptr, dialog) << "no Save As dialog";
    HWND part = ::FindWindowExA(dialog, nullptr, "#32770", nullptr);
    ASSERT_NE(nullptr, part) << "the dialog has no encoding and line-end lists";
    EXPECT_EQ(0, ::SendMessageA(::GetDlgItem(part, 1200), CB_GETCURSEL, 0, 0)) << "opens on SJIS";
    EXPECT_EQ(0, ::SendMessageA(::GetDlgItem(part, 1201), CB_GETCURSEL, 0, 0)) << "opens on CRLF";
    ::SendMessageA(::GetDlgItem(part, 1200), CB_SETCURSEL, 3, 0); // UTF-16LE
    ::SendMessageA(::GetDlgItem(part, 1201), CB_SETCURSEL, 1, 0); // LF
    ::SetWindowTextA(::GetDlgItem(dialog, FileNameBoxId), target.c_str());
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForCaption(target + " [UTF-16LE] [LF] - Quorvane")) << WindowText(main);
    EXPECT_EQ(std::string("\xFF\xFE\x00\x4E\n\x00\x8C\x4E\n\x00", 10), OnDisk(target));
    EXPECT_EQ("一\r\n二\r\n", OnDisk(path));
}

// Unmodified: read again without a word. Modified: asked; No keeps the text
// and is not asked again for the same change, and a save then asks before
// writing over the other program's file; the next change asks again.
TEST_F(EncodingAndDiskTest, ChangedOnDiskReloadsOrAsks)
{
    const std::string path = folder.Write("log.txt", "one\r\n");
    Open(path);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    folder.Write("log.txt", "one\r\ntwo\r\n");
    Activate();
    ASSERT_TRUE(WaitUntil([&] { return Text() == "one\r\ntwo\r\n"; })) << Text();

    ::PostMessageA(editor->Pane(EditorProcess::LeftPaneId), WM_CHAR, 'x', 1);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane（更新）"));
    folder.Write("log.txt", "three\r\n");
    Activate();
    EXPECT_EQ("ファイルが他のプログラムで変更されました。\n読み込み直しますか？（編集中の内容は失われます）",
              Answer("Quorvane", IDNO));
    Activate();
    Settle();
    EXPECT_EQ(nullptr, editor->OwnedDialog()) << "asked again for the same change";
    ::PostMessageA(main, WM_COMMAND, SaveCommand, 0);
    bool defaultIsNo = false;
    EXPECT_NE("", Answer("保存の確認", IDNO, &defaultIsNo)) << "no question before writing over the change";
    EXPECT_TRUE(defaultIsNo);
    Settle();
    EXPECT_EQ("three\r\n", OnDisk(path));

    folder.Write("log.txt", "four\r\n");
    Activate();
    EXPECT_NE("", Answer("Quorvane", IDYES));
    EXPECT_TRUE(WaitForCaption(path + " - Quorvane"));
    EXPECT_EQ("four\r\n", Text());
}

TEST_F(EncodingAndDiskTest, DeletedFileKeepsTheTextAsModified)
{
    const std::string path = folder.Write("gone.txt", "kept\r\n");
    Open(path);
    ASSERT_TRUE(WaitForCaption(path + " - Quorvane"));
    ASSERT_TRUE(::DeleteFileA(path.c_str()));
    Activate();
    EXPECT_TRUE(WaitForCaption(path + " - Quorvane（更新）")) << WindowText(main);
    EXPECT_EQ("kept\r\n", Text());
}
