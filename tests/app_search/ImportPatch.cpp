#include "ImportPatch.h"

namespace {

// The import address table entries of this executable that hold target.
ULONG_PTR* FindSlot(void* target)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (imports.VirtualAddress == 0)
        return nullptr;
    auto* descriptor = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
    for (; descriptor->Name != 0; ++descriptor) {
        auto* thunk = reinterpret_cast<IMAGE_THUNK_DATA*>(base + descriptor->FirstThunk);
        for (; thunk->u1.Function != 0; ++thunk) {
            if (thunk->u1.Function == reinterpret_cast<ULONG_PTR>(target))
                return reinterpret_cast<ULONG_PTR*>(&thunk->u1.Function);
        }
    }
    return nullptr;
}

} // namespace

ImportPatch::ImportPatch(const char* dll, const char* function, void* replacement)
{
    HMODULE module = ::GetModuleHandleA(dll);
    original = module != nullptr ? reinterpret_cast<void*>(::GetProcAddress(module, function))
                                 : nullptr;
    if (original == nullptr)
        return;
    slot = FindSlot(original);
    if (slot != nullptr)
        Write(slot, reinterpret_cast<ULONG_PTR>(replacement));
}

ImportPatch::~ImportPatch()
{
    if (slot != nullptr)
        Write(slot, reinterpret_cast<ULONG_PTR>(original));
}

void ImportPatch::Write(ULONG_PTR* where, ULONG_PTR value)
{
    DWORD oldProtect = 0;
    ::VirtualProtect(where, sizeof(*where), PAGE_READWRITE, &oldProtect);
    *where = value;
    ::VirtualProtect(where, sizeof(*where), oldProtect, &oldProtect);
}
