#include "util/FolderDialog.h"

#include <memory>

#include "framework/Window.h"

namespace {

struct ItemListFree {
    void operator()(ITEMIDLIST* list) const { ::CoTaskMemFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

// Selects the initial folder (the browser's lParam) once the browser exists.
int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM, LPARAM data)
{
    const char* folder = reinterpret_cast<const char*>(data);
    if (message == BFFM_INITIALIZED && folder != nullptr && folder[0] != '\0')
        ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder));
    return 0;
}

} // namespace

FolderDialog::FolderDialog() = default;

FolderDialog::~FolderDialog() = default;

int FolderDialog::Show(Window& owner)
{
    BROWSEINFOA info = {};
    info.hwndOwner = owner.GetHandle();
    info.lpszTitle = title.c_str();
    info.ulFlags = flags;
    info.lpfn = SelectInitialFolder;
    info.lParam = reinterpret_cast<LPARAM>(initialFolder.c_str());
    ItemList chosen(::SHBrowseForFolderA(&info));
    if (chosen == nullptr)
        return 0;
    // A virtual folder (such as the desktop's computer icon) has no path.
    char buffer[MAX_PATH] = {};
    if (::SHGetPathFromIDListA(chosen.get(), buffer) != TRUE)
        return 0;
    path = buffer;
    return 1;
}
