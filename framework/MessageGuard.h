// MessageGuard: the wall between the system's frames and the framework's
// handlers. An exception must never unwind through user32 (the 32-bit
// toolchain's unwinder cannot cross its frames and the process would end with
// the user's unsaved text), so every procedure the system calls runs its
// handler through GuardMessage. A handler that runs out of memory stops where
// it was; the user is told, and the message is answered with 0 ("not done"),
// which for a close or an end of session keeps the window and its text.
#pragma once

#include <new>
#include <stdexcept>

#include "framework/Win32.h"

// Tells the user, in a message box owned by owner, why the operation stopped.
void ReportStoppedOperation(HWND owner, bool outOfMemory) noexcept;

template <typename Handler>
LRESULT GuardMessage(HWND h, Handler&& handler) noexcept
{
    try {
        return handler();
    } catch (const std::bad_alloc&) {
        ReportStoppedOperation(h, true);
    } catch (const std::length_error&) {
        ReportStoppedOperation(h, true); // a string or vector past its size limit
    } catch (...) {
        ReportStoppedOperation(h, false);
    }
    return 0;
}
