// Files of every kind opened and saved through the real editor: without an
// edit the bytes on disk stay exactly as they were, or the editor said at
// the open what the pane cannot show and asks before saving over the file
// (No leaves it byte for byte; Yes writes what the pane holds, in the
// file's own encoding and line ends). An edit is saved in the file's form.
#include <string>

#include "EditorProcessTest.h"
#include "support/DialogDriver.h"
#include "util/TextEncoding.h"

namespace {

std::string Utf16(const std::u16string& text, bool bigEndian)
{
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

// Whether an ANSI Edit control of this system gives these bytes back as
// they went in (Wine's stores Unicode; a zero byte ends the text anywhere).
bool EditControlKeeps(const std::string& bytes)
{
    HWND edit = ::CreateWindowExA(0, "Edit", "", ES_MULTILINE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::SetWindowTextA(edit, bytes.c_str());
    const bool kept = bytes.find('\0') == std::string::npos && WindowText(edit) == bytes;
    ::DestroyWindow(edit);
    return kept;
}

// The file's bytes for a pane text, in the document's form.
std::string InFileForm(std::string text, const TextEncoding& encoding, bool lfOnly)
{
    if (lfOnly) {
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
            text.erase(at, 1);
    }
    encoding.EncodeFile(text);
    return text;
}

class DocumentBytesTest : public EditorProcessTest {
protected:
    void Open(const std::string& path)
    {
        ::PostMessageA(main, WM_COMMAND, OpenCommand, 0);
        HWND dialog = editor->WaitForOwnedDialog();
        ASSERT_NE(nullptr, dialog) << "no Open dialog";
        ::SetWindowTextA(::GetDlgItem(dialog, FileNameBoxId), path.c_str());
        ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }));
    }

    // Waits for a box of the editor, answers it and waits until it is gone;
    // its text, or "" when none came.
    std::string Answer(const char* caption, int button, bool* defaultIsNo = nullptr)
    {
        HWND box = editor->WaitForOwnedDialog();
        if (box == nullptr)
            return "";
        EXPECT_EQ(caption, WindowText(box));
        if (defaultIsNo != nullptr)
            *defaultIsNo = (::GetWindowLongPtrA(::GetDlgItem(box, IDNO), GWL_STYLE) & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
        const std::string text = DialogDriver::TextOf(box, 0xFFFF);
        DialogDriver::PostCommand(box, button);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
        return text;
    }

    // The command has run to its end once the editor answers a sent message.
    void Settle() { ::SendMessageA(main, WM_NULL, 0, 0); }
};

TEST_F(DocumentBytesTest, OpenAndSaveWithoutAnEdit)
{
    std::string binary;
    for (int c = 1; c < 256; ++c)
        binary += static_cast<char>(c);
    const struct {
        const char* name;
        std::string bytes;
        TextEncoding::Kind kind;
        bool lfOnly;
        const char* tag;
        bool unshownCharacters; // lossy whatever the Edit control does
    } cases[] = {
        {"cp932", "日本語の表示\r\nソフト\r\n", TextEncoding::Cp932, false, "", false},
        {"nec-ibm", "\xED\x40\xED\x41\xEE\xEC\r\n", TextEncoding::Cp932, false, "", false},
        {"lone-lead", "abc\x81", TextEncoding::Cp932, false, "", false},
        {"undefined", "\x85\x40\xEB\x40", TextEncoding::Cp932, false, "", false},
        {"binary", binary, TextEncoding::Cp932, false, "", false},
        {"binary-zero", std::string("\x01\x02\x00\x03", 4), TextEncoding::Cp932, false, "", true},
        {"utf8", u8"日本語\r\n", TextEncoding::Utf8, false, " [UTF-8]", false},
        {"utf8-mark", "\xEF\xBB\xBF" + std::string(u8"日本語\r\n"), TextEncoding::Utf8WithMark, false,
         " [UTF-8 BOM]", false},
        {"utf8-korean", u8"한국어\n", TextEncoding::Utf8, true, " [UTF-8] [LF]", true},
        {"utf16le", Utf16(u"日本語\r\n", false), TextEncoding::Utf16Le, false, " [UTF-16LE]", false},
        {"utf16be", Utf16(u"日本語\r\n", true), TextEncoding::Utf16Be, false, " [UTF-16BE]", false},
        {"lf-only", "one\ntwo\n", TextEncoding::Cp932, true, " [LF]", false},
        {"crlf", "one\r\ntwo\r\n", TextEncoding::Cp932, false, "", false},
        {"mixed", "one\r\ntwo\nthree\rfour", TextEncoding::Cp932, false, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.Write(std::string(c.name) + ".txt", c.bytes);
        // What the pane will be given: the file's text in code page 932.
        std::string text = c.bytes;
        size_t lost = 0;
        TextEncoding(c.kind).DecodeFile(text, &lost);
        for (size_t at = text.find('\n'); c.lfOnly && at != std::string::npos; at = text.find('\n', at + 2))
            text.insert(at, 1, '\r');
        const bool lossy = c.unshownCharacters || !EditControlKeeps(text);

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
        const std::string expected =
            lossy ? InFileForm(WindowText(editor->Pane(EditorProcess::LeftPaneId)), c.kind, c.lfOnly) : c.bytes;
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
