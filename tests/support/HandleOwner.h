// HandleOwner: owns one Win32 handle and releases it when it goes out of
// scope; a null handle (a failed load or create) is left alone. Get() gives
// the handle. The aliases below name the kinds the tests hold:
//
//   ModuleHandle exe(EditorProcess::LoadAsData());
//   MenuHandle menu(::LoadMenuA(exe.Get(), MAKEINTRESOURCEA(109)));
//   ASSERT_NE(nullptr, menu.Get());
#pragma once

#include "framework/Win32.h"

template <typename Kind>
class HandleOwner {
public:
    using Handle = typename Kind::Handle;

    explicit HandleOwner(Handle h) : handle(h) {}
    ~HandleOwner()
    {
        if (handle != nullptr)
            Kind::Release(handle);
    }
    HandleOwner(const HandleOwner&) = delete;
    HandleOwner& operator=(const HandleOwner&) = delete;

    Handle Get() const { return handle; }

private:
    Handle handle;
};

// How each kind of handle is given back.
struct ModuleKind {
    using Handle = HMODULE;
    static void Release(HMODULE h) { ::FreeLibrary(h); }
};
struct MenuKind {
    using Handle = HMENU;
    static void Release(HMENU h) { ::DestroyMenu(h); }
};
struct AcceleratorKind {
    using Handle = HACCEL;
    static void Release(HACCEL h) { ::DestroyAcceleratorTable(h); }
};
struct IconKind {
    using Handle = HICON;
    static void Release(HICON h) { ::DestroyIcon(h); }
};
struct HookKind {
    using Handle = HHOOK;
    static void Release(HHOOK h) { ::UnhookWindowsHookEx(h); }
};
struct WindowKind {
    using Handle = HWND;
    static void Release(HWND h) { ::DestroyWindow(h); }
};

// A loaded library or a module mapped as data (LoadLibraryA, LoadLibraryExA).
using ModuleHandle = HandleOwner<ModuleKind>;
using MenuHandle = HandleOwner<MenuKind>;
using AcceleratorHandle = HandleOwner<AcceleratorKind>;
using IconHandle = HandleOwner<IconKind>;
using HookHandle = HandleOwner<HookKind>;
// A window of this process, destroyed with the owner (a modeless dialog, say).
using WindowHandle = HandleOwner<WindowKind>;
