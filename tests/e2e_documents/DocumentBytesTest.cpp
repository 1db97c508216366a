// Files of every kind opened and saved through the real editor: without an
// edit the bytes on disk stay exactly as they were, with no warning; only a
// UTF-16 file with an unpaired surrogate, which the pane cannot hold, is
// warned of at the open and asked about before saving over it (No leaves it
// byte for byte; Yes writes it with '?'). An edit is saved in the file's
// form with every other byte as it was.
#include <string>

#include "EditorProcessTest.h"
#include "support/DialogDriver.h"
#include "support/Utf16Bytes.h"

namespace {

using DocumentBytesTest = EditorProcessTest;

TEST_F(DocumentBytesTest, OpenAndSaveWithoutAnEdit)
{
    std::string binary;
    for (int c = 0; c < 256; ++c) // every byte value, zero too
        binary += static_cast<char>(c);
    const struct {
        const char* name;
        std::string bytes;
        const char* tag;
        std::string savedAfterYes; // "" for a file the pane holds exactly
    } cases[] = {
        {"cp932", "日本語の表示\r\nソフト\r\n", "", ""},
        {"nec-ibm", "\xED\x40\xED\x41\xEE\xEC\r\n", "", ""},
        {"lone-lead", "abc\x81", "", ""},
        {"undefined", "\x85\x40\xEB\x40", "", ""},
        {"binary", binary, "", ""},
        {"binary-zero", std::string("\x01\x02\x00\x03\x00", 5), "", ""},
        {"utf8", u8"日本語\r\n", " [UTF-8]", ""},
        {"utf8-mark", "\xEF\xBB\xBF" + std::string(u8"日本語\r\n"), " [UTF-8 BOM]", ""},
        {"utf8-korean-emoji", u8"한국어 😀 €\n", " [UTF-8] [LF]", ""},
        {"utf16le", Utf16Bytes(u"日本語 😀\r\n", false, true), " [UTF-16LE]", ""},
        {"utf16be", Utf16Bytes(u"日本語\r\n", true, true), " [UTF-16BE]", ""},
        {"utf16le-lone-surrogate", Utf16Bytes(u"a\xD800" u"b", false, true), " [UTF-16LE]", Utf16Bytes(u"a?b", false, true)},
        {"lf-only", "one\ntwo\n", " [LF]", ""},
        {"cr-only", "one\rtwo\r", "", ""},
        {"crlf", "one\r\ntwo\r\n", "", ""},
        {"mixed", "one\r\ntwo\nthree\rfour", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.Write(std::string(c.name) + ".txt", c.bytes);
        const bool lossy = !c.savedAfterYes.empty();

        Open(path);
        if (lossy) {
            EXPECT_NE("", Answer("警告", IDOK)) << "no message about the loss";
        }
        ASSERT_TRUE(WaitForCaption(path + c.tag + " - Quorvane")) << WindowText(main);
        Settle();
        EXPECT_EQ(nullptr, editor->OwnedDialog()) << "an unexpected box";

        // A sent command returns when it is done; a posted one lets the test
        // answer the question it asks.
        if (!lossy) {
            ::SendMessageA(main, WM_COMMAND, SaveCommand, 0);
        } else {
            ::PostMessageA(main, WM_COMMAND, SaveCommand, 0);
            bool defaultIsNo = false;
            EXPECT_NE("", Answer("保存の確認", IDNO, &defaultIsNo)) << "no question before saving";
            EXPECT_TRUE(defaultIsNo);
            Settle();
            std::string kept;
            ASSERT_TRUE(TempFolder::ReadBytes(path, kept));
            EXPECT_TRUE(kept == c.bytes) << "No changed the file";

            ::PostMessageA(main, WM_COMMAND, SaveCommand, 0);
            EXPECT_NE("", Answer("保存の確認", IDYES));
            Settle();
        }
        std::string saved;
        ASSERT_TRUE(TempFolder::ReadBytes(path, saved));
        const std::string expected = lossy ? c.savedAfterYes : c.bytes;
        EXPECT_TRUE(expected == saved) << "saved " << saved.size() << " bytes, expected " << expected.size();
    }
    EXPECT_EQ(0, editor->CloseThroughExitQuestion());
}

TEST_F(DocumentBytesTest, AnEditIsSavedInTheFilesForm)
{
    const struct {
        const char* name;
        std::string bytes;
        const char* tag;
        std::string saved;
    } cases[] = {
        {"utf8", u8"日本語\r\n", " [UTF-8]", u8"x日本語\r\n"},
        {"lf-only", "one\ntwo\n", " [LF]", "xone\ntwo\n"},
        {"binary", std::string("\x00\xFF\x81\r\x00", 5), "", std::string("x\x00\xFF\x81\r\x00", 6)},
        {"utf8-emoji", u8"😀€\n", " [UTF-8] [LF]", u8"x😀€\n"},
        {"utf16le", Utf16Bytes(u"日本😀\r\n", false, true), " [UTF-16LE]", Utf16Bytes(u"x日本😀\r\n", false, true)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.Write(std::string(c.name) + ".txt", c.bytes);
        Open(path);
        ASSERT_TRUE(WaitForCaption(path + c.tag + " - Quorvane")) << WindowText(main);
        ::PostMessageA(editor->Pane(EditorProcess::LeftPaneId), WM_CHAR, 'x', 1);
        ASSERT_TRUE(WaitForCaption(path + c.tag + " - Quorvane（更新）")) << WindowText(main);
        ::PostMessageA(main, WM_COMMAND, SaveCommand, 0);
        ASSERT_TRUE(WaitForCaption(path + c.tag + " - Quorvane")) << WindowText(main);
        std::string saved;
        ASSERT_TRUE(TempFolder::ReadBytes(path, saved));
        EXPECT_EQ(c.saved, saved);
    }
    EXPECT_EQ(0, editor->CloseThroughExitQuestion());
}

} // namespace
