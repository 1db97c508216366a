// Brush: a GdiObject holding a brush. A solid brush made here is owned and
// deleted with the holder; a system colour brush is shared and never deleted.
#pragma once

#include "util/GdiObject.h"

class Brush : public GdiObject {
public:
    Brush() = default;
    ~Brush() override = default;

    // Fills the record, a LOGBRUSH, with GetObjectA; returns the bytes stored.
    int GetInfo(void* record) override;

    int CreateSolid(COLORREF colour);
    int FromSysColor(int index);

    HBRUSH GetBrush() const { return static_cast<HBRUSH>(handle); }
};
