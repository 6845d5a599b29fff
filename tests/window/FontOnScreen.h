// The screen with a font selected, to see what the system makes of the font.
#pragma once

#include <windows.h>

#include <string>

#include "Graphics.h"

class FontOnScreen {
public:
    explicit FontOnScreen(const TFont& font) : dc_(GetDC(nullptr)), old_(SelectObject(dc_, font.Handle())) {}
    ~FontOnScreen() {
        SelectObject(dc_, old_);
        ReleaseDC(nullptr, dc_);
    }
    FontOnScreen(const FontOnScreen&) = delete;
    FontOnScreen& operator=(const FontOnScreen&) = delete;

    SIZE Extent(const std::string& text) const {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }
    std::string Face() const {
        char face[LF_FACESIZE] = "";
        GetTextFaceA(dc_, sizeof face, face);
        return face;
    }
    TEXTMETRICA Metrics() const {
        TEXTMETRICA metrics{};
        GetTextMetricsA(dc_, &metrics);
        return metrics;
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};
