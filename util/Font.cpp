#include "util/Font.h"

int Font::GetInfo(void* record)
{
    return handle != nullptr ? ::GetObjectA(handle, sizeof(LOGFONTA), record) : 0;
}

int Font::Create(const LOGFONTA& logFont)
{
    if (handle != nullptr && notOwned == 0)
        ::DeleteObject(handle);
    notOwned = 0;
    handle = ::CreateFontIndirectA(&logFont);
    return handle != nullptr ? 1 : 0;
}
