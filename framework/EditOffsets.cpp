#include "framework/EditOffsets.h"

namespace {
bool unitKnown = false;
EditOffsets::Unit learntUnit = EditOffsets::Unit::Bytes;
} // namespace

EditOffsets::Unit EditOffsets::ControlUnit()
{
    if (!unitKnown) {
        learntUnit = LearnControlUnit();
        unitKnown = true;
    }
    return learntUnit;
}

void EditOffsets::ForceControlUnit(Unit unit)
{
    learntUnit = unit;
    unitKnown = true;
}

// One double-byte character, all selected: the end is 1 in characters and 2
// in bytes. Without a control (or in a single-byte code page) bytes it is,
// where both units agree anyway.
EditOffsets::Unit EditOffsets::LearnControlUnit()
{
    HWND probe = ::CreateWindowExA(0, "Edit", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   ::GetModuleHandleA(nullptr), nullptr);
    if (probe == nullptr)
        return Unit::Bytes;
    ::SetWindowTextA(probe, "\x93\xfa"); // 日
    ::SendMessageA(probe, EM_SETSEL, 0, -1);
    DWORD start = 0;
    DWORD end = 0;
    ::SendMessageA(probe, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                   reinterpret_cast<LPARAM>(&end));
    ::DestroyWindow(probe);
    return end == 1 ? Unit::Characters : Unit::Bytes;
}

size_t EditOffsets::CharacterLength(const std::string& text, size_t pos)
{
    bool lead = ::IsDBCSLeadByte(static_cast<BYTE>(text[pos])) != 0;
    return lead && pos + 1 < text.size() ? 2 : 1;
}

DWORD EditOffsets::ToControl(const std::string& text, DWORD byteOffset, Unit unit)
{
    if (unit == Unit::Bytes)
        return byteOffset;
    size_t limit = byteOffset < text.size() ? byteOffset : text.size();
    DWORD characters = 0;
    for (size_t pos = 0; pos < limit; ++characters) {
        size_t next = pos + CharacterLength(text, pos);
        if (next > limit)
            break; // inside this character
        pos = next;
    }
    return characters;
}

DWORD EditOffsets::ToBytes(const std::string& text, DWORD controlOffset, Unit unit)
{
    if (unit == Unit::Bytes)
        return controlOffset;
    size_t pos = 0;
    for (DWORD counted = 0; counted < controlOffset && pos < text.size(); ++counted)
        pos += CharacterLength(text, pos);
    return static_cast<DWORD>(pos);
}

LRESULT EditOffsets::PackSelection(DWORD start, DWORD end)
{
    if (start > 0xFFFF || end > 0xFFFF)
        return -1;
    return static_cast<LRESULT>(MAKELONG(start, end));
}
