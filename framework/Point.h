// Point: x, y laid out as a Win32 POINT after the vtable pointer.
#pragma once

#include "framework/Win32.h"

class Point {
public:
    Point() {}
    Point(LONG px, LONG py) : x(px), y(py) {}
    Point(const Point& other) = default;
    Point& operator=(const Point& other) = default;
    virtual ~Point() = default;

    POINT* AsPOINT() { return reinterpret_cast<POINT*>(&x); }

    LONG x;
    LONG y;
};
