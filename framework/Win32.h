// The one place that includes <windows.h>. Everything is narrow text, so the
// ANSI declarations are used, and the macros that would rename this library's
// own methods (Window::MessageBox, Window::SendMessage, ...) are removed here.
#pragma once

#ifdef UNICODE
#error "Quorvane is a narrow-text (code page 932) program: build without UNICODE"
#endif

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#undef MessageBox
#undef SendMessage
#undef GetObject
#undef LoadMenu
#undef LoadIcon
#undef GetFileVersion
#undef CopyFile
#undef DeleteFile
#undef FindText
#undef GetClassName
