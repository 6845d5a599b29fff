#include "ScreenScale.h"

namespace {

// Functions of user32 newer than Windows XP, looked up where they exist.
template <class Fn>
Fn User32Function(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

}  // namespace

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

SIZE FrameSize(DWORD style, DWORD exStyle, int pixelsPerInch) {
    using AdjustForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFn>("AdjustWindowRectExForDpi");  // 10 1607
    RECT r{0, 0, 0, 0};
    if (adjustForDpi && adjustForDpi(&r, style, FALSE, exStyle, static_cast<UINT>(pixelsPerInch)))
        return {r.right - r.left, r.bottom - r.top};
    // Before that the frame is the system's, drawn at the system's scale: at
    // another scale it is taken as growing with the scale.
    r = RECT{0, 0, 0, 0};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    const int system = ScreenPixelsPerInch();
    return {ScaleValue(r.right - r.left, pixelsPerInch, system), ScaleValue(r.bottom - r.top, pixelsPerInch, system)};
}

void FollowScaleInFrame(HWND window) {
    using EnableFn = BOOL(WINAPI*)(HWND);
    static const auto enable = User32Function<EnableFn>("EnableNonClientDpiScaling");  // 10 1607
    if (enable) enable(window);
}
