// Icon: holder of one shared resource icon. Icons loaded from resources are
// owned by the system, so the holder never destroys its handle.
#pragma once

#include "framework/Win32.h"

class Icon {
public:
    Icon() = default;
    virtual ~Icon() = default;

    HICON GetHandle() const { return handle; }
    int Load(WORD id);

private:
    HICON handle = nullptr;
};
