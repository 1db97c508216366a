// ImportPatch: while it lives, calls that this executable makes to one
// imported function go to a replacement instead (its import address table
// entry is swapped, then restored). Lets a test make a system call fail that
// the system under test would never refuse.
#pragma once

#include "framework/Win32.h"

class ImportPatch {
public:
    ImportPatch(const char* dll, const char* function, void* replacement);
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;
    ~ImportPatch();

    bool Applied() const { return slot != nullptr; }
    void* Original() const { return original; }

private:
    static void Write(ULONG_PTR* where, ULONG_PTR value);

    ULONG_PTR* slot = nullptr;
    void* original = nullptr;
};
