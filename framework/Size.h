// Size: a (cx, cy) pair, laid out as a Win32 SIZE after the vtable pointer.
#pragma once

#include "framework/Win32.h"

class Size {
public:
    Size() {}
    Size(LONG w, LONG h) : cx(w), cy(h) {}
    Size(const Size& other) = default;
    Size& operator=(const Size& other) = default;
    virtual ~Size() = default;

    LONG cx;
    LONG cy;
};
