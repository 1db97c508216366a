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
    // Takes h, owned (deleted with the holder) when owned is 1 and shared
    // otherwise. A handle owned before is deleted, unless it is h itself.
    void Attach(HGDIOBJ h, int owned = 1);
    bool IsOwned() const { return handle != nullptr && notOwned == 0; }

protected:
    // Deletes the handle if it is owned; the holder is empty afterwards.
    void ReleaseOwned();

    HGDIOBJ handle = nullptr;
    int notOwned = 0;
};
