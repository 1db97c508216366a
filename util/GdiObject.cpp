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
