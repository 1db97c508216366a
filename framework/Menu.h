// Menu: holder of one menu handle. It never releases the handle implicitly: a
// menu given to a window dies with the window, any other only by Destroy. For
// a child window the "handle" is its control id, passed as CreateWindowExA's
// hMenu argument.
#pragma once

#include <string>

#include "framework/Win32.h"

class Window;

class Menu {
public:
    Menu() = default;
    virtual ~Menu() = default;

    HMENU GetHandle() const { return handle; }
    void SetHandle(HMENU h) { handle = h; }
    void Detach() { handle = nullptr; }

    int CreateBar();
    int CreatePopup();
    int Load(const char* name);
    int Load(WORD id);
    BOOL TrackPopup(UINT flags, int x, int y, Window* owner);
    BOOL Destroy();
    int AppendItem(WORD id, std::string text);

private:
    HMENU handle = nullptr;
    int isPopup = 0;
};
