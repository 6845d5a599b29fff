// A form's window moved to a monitor of another scale, as the system tells it.
#pragma once

#include <windows.h>

#include "Forms.h"
#include "ScreenScale.h"

// The client area at 96 pixels per inch of a form whose layout gives an
// outer size of width x height.
inline SIZE DesignedClient(const TForm& form, int width, int height) {
    const SIZE frame = FrameSize(GetWindowLongA(form.Handle(), GWL_STYLE) & ~WS_VISIBLE,
                                 GetWindowLongA(form.Handle(), GWL_EXSTYLE), kDesignPixelsPerInch);
    return {width - frame.cx, height - frame.cy};
}

// Sends WM_DPICHANGED as the system does: the new scale, and the rectangle
// that keeps the window's top-left corner with its client area scaled,
// framed as the system frames the window here (Wine frames every window
// at the system's scale). Returns that rectangle.
inline RECT SendScaleChange(TForm& form, int pixelsPerInch) {
    const int from = form.PixelsPerInch();
    RECT client, outer;
    GetClientRect(form.Handle(), &client);
    GetWindowRect(form.Handle(), &outer);
    const LONG frameWidth = (outer.right - outer.left) - client.right, frameHeight = (outer.bottom - outer.top) - client.bottom;
    RECT suggested{outer.left, outer.top, outer.left + ScaleValue(client.right, pixelsPerInch, from) + frameWidth,
                   outer.top + ScaleValue(client.bottom, pixelsPerInch, from) + frameHeight};
    SendMessageA(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(pixelsPerInch, pixelsPerInch),
                 reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}
