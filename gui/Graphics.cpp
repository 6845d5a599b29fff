#include "Graphics.h"

#include <map>
#include <tuple>

#include "SysUtils.h"

COLORREF ColorToRGB(TColor color) {
    return IsSystemColor(color) ? GetSysColor(color & 0xFF) : color;
}

HBRUSH SolidBrush(TColor color) {
    if (IsSystemColor(color)) return GetSysColorBrush(color & 0xFF);
    static std::map<TColor, HBRUSH> brushes;
    HBRUSH& brush = brushes[color];
    if (!brush) brush = CreateSolidBrush(ColorToRGB(color));
    return brush;
}

void TFont::SetName(const std::string& name) {
    if (name == name_) return;
    name_ = name;
    Changed();
}

void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Changed();
}

void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (std::tie(name_, height_, style_, color_) ==
        std::tie(other.name_, other.height_, other.style_, other.color_))
        return;
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    Changed();
}

void TFont::Changed() {
    if (OnChange) OnChange();
}

HFONT TFont::Handle() const {
    // Output buttons switch between two styles on every click: keep each
    // GDI font once rather than create and delete one per click.
    static std::map<std::tuple<std::string, int, TFontStyles>, HFONT> fonts;
    HFONT& font = fonts[{name_, height_, style_}];
    if (!font) {
        font = CreateFontA(height_, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL, (style_ & fsItalic) != 0,
                           (style_ & fsUnderline) != 0, (style_ & fsStrikeOut) != 0, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           name_.c_str());
    }
    return font;
}

void TBrush::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    if (OnChange) OnChange();
}

TBitmap::~TBitmap() {
    if (handle_) DeleteObject(handle_);
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!bitmap) throw Exception("Bitmap resource " + name + " not found");
    BITMAP info{};
    GetObject(bitmap, sizeof info, &info);
    if (handle_) DeleteObject(handle_);
    handle_ = bitmap;
    width_ = info.bmWidth;
    height_ = info.bmHeight;
}
