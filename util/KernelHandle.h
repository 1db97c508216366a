// KernelHandle: owns the handle of a kernel object (a file, a folder opened
// for its identity, an event) and closes it when it goes. Made with
// OwnHandle from what CreateFileA and its kin return, where both
// INVALID_HANDLE_VALUE and null mean that there is none.
#pragma once

#include <memory>

#include "framework/Win32.h"

struct KernelHandleCloser {
    void operator()(HANDLE handle) const { ::CloseHandle(handle); }
};
using KernelHandle = std::unique_ptr<void, KernelHandleCloser>;

inline KernelHandle OwnHandle(HANDLE handle)
{
    return KernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}
