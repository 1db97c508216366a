// Font: holder of one font handle made from a LOGFONTA, deleted with the
// holder. Whoever shows it in a window keeps the holder alive as long.
#pragma once

#include "util/GdiObject.h"

class Font : public GdiObject {
public:
    Font() = default;
    ~Font() override = default;

    // LOGFONTA of the held font into record; the bytes written, 0 on failure.
    int GetInfo(void* record) override;

    // Makes the font that logFont describes, in place of one held before;
    // 1 when made, else 0 and nothing held.
    int Create(const LOGFONTA& logFont);
    HFONT GetFont() const { return static_cast<HFONT>(handle); }
};
