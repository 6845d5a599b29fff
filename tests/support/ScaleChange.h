// A form's window moved to a monitor of another scale, as the system tells
// it, and everything its layout gives, to compare scales.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "Forms.h"
#include "ScreenScale.h"

// The client area at 96 pixels per inch of a form whose layout gives an
// outer size of width x height.
inline SIZE DesignedClient(const TForm& form, int width, int height) {
    const SIZE frame = DesignedFrameSize(GetWindowLongA(form.Handle(), GWL_STYLE) & ~WS_VISIBLE,
                                         GetWindowLongA(form.Handle(), GWL_EXSTYLE));
    return {width - frame.cx, height - frame.cy};
}

// Sends WM_DPICHANGED as Windows 8.1 to 10 1511 do for a per-monitor
// window: the new scale, and the window's rectangle at its top-left corner
// scaled as a whole, frame and all, though the frame stays the system's.
// Returns that rectangle.
inline RECT SendScaleChange(TForm& form, int pixelsPerInch) {
    const int from = form.PixelsPerInch();
    RECT outer;
    GetWindowRect(form.Handle(), &outer);
    RECT suggested{outer.left, outer.top, outer.left + ScaleValue(outer.right - outer.left, pixelsPerInch, from),
                   outer.top + ScaleValue(outer.bottom - outer.top, pixelsPerInch, from)};
    SendMessageA(form.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(pixelsPerInch, pixelsPerInch),
                 reinterpret_cast<LPARAM>(&suggested));
    return suggested;
}

// Every value the layout gives, as "name.what=value": the window's size and
// client area; each control's place, size and font (height, face) and, for
// a control with a window, that window's place and the font it draws in.
inline std::vector<std::string> LayoutValues(const TForm& form) {
    std::vector<std::string> values;
    const auto add = [&values](const std::string& name, const char* what, long value) {
        values.push_back(name + "." + what + "=" + std::to_string(value));
    };
    RECT outer, client;
    GetWindowRect(form.Handle(), &outer);
    GetClientRect(form.Handle(), &client);
    add(form.Name, "width", outer.right - outer.left);
    add(form.Name, "height", outer.bottom - outer.top);
    add(form.Name, "clientWidth", client.right);
    add(form.Name, "clientHeight", client.bottom);
    add(form.Name, "font", form.Font->Height());
    std::vector<const TWinControl*> open{&form};
    while (!open.empty()) {
        const TWinControl* parent = open.back();
        open.pop_back();
        for (const TControl* c : parent->Controls()) {
            add(c->Name, "left", c->Left());
            add(c->Name, "top", c->Top());
            add(c->Name, "width", c->Width());
            add(c->Name, "height", c->Height());
            add(c->Name, "font", c->Font->Height());
            values.push_back(c->Name + ".face=" + c->Font->Face());
            if (auto* w = dynamic_cast<const TWinControl*>(c)) {
                RECT r;
                GetWindowRect(w->Handle(), &r);
                MapWindowPoints(nullptr, parent->Handle(), reinterpret_cast<POINT*>(&r), 2);
                add(c->Name, "windowLeft", r.left);
                add(c->Name, "windowTop", r.top);
                add(c->Name, "windowWidth", r.right - r.left);
                add(c->Name, "windowHeight", r.bottom - r.top);
                LOGFONTA drawn{};
                GetObjectA(reinterpret_cast<HFONT>(SendMessageA(w->Handle(), WM_GETFONT, 0, 0)), sizeof drawn, &drawn);
                add(c->Name, "windowFont", drawn.lfHeight);
                open.push_back(w);
            }
        }
    }
    return values;
}

// The values of `got` that differ from `expected`'s, each with the value expected.
inline std::string LayoutDifferences(const std::vector<std::string>& got, const std::vector<std::string>& expected) {
    std::string differences;
    int count = 0;
    for (size_t i = 0; i < got.size() || i < expected.size(); ++i) {
        const std::string a = i < got.size() ? got[i] : "(none)", b = i < expected.size() ? expected[i] : "(none)";
        if (a == b) continue;
        if (++count <= 12) differences += "  " + a + " (expected " + b + ")\n";
    }
    const size_t total = std::max(got.size(), expected.size());
    return count ? std::to_string(count) + " of " + std::to_string(total) + " values differ:\n" + differences : "";
}
