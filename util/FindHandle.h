// FindHandle: owner of one FindFirstFileA search. It starts the search, steps
// through the entries and closes the search when it goes out of scope, so a
// walk cannot leak its search on an early return.
#pragma once

#include <string>

#include "framework/Win32.h"

class FindHandle {
public:
    // Starts the search; IsOpen tells whether it found a first entry.
    explicit FindHandle(const std::string& pattern);
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle();

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    // The current entry; valid only while IsOpen.
    const WIN32_FIND_DATAA& Entry() const { return entry; }
    // Moves to the next entry; false when there is none (or no search).
    bool Next();

private:
    // Declared first: the search fills it while handle is initialised.
    WIN32_FIND_DATAA entry = {};
    HANDLE handle;
};
