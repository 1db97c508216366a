// EditOffsets: converts text positions between byte offsets into a control's
// narrow text and the units the system's ANSI Edit control counts its
// selection in. Windows counts bytes; Wine counts characters, so a double-byte
// character is one unit there. The unit is learnt once from a hidden Edit
// control; every conversion is a plain function of the text.
#pragma once

#include <cstddef>
#include <string>

#include "framework/Win32.h"

class EditOffsets {
public:
    enum class Unit { Bytes, Characters };

    // The unit of this system's Edit control, learnt at the first call.
    static Unit ControlUnit();
    // Overrides what was learnt (tests force each unit with it).
    static void ForceControlUnit(Unit unit);
    // Learns the unit afresh from a hidden Edit control.
    static Unit LearnControlUnit();

    // Byte offset into text -> control offset; in bytes both are the same.
    // In characters an offset inside a double-byte character counts that
    // character as not yet reached, and one past the end stops at the end.
    static DWORD ToControl(const std::string& text, DWORD byteOffset, Unit unit);
    // Control offset -> byte offset into text (the reverse of ToControl).
    static DWORD ToBytes(const std::string& text, DWORD controlOffset, Unit unit);
    // Start and end packed in one value as EM_GETSEL returns them, or -1 when
    // either is above 65,535 and would be cut.
    static LRESULT PackSelection(DWORD start, DWORD end);

private:
    // Length in bytes of the character starting at pos (1 or 2).
    static size_t CharacterLength(const std::string& text, size_t pos);
};
