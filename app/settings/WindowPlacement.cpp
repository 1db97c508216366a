#include "app/settings/WindowPlacement.h"

#include <algorithm>
#include <climits>

namespace {

const char* const Section = "Window";

// GetWindowPlacement speaks workspace coordinates (the primary monitor's
// work area starts at 0, 0); the settings keep screen coordinates, which
// MonitorFromRect understands.
POINT WorkspaceOrigin()
{
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    HMONITOR primary = ::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
    if (!::GetMonitorInfoA(primary, &info))
        return POINT{0, 0};
    return POINT{info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

} // namespace

RECT WindowPlacement::KeptInside(RECT rect, const RECT& area)
{
    LONG width = std::min(rect.right - rect.left, area.right - area.left);
    LONG height = std::min(rect.bottom - rect.top, area.bottom - area.top);
    LONG left = std::max(area.left, std::min(rect.left, area.right - width));
    LONG top = std::max(area.top, std::min(rect.top, area.bottom - height));
    return RECT{left, top, left + width, top + height};
}

int WindowPlacement::Restore(HWND window, const UserSettings& settings)
{
    RECT rect = {settings.GetInt(Section, "Left", INT_MIN), settings.GetInt(Section, "Top", INT_MIN),
                 settings.GetInt(Section, "Right", INT_MIN), settings.GetInt(Section, "Bottom", INT_MIN)};
    if (rect.left == INT_MIN || rect.top == INT_MIN || rect.right <= rect.left || rect.bottom <= rect.top)
        return 0;

    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    if (!::GetMonitorInfoA(::MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST), &monitor))
        return 0;
    rect = KeptInside(rect, monitor.rcWork);

    POINT origin = WorkspaceOrigin();
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    placement.rcNormalPosition = {rect.left - origin.x, rect.top - origin.y, rect.right - origin.x,
                                  rect.bottom - origin.y};
    placement.showCmd = settings.GetInt(Section, "Maximized", 0) == 1 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    return ::SetWindowPlacement(window, &placement) ? 1 : 0;
}

// A minimised window is kept as it was before (normal or maximised).
int WindowPlacement::Save(HWND window, UserSettings& settings)
{
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!::GetWindowPlacement(window, &placement))
        return 0;
    bool maximized = placement.showCmd == SW_SHOWMAXIMIZED ||
                     (placement.showCmd == SW_SHOWMINIMIZED && (placement.flags & WPF_RESTORETOMAXIMIZED) != 0);
    POINT origin = WorkspaceOrigin();
    const RECT& r = placement.rcNormalPosition;
    return settings.SetInt(Section, "Left", r.left + origin.x) & settings.SetInt(Section, "Top", r.top + origin.y) &
           settings.SetInt(Section, "Right", r.right + origin.x) &
           settings.SetInt(Section, "Bottom", r.bottom + origin.y) &
           settings.SetInt(Section, "Maximized", maximized ? 1 : 0);
}
