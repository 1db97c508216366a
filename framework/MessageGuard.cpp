#include "framework/MessageGuard.h"

// Literal texts only: nothing here may need the memory that just ran out.
void ReportStoppedOperation(HWND owner, bool outOfMemory) noexcept
{
    const char* text = outOfMemory ? "メモリが足りません" : "処理を完了できませんでした";
    HWND root = owner != nullptr ? ::GetAncestor(owner, GA_ROOT) : nullptr;
    ::MessageBoxA(root, text, "エラー", MB_OK | MB_ICONEXCLAMATION);
}
