#include "framework/Window.h"

#include <list>
#include <memory>

#include "framework/Application.h"
#include "framework/Control.h"
#include "framework/MessageGuard.h"
#include "framework/WindowTables.h"

std::map<HWND, Window*> windowTable;
std::map<HWND, Control*> controlTable;

namespace {

// The object whose window CreateWindowExA is making on this thread; the
// creation hook binds the first window it sees to it.
thread_local Window* creatingWindow = nullptr;

// Objects the framework made itself (Window::GetDlgItem, Window::GetParent).
// Declared after the tables so that at exit they go first, while the tables
// their destructors clean still exist.
std::map<Window*, std::unique_ptr<Window>> frameworkOwned;

template <typename T>
T* MakeFrameworkOwned()
{
    ForgetWindowsBelow(nullptr); // objects of windows that died unseen go first
    auto object = std::make_unique<T>();
    T* raw = object.get();
    frameworkOwned.emplace(raw, std::move(object));
    return raw;
}

void DestroyFrameworkOwned(Window* object)
{
    frameworkOwned.erase(object);
}

bool IsRoutedHere(HWND h)
{
    return ::GetWindowLongPtrA(h, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(WindowProcedure);
}

// Whether the entry for h must go now that below is being destroyed: h is
// below, or a child of below whose own WM_DESTROY will not pass through
// WindowProcedure, or a window that is already gone.
bool GoesWith(HWND h, HWND below)
{
    if (!::IsWindow(h) || h == below)
        return true;
    return ::IsChild(below, h) && !IsRoutedHere(h);
}

template <typename Map>
HWND FindGoingEntry(const Map& table, HWND below)
{
    for (const auto& entry : table)
        if (GoesWith(entry.first, below))
            return entry.first;
    return nullptr;
}

// Removes h's entries and frees the objects the framework made for it.
void Unbind(HWND h)
{
    Window* objects[2] = {nullptr, nullptr};
    auto window = windowTable.find(h);
    if (window != windowTable.end()) {
        objects[0] = window->second;
        windowTable.erase(window);
    }
    auto control = controlTable.find(h);
    if (control != controlTable.end()) {
        objects[1] = control->second;
        controlTable.erase(control);
    }
    for (Window* object : objects)
        if (object != nullptr)
            DestroyFrameworkOwned(object);
}

// Class backgrounds: a class paints with its brush for as long as it is
// registered, longer than the window object that asked for it lives, so an
// owned brush is copied into one that the class keeps until the process ends.
std::list<Brush> classBrushes;

HBRUSH ClassBackground(const Brush& background)
{
    const HBRUSH menuColour = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
    HBRUSH brush = background.GetBrush();
    if (brush == nullptr)
        return menuColour;
    if (!background.IsOwned())
        return brush; // a system colour brush, never deleted
    LOGBRUSH logical = {};
    if (::GetObjectA(brush, sizeof(logical), &logical) != sizeof(logical))
        return menuColour;
    classBrushes.emplace_back(); // first, so that a copy is never left unheld
    HBRUSH copy = ::CreateBrushIndirect(&logical);
    if (copy == nullptr) {
        classBrushes.pop_back();
        return menuColour;
    }
    classBrushes.back().Attach(copy, 1);
    return copy;
}

} // namespace

void ForgetWindowsBelow(HWND below)
{
    for (HWND h = FindGoingEntry(windowTable, below); h != nullptr;
         h = FindGoingEntry(windowTable, below))
        Unbind(h);
    for (HWND h = FindGoingEntry(controlTable, below); h != nullptr;
         h = FindGoingEntry(controlTable, below))
        Unbind(h);
}

size_t FrameworkOwnedWindowCount()
{
    return frameworkOwned.size();
}

Window::Window() = default;

// A table entry must never outlive its object: a later window that gets the
// same handle value would otherwise be routed to freed memory.
Window::~Window()
{
    EraseEntriesOf(windowTable, this);
    EraseEntriesOf(controlTable, this);
}

void Window::Attach(HWND h)
{
    hwnd = h;
    InsertIfAbsent(windowTable, h, this);
}

BOOL Window::GetScrollRange(int bar, int* minPos, int* maxPos)
{
    return ::GetScrollRange(hwnd, bar, minPos, maxPos);
}

BOOL Window::SetScrollRange(int bar, int minPos, int maxPos, BOOL redraw)
{
    return ::SetScrollRange(hwnd, bar, minPos, maxPos, redraw);
}

int Window::CanCreate()
{
    return 1;
}

LRESULT Window::HandleMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (prevWindowProc == ::DefWindowProcA)
        return ::DefWindowProcA(h, message, wParam, lParam);
    return ::CallWindowProcA(prevWindowProc, h, message, wParam, lParam);
}

