#include "util/GdiObject.h"

GdiObject::~GdiObject()
{
    if (handle != nullptr && notOwned == 0)
        ::DeleteObject(handle);
}

BOOL GdiObject::Delete()
{
    BOOL result = ::DeleteObject(handle);
    handle = nullptr;
    return result;
}

void GdiObject::Detach()
{
    handle = nullptr;
}

void GdiObject::ReleaseOwned()
{
    if (IsOwned())
        ::DeleteObject(handle);
    handle = nullptr;
}

void GdiObject::Attach(HGDIOBJ h, int owned)
{
    if (h != handle)
        ReleaseOwned();
    handle = h;
    notOwned = owned == 1 ? 0 : 1;
}
