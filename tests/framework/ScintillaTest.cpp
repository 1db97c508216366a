// The Scintilla the build makes runs here: a code page 932 document keeps
// every byte, and each edit made as its own undo action is undone alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
