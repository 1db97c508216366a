#include "util/Brush.h"

int Brush::GetInfo(void* record)
{
    return ::GetObjectA(handle, sizeof(LOGBRUSH), record);
}

// Refilling a holder must not leak the brush it owned before.
int Brush::CreateSolid(COLORREF colour)
{
    ReleaseOwned();
    handle = ::CreateSolidBrush(colour);
    notOwned = 0;
    return handle != nullptr ? 1 : 0;
}

int Brush::FromSysColor(int index)
{
    ReleaseOwned();
    HBRUSH shared = ::GetSysColorBrush(index);
    handle = shared;
    if (shared == nullptr)
        return 0;
    notOwned = 1;
    return 1;
}
