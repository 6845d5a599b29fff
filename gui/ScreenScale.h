// Pixels per inch: what the layout is designed for, what the screen has,
// and the frame of a window at a given scale.
#pragma once

#include <windows.h>

// The layout's places, sizes and font heights are in pixels at 96 per inch.
constexpr int kDesignPixelsPerInch = 96;

// value (designed at `from` pixels per inch) at `to` pixels per inch,
// rounded to the nearest pixel, halves away from zero.
int ScaleValue(int value, int to, int from = kDesignPixelsPerInch);

// The screen's pixels per inch, as every Windows reports it: the system's
// (the primary monitor's at logon, on Windows 8.1 and later).
int ScreenPixelsPerInch();

// The pixels per inch of the monitor the window is on: Windows 10 1607 and
// later know it per window; before, the system's.
int WindowPixelsPerInch(HWND window);

// Width and height that a window's frame and title bar add to its client
// area, at `pixelsPerInch`.
SIZE FrameSize(DWORD style, DWORD exStyle, int pixelsPerInch);
// The same at 96 pixels per inch, the frame a layout is designed with.
SIZE DesignedFrameSize(DWORD style, DWORD exStyle);

// Lets a per-monitor (v1) window's title bar and borders follow its
// monitor's scale (Windows 10 1607 and later; with v2 they follow anyway).
// Call while handling WM_NCCREATE.
void FollowScaleInFrame(HWND window);
