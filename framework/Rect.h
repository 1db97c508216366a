// Rect: left, top, right, bottom, laid out as a Win32 RECT after the vtable
// pointer, so AsRECT() hands the values to Win32 calls directly.
#pragma once

#include "framework/Point.h"
#include "framework/Win32.h"

class Rect {
public:
    Rect() = default;
    Rect(LONG l, LONG t, LONG r, LONG b) : left(l), top(t), right(r), bottom(b) {}
    Rect(const Rect& other) = default;
    Rect& operator=(const Rect& other) = default;
    virtual ~Rect() = default;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    // All four edges count as inside, the right and bottom ones included.
    int Contains(Point p) const
    {
        return left <= p.x && p.x <= right && top <= p.y && p.y <= bottom ? 1 : 0;
    }

    RECT* AsRECT() { return reinterpret_cast<RECT*>(&left); }
    const RECT* AsRECT() const { return reinterpret_cast<const RECT*>(&left); }

    LONG left = 0;
    LONG top = 0;
    LONG right = 0;
    LONG bottom = 0;
};
