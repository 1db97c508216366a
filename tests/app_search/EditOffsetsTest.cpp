// Selection offsets: bytes of the pane's text on our side, the system Edit
// control's own units on the other, converted both ways in both units.
#include <gtest/gtest.h>

#include <string>

#include "framework/EditControl.h"
#include "framework/EditOffsets.h"

namespace {

using Unit = EditOffsets::Unit;

// 日本x\r\nア: 日 0-1, 本 2-3, x 4, CR 5, LF 6, ア 7-8 (trail byte 0x41 = 'A').
const std::string Mixed = "\x93\xfa\x96\x7b" "x\r\n\x83\x41";

struct Pair {
    DWORD bytes;
    DWORD characters;
};

// Offsets on character boundaries, which map the same way in both directions.
const Pair Boundaries[] = {{0, 0}, {2, 1}, {4, 2}, {5, 3}, {6, 4}, {7, 5}, {9, 6}};

} // namespace

TEST(EditOffsets, CharactersBothWaysOnBoundaries)
{
    for (const Pair& p : Boundaries) {
        EXPECT_EQ(p.characters, EditOffsets::ToControl(Mixed, p.bytes, Unit::Characters))
            << "byte " << p.bytes;
        EXPECT_EQ(p.bytes, EditOffsets::ToBytes(Mixed, p.characters, Unit::Characters))
            << "character " << p.characters;
    }
}

TEST(EditOffsets, CharactersInsideAndPastTheText)
{
    // Inside 日, 本 and ア: the character is not yet reached.
    EXPECT_EQ(0u, EditOffsets::ToControl(Mixed, 1, Unit::Characters));
    EXPECT_EQ(1u, EditOffsets::ToControl(Mixed, 3, Unit::Characters));
    EXPECT_EQ(5u, EditOffsets::ToControl(Mixed, 8, Unit::Characters));
    // Past the end stops at the end.
    EXPECT_EQ(6u, EditOffsets::ToControl(Mixed, 50, Unit::Characters));
    EXPECT_EQ(9u, EditOffsets::ToBytes(Mixed, 50, Unit::Characters));
    // A lead byte with nothing after it is one character of its own.
    const std::string cut = "x\x93";
    EXPECT_EQ(2u, EditOffsets::ToControl(cut, 2, Unit::Characters));
    EXPECT_EQ(2u, EditOffsets::ToBytes(cut, 2, Unit::Characters));
}

// Wine's Edit control counts characters: 日 selected whole ends at 1.
TEST(EditOffsets, LearnsTheUnitOfThisSystemsEditControl)
{
    HWND edit = ::CreateWindowExA(0, "Edit", "\x93\xfa\x96\x7bx", WS_POPUP, 0, 0, 50, 20,
                                  nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, edit);
    ::SendMessageA(edit, EM_SETSEL, 0, -1);
    DWORD end = 0;
    ::SendMessageA(edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&end));
    ::DestroyWindow(edit);
    Unit expected = end == 5 ? Unit::Bytes : Unit::Characters;
    EXPECT_EQ(expected, EditOffsets::LearnControlUnit());
}

namespace {

// An Edit control whose EM_SETSEL messages are recorded on their way in.
class RecordingEdit {
public:
    RecordingEdit()
    {
        parent = ::CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                   nullptr, nullptr);
        Rect rect(0, 0, 200, 100);
        pane.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE, rect, &parentObject(), 100);
        original = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
            pane.GetHandle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Record)));
        current = this;
    }
    ~RecordingEdit()
    {
        current = nullptr;
        ::DestroyWindow(parent);
    }

    Window& parentObject()
    {
        holder.Attach(parent);
        return holder;
    }

    EditControl pane;
    WPARAM sentStart = 0;
    LPARAM sentEnd = 0;

private:
    static LRESULT CALLBACK Record(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == EM_SETSEL && current != nullptr) {
            current->sentStart = wParam;
            current->sentEnd = lParam;
        }
        return ::CallWindowProcA(current != nullptr ? current->original : ::DefWindowProcA, h,
                                 message, wParam, lParam);
    }

    static RecordingEdit* current;
    HWND parent = nullptr;
    Window holder;
    WNDPROC original = nullptr;
};

