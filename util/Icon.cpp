#include "util/Icon.h"

#include "framework/Application.h"

int Icon::Load(WORD id)
{
    Application* app = GetApplication();
    HINSTANCE instance = app != nullptr ? app->GetInstance() : ::GetModuleHandleA(nullptr);
    handle = ::LoadIconA(instance, MAKEINTRESOURCEA(id));
    return handle != nullptr ? 1 : 0;
}