int Window::RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.hbrBackground = ClassBackground(background);
    wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)); // IDC_ARROW
    wc.hInstance = instance;
    wc.lpfnWndProc = WindowProcedure;
    wc.lpszClassName = className.c_str();
    wc.style = classStyle;
    wc.hIcon = icon.GetHandle();
    if (::RegisterClassExA(&wc) == 0) {
        if (!classBrushes.empty() && classBrushes.back().GetBrush() == wc.hbrBackground)
            classBrushes.pop_back();
        return 0;
    }
    return 1;
}

int Window::Create(HWND parentHandle, int x, int y, int width, int height)
{
    if (::IsWindow(hwnd))
        return 0;
    if (className == DefaultClassName)
        return 0;
    parent = parentHandle;
    HINSTANCE instance = ApplicationInstance();
    if (CanCreate() == 0)
        return 0;

    WNDCLASSEXA existing = {};
    existing.cbSize = sizeof(existing);
    if (!::GetClassInfoExA(instance, className.c_str(), &existing) &&
        RegisterWindowClass(instance) == 0)
        return 0;

    hwnd = nullptr;
    creatingWindow = this;
    HHOOK hook = ::SetWindowsHookExA(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
    HWND created = ::CreateWindowExA(exStyle, className.c_str(), caption.c_str(), style, x, y,
                                     width, height, parent, menu.GetHandle(), instance, nullptr);
    HWND bound = hwnd;
    // If creation failed before the hook ran, a pending pointer would bind the
    // next window made on this thread to this object.
    creatingWindow = nullptr;
    ::UnhookWindowsHookEx(hook);

    hwnd = created;
    if (created == nullptr && bound != nullptr) {
        // The hook bound a window that did not survive its creation.
        auto it = windowTable.find(bound);
        if (it != windowTable.end() && it->second == this)
            windowTable.erase(it);
    }
    return created != nullptr ? 1 : 0;
}

// Only the creation it binds is this hook's; every other code goes on to the
// thread's other hooks. A window that cannot be bound is refused.
LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam)
{
    Window* object = creatingWindow;
    if (code != HCBT_CREATEWND || object == nullptr)
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    creatingWindow = nullptr;
    try {
        BindCreatedWindow(object, reinterpret_cast<HWND>(wParam));
    } catch (const std::bad_alloc&) {
        return 1;
    }
    return 0;
}

// A window being created is new: an entry for its handle value can only be
// stale, left by a window whose WM_DESTROY was never routed here.
void BindCreatedWindow(Window* object, HWND h)
{
    object->hwnd = h;
    windowTable[h] = object;
}

int Window::Subclass()
{
    prevWindowProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hwnd, GWLP_WNDPROC));
    LONG_PTR previous =
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WindowProcedure));
    return previous != 0 ? 1 : 0;
}

void Window::RestoreWindowProc()
{
    if (prevWindowProc != ::DefWindowProcA)
        ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(prevWindowProc));
}

Control* Window::GetDlgItem(int id)
{
    HWND child = ::GetDlgItem(hwnd, id);
    if (child == nullptr)
        return nullptr;
    auto it = controlTable.find(child);
    if (it != controlTable.end())
        return it->second;
    Control* control = MakeFrameworkOwned<Control>();
    control->autoDelete = 1;
    control->Attach(child);
    return control;
}

Window* Window::GetParent()
{
    HWND parentHandle = ::GetParent(hwnd);
    if (parentHandle == nullptr)
        return nullptr;
    auto it = windowTable.find(parentHandle);
    if (it != windowTable.end())
        return it->second;
    Window* object = MakeFrameworkOwned<Window>();
    object->Attach(parentHandle);
    return object;
}

LRESULT CALLBACK WindowProcedure(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    return GuardMessage(h, [&] { return RouteMessage(h, message, wParam, lParam); });
}

LRESULT RouteMessage(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto it = windowTable.find(h);
    if (it == windowTable.end()) {
        Application* app = GetApplication();
        if (app == nullptr)
            return ::DefWindowProcA(h, message, wParam, lParam);
        return app->FallbackProc(h, message, wParam, lParam);
    }
    Window* object = it->second;
    if (message != WM_DESTROY)
        return object->HandleMessage(h, message, wParam, lParam);

    object->RestoreWindowProc();
    windowTable.erase(it);
    Control* ownedByFramework = nullptr;
    auto control = controlTable.find(h);
    if (control != controlTable.end()) {
        if (control->second->autoDelete != 0)
            ownedByFramework = control->second;
        controlTable.erase(control);
    }
    // The handler sees WM_DESTROY first; an object the framework owns is
    // destroyed only after it has returned, so it is never used once freed.
    LRESULT result = object->HandleMessage(h, message, wParam, lParam);
    if (ownedByFramework != nullptr)
        DestroyFrameworkOwned(ownedByFramework);
    ForgetWindowsBelow(h);
    return result;
}
