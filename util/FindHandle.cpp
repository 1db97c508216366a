#include "util/FindHandle.h"

FindHandle::FindHandle(const std::string& pattern)
    : handle(::FindFirstFileA(pattern.c_str(), &entry))
{
}

FindHandle::~FindHandle()
{
    if (IsOpen())
        ::FindClose(handle);
}

bool FindHandle::Next()
{
    return IsOpen() && ::FindNextFileA(handle, &entry) != FALSE;
}
