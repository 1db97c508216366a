// Window: base of every window object of the framework (main windows, dialogs,
// controls). It holds the parameters its window is created with and, once the
// window exists, the bound handle. windowTable maps every bound handle to its
// object so that WindowProcedure can hand each message to HandleMessage.
// The object is owned by whoever declared it; the window dies on its own.
#pragma once

#include <string>

#include "framework/Menu.h"
#include "framework/Point.h"
#include "framework/Rect.h"
#include "framework/Win32.h"
#include "util/Brush.h"
#include "util/Icon.h"

class Control;
class GdiObject;

class Window {
public:
    Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    // Virtual slots, in their fixed order.
    virtual ~Window();
    virtual void Attach(HWND h);
    virtual BOOL GetScrollRange(int bar, int* minPos, int* maxPos);
    virtual BOOL SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw);
    virtual int CanCreate();
    virtual LRESULT HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam);

    // Creation and binding.
    int Create(HWND parentHandle, int x, int y, int width, int height);
    int Subclass();
    void RestoreWindowProc();
    HWND GetHandle() const { return hwnd; }
    Control* GetDlgItem(int id);
    Window* GetParent();

    // Menus.
    int SetMenu(Menu& m);
    int SetMenu(WORD id);

    // Everyday operations on the existing window.
    BOOL IsWindow();
    BOOL DestroyWindow();
    BOOL SetText(const std::string& text);
    int GetTextLength();
    // The text, or "" when it could not be copied; callers that move a
    // document's text use the form below, which tells the two apart.
    std::string GetText();
    // The text into out; false, and out unchanged, when it could not be
    // copied (memory ran out).
    bool GetText(std::string& out);
    int MessageBox(std::string text, std::string title, UINT type);
    BOOL GetClientRect(Rect* r);
    BOOL GetWindowRect(Rect* r);
    BOOL Move(Rect r);
    BOOL SetPosition(int x, int y);
    BOOL SetSize(int cx, int cy);
    int CenterOnScreen();
    int SetClientSize(WORD cx, WORD cy);
    BOOL ScreenToClient(Point* p);
    int ScreenToClient(Rect& r);
    LONG SetStyle(DWORD s);
    DWORD RemoveStyle(DWORD bits);
    DWORD RemoveExStyle(DWORD bits);
    int SetRegion(GdiObject& region, BOOL redraw);
    BOOL GetScrollInfo(int bar, SCROLLINFO* info, UINT mask);
    int SetScrollInfo(int bar, SCROLLINFO* info, BOOL redraw);
    int GetScrollLimit(int bar);
    LRESULT SendMessage(UINT message, WPARAM wParam, LPARAM lParam);
    int SetFocus();
    HFONT GetFont();
    int GetFontInfo(LOGFONTA* out);

protected:
    HWND hwnd = nullptr;
    HWND parent = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    Menu menu;
    UINT classStyle = CS_DBLCLKS;
    std::string className = DefaultClassName;
    std::string caption;
    WNDPROC prevWindowProc = ::DefWindowProcA;
    int autoDelete = 0;
    Brush background;
    Icon icon;

public:
    // The class name meaning "none chosen": Create refuses it.
    static constexpr const char* DefaultClassName = "ZELK_DEFAULT_WND";

private:
    friend LRESULT RouteMessage(HWND, UINT, WPARAM, LPARAM);
    friend void BindCreatedWindow(Window*, HWND);
    int RegisterWindowClass(HINSTANCE instance);
};

// The class procedure of every framework window: routes each message through
// RouteMessage to its object, and lets no exception out to the system.
LRESULT CALLBACK WindowProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT RouteMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam);
// Binds h, a window being created, to object in windowTable.
void BindCreatedWindow(Window* object, HWND h);
