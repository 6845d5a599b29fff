// The program's icon ("MAINICON") on a window, at the sizes the window's
// scale asks for: the title bar's small icon and the big one of Alt+Tab
// and the taskbar, each picked from the icon's images by Windows.
#pragma once

#include <windows.h>

struct IconSizes {
    int small, big;  // square, in pixels
};

// GetSystemMetricsForDpi's type (Windows 10 1607 and later).
using MetricsForScale = int(WINAPI*)(int index, UINT pixelsPerInch);
// That function where Windows has it; null before.
MetricsForScale SystemMetricsForScale();

// The icon sizes at `pixelsPerInch`: the system's at that scale where
// Windows can say; before, the system's at its own scale, scaled.
IconSizes IconSizesAt(int pixelsPerInch, MetricsForScale metrics = SystemMetricsForScale());

// Gives the window the icon at these sizes, and destroys the icons it
// replaces; sizes of 0 take the icons away.
void SetWindowIcons(HWND window, IconSizes sizes);
