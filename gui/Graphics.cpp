#include "Graphics.h"

#include <cstring>
#include <map>
#include <tuple>

#include "FontFaces.h"
#include "SysUtils.h"

static_assert(clBtnFace == (0xFF000000 | COLOR_BTNFACE) && clWindowText == (0xFF000000 | COLOR_WINDOWTEXT) &&
                  clBtnHighlight == (0xFF000000 | COLOR_BTNHIGHLIGHT) && clBtnShadow == (0xFF000000 | COLOR_BTNSHADOW),
              "the system colours are Windows' COLOR_ indexes");

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

void TFont::ScaleTo(int pixelsPerInch) {
    if (pixelsPerInch == pixelsPerInch_) return;
    height_ = ScaleValue(height_, pixelsPerInch, pixelsPerInch_);
    pixelsPerInch_ = pixelsPerInch;
    Changed();
}

void TFont::Assign(const TFont& other) {
    if (std::tie(name_, height_, style_, color_, pixelsPerInch_) ==
        std::tie(other.name_, other.height_, other.style_, other.color_, other.pixelsPerInch_))
        return;
    name_ = other.name_;
    height_ = other.height_;
    style_ = other.style_;
    color_ = other.color_;
    pixelsPerInch_ = other.pixelsPerInch_;
    Changed();
}

// As designed, the face draws the height the layout was measured with, even
// where the system draws a bitmap face's nearest size.
std::string TFont::Face() const {
    return pixelsPerInch_ == kDesignPixelsPerInch ? name_ : FaceForHeight(name_, height_);
}

void TFont::Changed() {
    if (OnChange) OnChange();
}

HFONT TFont::Handle() const {
    // Output buttons switch between two styles on every click: keep each
    // GDI font once rather than create and delete one per click.
    static std::map<std::tuple<std::string, int, TFontStyles>, HFONT> fonts;
    const std::string face = Face();
    HFONT& font = fonts[{face, height_, style_}];
    if (!font) {
        font = CreateFontA(height_, 0, 0, 0, (style_ & fsBold) ? FW_BOLD : FW_NORMAL, (style_ & fsItalic) != 0,
                           (style_ & fsUnderline) != 0, (style_ & fsStrikeOut) != 0, DEFAULT_CHARSET,
                           OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                           face.c_str());
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

SIZE TBitmap::ResourceSize(HINSTANCE instance, const std::string& name) {
    HRSRC found = FindResourceA(instance, name.c_str(), MAKEINTRESOURCEA(2) /* RT_BITMAP */);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data || SizeofResource(instance, found) < sizeof(BITMAPINFOHEADER))
        throw Exception("Bitmap resource " + name + " not found");
    BITMAPINFOHEADER header;
    memcpy(&header, data, sizeof header);
    return {header.biWidth, header.biHeight < 0 ? -header.biHeight : header.biHeight};
}

namespace {
// The scales, in percent, that pictures are made at besides 100 %.
const int kPictureScales[] = {125, 150, 200};
}  // namespace

std::string TBitmap::ResourceForScale(HINSTANCE instance, const std::string& name, int pixelsPerInch) {
    if (pixelsPerInch <= kDesignPixelsPerInch) return name;
    std::string chosen = name;
    for (int percent : kPictureScales) {
        const std::string scaled = name + "_" + std::to_string(percent);
        if (!FindResourceA(instance, scaled.c_str(), MAKEINTRESOURCEA(2) /* RT_BITMAP */)) continue;
        chosen = scaled;  // the largest there is, should none reach the scale
        if (percent * kDesignPixelsPerInch >= pixelsPerInch * 100) break;
    }
    return chosen;
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const std::string& name) {
    HBITMAP bitmap = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    // A run-length encoded picture (the scaled copies) may not make a DIB
    // section on every Windows; a bitmap for the screen shows it as well.
    if (!bitmap) bitmap = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, 0));
    if (!bitmap) throw Exception("Bitmap resource " + name + " not found");
    BITMAP info{};
    GetObject(bitmap, sizeof info, &info);
    if (handle_) DeleteObject(handle_);
    handle_ = bitmap;
    width_ = info.bmWidth;
    height_ = info.bmHeight;
}
