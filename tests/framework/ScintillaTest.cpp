// The Scintilla the build makes runs here: a code page 932 document keeps
// every byte, and each edit made as its own undo action is undone alone.
// The panes built on it answer Edit messages and typed characters in their
// document's encoding, and take results without moving the reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FrameworkTestSupport.h"
#include "Scintilla.h"
#include "framework/ScintillaControl.h"
#include "support/HandleOwner.h"

TEST(Scintilla, KeepsEveryByteAndUndoesEachAppendedStep)
{
    using namespace std::string_literals;
    const struct { const char* name; std::string first, second; } cases[] = {
        {"zero bytes", "a\0b"s, "\0\0c"s},
        {"double-byte text, some with 0x5C trail bytes", "日本語\r\n", "表ソ能ｶﾅ"},
        {"a lead byte whose trail comes in the next step, undefined codes", "\x81", "\x85\x40\xff\xfd"},
    };
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    ASSERT_NE(0, Scintilla_RegisterClasses(instance));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowHandle pane(::CreateWindowExA(0, "Scintilla", "", WS_POPUP, 0, 0, 99, 99, nullptr, nullptr, instance, nullptr));
        const auto send = [&](UINT message, WPARAM w = 0, const void* l = nullptr) {
            return ::SendMessageA(pane.Get(), message, w, reinterpret_cast<LPARAM>(l));
        };
        const auto text = [&] { return std::string(reinterpret_cast<const char*>(send(SCI_GETCHARACTERPOINTER)), send(SCI_GETLENGTH)); };
        send(SCI_SETCODEPAGE, 932);
        for (const std::string* step : {&c.first, &c.second}) {
            send(SCI_BEGINUNDOACTION);
            send(SCI_APPENDTEXT, step->size(), step->data());
            send(SCI_ENDUNDOACTION);
        }
        std::vector<std::string> seen{text()};
        for (int undo = 0; undo < 2; ++undo, seen.push_back(text()))
            send(SCI_UNDO);
        EXPECT_EQ((std::vector<std::string>{c.first + c.second, c.first, ""}), seen);
    }
    Scintilla_ReleaseResources();
}

// A document loads in a message-only window, which messages sent to every
// window never wait for, and is large when asked.
TEST(Scintilla, LoadingWindowIsMessageOnly)
{
    ASSERT_NE(0, Scintilla_RegisterClasses(::GetModuleHandleA(nullptr)));
    ScintillaControl::Loading loading;
    ASSERT_TRUE(loading.Start(0, true) && loading.Finish());
    const HWND window = ::FindWindowExA(HWND_MESSAGE, nullptr, "Scintilla", nullptr);
    EXPECT_TRUE(window != nullptr && ::SendMessageA(window, SCI_GETDOCUMENTOPTIONS, 0, 0) & SC_DOCUMENTOPTION_TEXT_LARGE);
}

namespace {

class Panes : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(1, parent.Create(nullptr, 0, 0, 400, 300)); }
    void TearDown() override { parent.DestroyWindow(); }

    RecordingApplication app;
    RecordingWindow parent{"ZelkTestPaneParent"};
};

// What other programs send an Edit control, and a Japanese character typed
// every way an ANSI window receives one, in both of the pane's code pages:
// the document gets the character in its own encoding.
TEST_F(Panes, EditMessagesAndTypedCharactersArriveInTheDocumentsEncoding)
{
    const std::string nichi932 = "\x93\xfa"; // 日
    const std::string nichiUtf8 = "\xe6\x97\xa5";
    const struct {
        const char* name;
        std::vector<std::pair<UINT, WPARAM>> sent; // lParam: the text "日本", when any
        std::string in932;
        std::string inUtf8;
        BOOL modified; // as EM_GETMODIFY says: WM_SETTEXT leaves nothing to undo
    } cases[] = {
        {"WM_SETTEXT", {{WM_SETTEXT, 0}}, "\x93\xfa\x96\x7b", "\xe6\x97\xa5\xe6\x9c\xac", FALSE},
        {"EM_REPLACESEL twice, EM_UNDO once", {{EM_REPLACESEL, TRUE}, {EM_REPLACESEL, TRUE}, {EM_UNDO, 0}},
         "\x93\xfa\x96\x7b", "\xe6\x97\xa5\xe6\x9c\xac", TRUE},
        {"WM_IME_CHAR", {{WM_IME_CHAR, 0x93fa}}, nichi932, nichiUtf8, TRUE},
        {"lead byte then trail byte as WM_CHAR", {{WM_CHAR, 0x93}, {WM_CHAR, 0xfa}}, nichi932, nichiUtf8, TRUE},
        {"half-width katakana as WM_CHAR", {{WM_CHAR, 0xb1}}, "\xb1", "\xef\xbd\xb1", TRUE},
    };
    for (unsigned codePage : {ScintillaControl::Cp932, ScintillaControl::Utf8}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (codePage == ScintillaControl::Utf8 ? " in UTF-8" : " in cp932"));
            ScintillaControl pane;
            ASSERT_EQ(1, pane.Create(WS_CHILD | WS_VISIBLE, Rect(0, 0, 200, 100), &parent, 7));
            pane.SetCodePage(codePage);
            for (const auto& message : c.sent)
                pane.SendMessage(message.first, message.second, reinterpret_cast<LPARAM>("\x93\xfa\x96\x7b"));
            EXPECT_EQ(codePage == ScintillaControl::Utf8 ? c.inUtf8 : c.in932, std::string(pane.Bytes()));
            EXPECT_EQ(c.modified, pane.SendMessage(EM_GETMODIFY, 0, 0));
            pane.DestroyWindow();
        }
    }
}

// Results added while someone reads or selects in the pane: the selection
// (an upward one too) and the view stay where they were.
TEST_F(Panes, AppendLeavesTheReaderWhereTheyWere)
{
    ScintillaControl pane;
    ASSERT_EQ(1, pane.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL, Rect(0, 0, 300, 200), &parent, 7));
    std::string lines;
    for (int i = 0; i < 100; ++i)
        lines += "line " + std::to_string(i) + "\r\n";
    pane.KeepHistory(false); // as for results
    pane.Append(lines);
    pane.SendMessage(EM_SETSEL, 700, 500); // the caret at 500: upward
    pane.SendMessage(EM_LINESCROLL, 0, 40);
    const LRESULT firstLine = pane.SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0);
    ASSERT_GT(firstLine, 0);

    pane.Append("added 1\r\nadded 2\r\n");

    EXPECT_EQ(lines + "added 1\r\nadded 2\r\n", std::string(pane.Bytes()));
    EXPECT_EQ(500, pane.SendMessage(SCI_GETCURRENTPOS, 0, 0));
    EXPECT_EQ(700, pane.SendMessage(SCI_GETANCHOR, 0, 0));
    EXPECT_EQ(firstLine, pane.SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0));
    EXPECT_EQ(FALSE, pane.SendMessage(EM_GETMODIFY, 0, 0)) << "no history kept: nothing to undo";
}

} // namespace
