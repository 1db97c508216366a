#include "support/FolderBrowserSelection.h"

#include <vector>

namespace {

constexpr int Attempts = 100;
constexpr DWORD PauseMs = 50;

std::string LastComponent(const std::string& folder)
{
    size_t separator = folder.find_last_of('\\');
    return separator == std::string::npos ? folder : folder.substr(separator + 1);
}

// Memory inside another process, for messages that carry pointers.
class RemoteBlock {
public:
    RemoteBlock(HANDLE process, size_t size)
        : process(process),
          address(::VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE))
    {
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;
    ~RemoteBlock()
    {
        if (address != nullptr)
            ::VirtualFreeEx(process, address, 0, MEM_RELEASE);
    }
    char* Address() const { return static_cast<char*>(address); }
    bool Write(size_t offset, const void* data, size_t size) const
    {
        SIZE_T done = 0;
        return ::WriteProcessMemory(process, Address() + offset, data, size, &done) && done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const
    {
        SIZE_T done = 0;
        return ::ReadProcessMemory(process, Address() + offset, data, size, &done) && done == size;
    }

private:
    HANDLE process;
    void* address;
};

std::string SelectedItemText(HWND browser, HANDLE otherProcess)
{
    HWND tree = ::FindWindowExA(browser, nullptr, "SysTreeView32", nullptr);
    if (tree == nullptr)
        return std::string();
    auto item = reinterpret_cast<HTREEITEM>(::SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (item == nullptr)
        return std::string();
    char text[MAX_PATH] = {};
    TVITEMA query = {};
    query.mask = TVIF_TEXT;
    query.hItem = item;
    query.cchTextMax = MAX_PATH;
    if (otherProcess == nullptr) {
        query.pszText = text;
        ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&query));
        return text;
    }
    RemoteBlock block(otherProcess, sizeof(query) + MAX_PATH);
    if (block.Address() == nullptr)
        return std::string();
    query.pszText = block.Address() + sizeof(query);
    if (!block.Write(0, &query, sizeof(query)))
        return std::string();
    ::SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(block.Address()));
    block.Read(sizeof(query), text, MAX_PATH - 1);
    return text;
}

void SendSelection(HWND browser, const std::string& folder, HANDLE otherProcess)
{
    if (otherProcess == nullptr) {
        ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        return;
    }
    RemoteBlock block(otherProcess, folder.size() + 1);
    if (block.Address() != nullptr && block.Write(0, folder.c_str(), folder.size() + 1))
        ::SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(block.Address()));
}

void Pause(bool pumpMessages)
{
    if (!pumpMessages) {
        ::Sleep(PauseMs);
        return;
    }
    DWORD start = ::GetTickCount();
    MSG message;
    while (::GetTickCount() - start < PauseMs) {
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&message);
            ::DispatchMessageA(&message);
        }
        ::Sleep(5);
    }
}

} // namespace

bool SelectFolderInBrowser(HWND browser, const std::string& folder, HANDLE otherProcess)
{
    const std::string leaf = LastComponent(folder);
    for (int attempt = 0; attempt < Attempts; ++attempt) {
        SendSelection(browser, folder, otherProcess);
        if (SelectedItemText(browser, otherProcess) == leaf)
            return true;
        Pause(otherProcess == nullptr);
    }
    return false;
}
