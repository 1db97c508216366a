// GdiObject: holder of one DeleteObject-able GDI handle. The holder deletes the
// handle at destruction unless it was told the handle belongs to the system
// (notOwned). Brush is its brush form; the framework's windows embed one.
#pragma once

#include "framework/Win32.h"

class GdiObject {
public:
    GdiObject() = default;
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~GdiObject();
    virtual BOOL Delete();
    virtual void Detach();
    virtual int GetInfo(void* record) = 0;

    HGDIOBJ GetHandle() const { return handle; }
    // Takes h without deleting a handle held before: the caller decides, as
    // with Detach, who owns what. notOwned is left as it was.
    void Attach(HGDIOBJ h) { handle = h; }

protected:
    HGDIOBJ handle = nullptr;
    int notOwned = 0;
};