RecordingEdit* RecordingEdit::current = nullptr;

// Restores the learnt unit when a test that forced one ends.
struct LearntUnitAgain {
    ~LearntUnitAgain() { EditOffsets::ForceControlUnit(EditOffsets::LearnControlUnit()); }
};

} // namespace

TEST(EditControlSelection, ForcedUnitsDecideWhatIsSent)
{
    LearntUnitAgain restore;
    RecordingEdit edit;
    ASSERT_NE(nullptr, edit.pane.GetHandle());
    edit.pane.SetText(Mixed);

    // In bytes the offsets go out exactly as given.
    EditOffsets::ForceControlUnit(Unit::Bytes);
    edit.pane.SetSelection(4, 5);
    EXPECT_EQ(4u, edit.sentStart);
    EXPECT_EQ(5, edit.sentEnd);

    // In characters "x" is the third character; ア the sixth.
    EditOffsets::ForceControlUnit(Unit::Characters);
    edit.pane.SetSelection(4, 5);
    EXPECT_EQ(2u, edit.sentStart);
    EXPECT_EQ(3, edit.sentEnd);
    edit.pane.SetSelection(7, 9);
    EXPECT_EQ(5u, edit.sentStart);
    EXPECT_EQ(6, edit.sentEnd);
    // -1 keeps its meaning.
    edit.pane.SetSelection(0, -1);
    EXPECT_EQ(0u, edit.sentStart);
    EXPECT_EQ(-1, edit.sentEnd);
}

// With the unit this system really has, a selection made in bytes reads back
// in bytes and covers exactly the characters those bytes name.
TEST(EditControlSelection, RoundTripSelectsTheNamedCharacters)
{
    RecordingEdit edit;
    edit.pane.SetText(Mixed);
    struct Case {
        int start;
        int end;
        const char* selected;
    } cases[] = {{4, 5, "x"}, {0, 4, "\x93\xfa\x96\x7b"}, {5, 7, "\r\n"}, {7, 9, "\x83\x41"},
                 {2, 2, ""}};
    for (const Case& c : cases) {
        edit.pane.SetSelection(c.start, c.end);
        DWORD start = 0;
        DWORD end = 0;
        edit.pane.GetSelection(&start, &end);
        EXPECT_EQ(static_cast<DWORD>(c.start), start) << c.start << "-" << c.end;
        EXPECT_EQ(static_cast<DWORD>(c.end), end) << c.start << "-" << c.end;
        // What the control itself holds as selected, in its own units.
        DWORD rawStart = 0;
        DWORD rawEnd = 0;
        edit.pane.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&rawStart),
                              reinterpret_cast<LPARAM>(&rawEnd));
        std::string text = edit.pane.GetText();
        EditOffsets::Unit unit = EditOffsets::ControlUnit();
        DWORD byteStart = EditOffsets::ToBytes(text, rawStart, unit);
        DWORD byteEnd = EditOffsets::ToBytes(text, rawEnd, unit);
        EXPECT_EQ(c.selected, text.substr(byteStart, byteEnd - byteStart))
            << c.start << "-" << c.end;
    }
}

// Offsets past 65,535 reach the caller whole; the packed result, which cannot
// hold them, is -1 then, as EM_GETSEL's own.
TEST(EditControlSelection, LargeOffsetsAreNeverCut)
{
    LearntUnitAgain restore;
    RecordingEdit edit;
    edit.pane.SetText(std::string(70000, 'a'));
    struct Case {
        int start;
        int end;
        LRESULT packed;
    } cases[] = {{10, 20, MAKELONG(10, 20)}, {65530, 65536, -1}, {69990, 70000, -1}};
    for (Unit unit : {Unit::Bytes, Unit::Characters}) {
        EditOffsets::ForceControlUnit(unit);
        for (const Case& c : cases) {
            edit.pane.SetSelection(c.start, c.end);
            DWORD start = 0;
            DWORD end = 0;
            EXPECT_EQ(c.packed, edit.pane.GetSelection(&start, &end)) << c.start;
            EXPECT_EQ(static_cast<DWORD>(c.start), start) << c.start;
            EXPECT_EQ(static_cast<DWORD>(c.end), end) << c.start;
        }
    }
}
