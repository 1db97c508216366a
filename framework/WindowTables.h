// The process-wide maps from window handle to the object that stands for it.
// They own nothing; an entry is removed when its window's WM_DESTROY passes
// through WindowProcedure or when its object is destroyed, whichever is first.
#pragma once

#include <map>

#include "framework/Win32.h"

class Window;
class Control;

extern std::map<HWND, Window*> windowTable;
extern std::map<HWND, Control*> controlTable;

// How many objects the framework made for windows that had none
// (Window::GetDlgItem, Window::GetParent) and still keeps.
size_t FrameworkOwnedWindowCount();

// Called at the WM_DESTROY of below: removes the entries of below and of the
// children that die with it without passing through WindowProcedure (system
// controls of a dialog or a window), and of windows already gone, and frees
// the objects the framework made for them.
void ForgetWindowsBelow(HWND below);

// Inserts h -> object unless h is already present (the old entry stays).
template <typename Map, typename Object>
void InsertIfAbsent(Map& table, HWND h, Object* object)
{
    table.emplace(h, object);
}

// Erases every entry of the table that points at object.
template <typename Map, typename Object>
void EraseEntriesOf(Map& table, const Object* object)
{
    for (auto it = table.begin(); it != table.end();) {
        if (it->second == object)
            it = table.erase(it);
        else
            ++it;
    }
}
