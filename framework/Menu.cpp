#include "framework/Menu.h"

#include "framework/Application.h"
#include "framework/Window.h"

int Menu::CreateBar()
{
    if (handle != nullptr)
        return 0;
    handle = ::CreateMenu();
    return handle != nullptr ? 1 : 0;
}

int Menu::CreatePopup()
{
    if (handle != nullptr)
        return 0;
    handle = ::CreatePopupMenu();
    isPopup = 1;
    return handle != nullptr ? 1 : 0;
}

int Menu::Load(const char* name)
{
    if (handle != nullptr)
        return 0;
    handle = ::LoadMenuA(ApplicationInstance(), name);
    return handle != nullptr ? 1 : 0;
}

int Menu::Load(WORD id)
{
    return Load(MAKEINTRESOURCEA(id));
}

// A bar cannot be tracked itself: its first drop-down is shown instead.
BOOL Menu::TrackPopup(UINT flags, int x, int y, Window* owner)
{
    HMENU shown = isPopup == 1 ? handle : ::GetSubMenu(handle, 0);
    HWND ownerHandle = owner != nullptr ? owner->GetHandle() : nullptr;
    return ::TrackPopupMenu(shown, flags, x, y, 0, ownerHandle, nullptr);
}

BOOL Menu::Destroy()
{
    BOOL result = ::DestroyMenu(handle);
    if (result == 1)
        handle = nullptr;
    return result;
}

int Menu::AppendItem(WORD id, std::string text)
{
    int count = ::GetMenuItemCount(handle);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    info.fType = MFT_STRING;
    info.fState = 0;
    info.wID = id;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    if (handle == nullptr || count < 0)
        return 0; // no menu
    return ::InsertMenuItemA(handle, static_cast<UINT>(count), TRUE, &info) ? 1 : 0;
}
