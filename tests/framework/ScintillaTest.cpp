// The Scintilla the build makes runs here: a code page 932 document keeps
// every byte, zero bytes and split characters included, and each edit made
// as its own undo action is undone on its own.
#include <gtest/gtest.h>

#include <string>

#include "Scintilla.h"
#include "support/HandleOwner.h"

TEST(Scintilla, KeepsEveryByteAndUndoesEachAppendedStep)
{
    using namespace std::string_literals;
    const struct { const char* name; std::string first, second; } cases[] = {
        {"zero bytes", "a\0b"s, "\0\0c"s},
        {"double-byte text, some with 0x5C trail bytes", "日本語\r\n", "表ソ能ｶﾅ"},
        {"a lead byte whose trail comes in the next step, undefined codes", "\x81", "\x85\x40\xff\xfd"},
    };
    ASSERT_NE(0, Scintilla_RegisterClasses(::GetModuleHandleA(nullptr)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WindowHandle pane(::CreateWindowExA(0, "Scintilla", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
            ::GetModuleHandleA(nullptr), nullptr));
        ASSERT_NE(nullptr, pane.Get());
        const auto send = [&](UINT message, WPARAM w, const void* l) {
            return ::SendMessageA(pane.Get(), message, w, reinterpret_cast<LPARAM>(l));
        };
        const auto text = [&] {
            std::string bytes(static_cast<size_t>(send(SCI_GETLENGTH, 0, nullptr)) + 1, '\0');
            Sci_TextRangeFull range{{0, static_cast<Sci_Position>(bytes.size() - 1)}, bytes.data()};
            send(SCI_GETTEXTRANGEFULL, 0, &range);
            return bytes.substr(0, bytes.size() - 1);
        };
        send(SCI_SETCODEPAGE, 932, nullptr);
        for (const std::string* step : {&c.first, &c.second}) {
            send(SCI_BEGINUNDOACTION, 0, nullptr);
            send(SCI_APPENDTEXT, step->size(), step->data());
            send(SCI_ENDUNDOACTION, 0, nullptr);
        }
        EXPECT_EQ(c.first + c.second, text());
        send(SCI_UNDO, 0, nullptr);
        EXPECT_EQ(c.first, text());
        send(SCI_UNDO, 0, nullptr);
        EXPECT_EQ("", text());
    }
    Scintilla_ReleaseResources();
}
