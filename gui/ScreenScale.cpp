#include "ScreenScale.h"

#include "LaterUser32.h"

int ScaleValue(int value, int to, int from) { return to == from ? value : MulDiv(value, to, from); }

int ScreenPixelsPerInch() {
    HDC screen = GetDC(nullptr);
    const int pixelsPerInch = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return pixelsPerInch > 0 ? pixelsPerInch : kDesignPixelsPerInch;
}

int WindowPixelsPerInch(HWND window) {
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");  // 10 1607
    const UINT pixelsPerInch = getDpiForWindow && window ? getDpiForWindow(window) : 0;
    return pixelsPerInch ? static_cast<int>(pixelsPerInch) : ScreenPixelsPerInch();
}

namespace {

bool AdjustForDpi(RECT* r, DWORD style, DWORD exStyle, int pixelsPerInch) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");  // 10 1607
    return adjustForDpi && adjustForDpi(r, style, FALSE, exStyle, static_cast<UINT>(pixelsPerInch));
}

SIZE SystemFrameSize(DWORD style, DWORD exStyle) {
    RECT r{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return {r.right - r.left, r.bottom - r.top};
}

}  // namespace

SIZE FrameSize(DWORD style, DWORD exStyle, int pixelsPerInch) {
    RECT r{0, 0, 0, 0};
    if (AdjustForDpi(&r, style, exStyle, pixelsPerInch)) return {r.right - r.left, r.bottom - r.top};
    // Before that the frame is the system's at every scale: per-monitor
    // windows on Windows 8.1 to 10 1511 keep it on every monitor.
    return SystemFrameSize(style, exStyle);
}

SIZE DesignedFrameSize(DWORD style, DWORD exStyle) {
    RECT r{0, 0, 0, 0};
    if (AdjustForDpi(&r, style, exStyle, kDesignPixelsPerInch)) return {r.right - r.left, r.bottom - r.top};
    // Before that, the system's frame taken back from the system's scale.
    const SIZE frame = SystemFrameSize(style, exStyle);
    const int system = ScreenPixelsPerInch();
    return {ScaleValue(frame.cx, kDesignPixelsPerInch, system), ScaleValue(frame.cy, kDesignPixelsPerInch, system)};
}

void FollowScaleInFrame(HWND window) {
    using EnableFn = BOOL(WINAPI*)(HWND);
    static const auto enable = User32Function<EnableFn>("EnableNonClientDpiScaling");  // 10 1607
    if (enable) enable(window);
}
