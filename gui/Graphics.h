// Colours, fonts, brushes and bitmaps.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "Colours.h"
#include "ScreenScale.h"

// The RGB value to hand to GDI; for a system colour, its value now.
COLORREF ColorToRGB(TColor color);
// A solid brush of that colour, shared; not to be deleted. A system colour
// gets the system's own brush, which follows the user's colour scheme; any
// other colour a brush kept for the life of the process.
HBRUSH SolidBrush(TColor color);

enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;  // set of TFontStyle

// A font description. Height < 0 is the character height in pixels.
// Setting a property to the value it has already changes nothing.
class TFont {
public:
    std::string Name() const { return name_; }
    int Height() const { return height_; }
    TFontStyles Style() const { return style_; }
    TColor Color() const { return color_; }
    // The screen's pixels per inch the height is scaled for (96: as designed).
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetName(const std::string& name);
    void SetHeight(int height);
    void SetStyle(TFontStyles style);
    // The height scaled from its present pixels per inch to these.
    void ScaleTo(int pixelsPerInch);
    void Assign(const TFont& other);

    // The GDI font; fonts are shared by description and live as long as the
    // process. Scaled, it is drawn by a face that has the height (FaceForHeight).
    HFONT Handle() const;
    // The face Handle() asks the system for.
    std::string Face() const;

    std::function<void()> OnChange;

private:
    void Changed();
    std::string name_ = "MS Sans Serif";
    int height_ = -11;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    int pixelsPerInch_ = kDesignPixelsPerInch;
};

// A fill colour.
class TBrush {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    std::function<void()> OnChange;

private:
    TColor color_ = clWhite;
};

// A device-dependent bitmap loaded from the program's resources.
class TBitmap {
public:
    ~TBitmap();
    void LoadFromResourceName(HINSTANCE instance, const std::string& name);
    // The size of the bitmap resource `name`, read from its header.
    static SIZE ResourceSize(HINSTANCE instance, const std::string& name);
    // The picture `name` made for a screen of `pixelsPerInch`: the nearest
    // of its scaled copies (NAME_125, NAME_150, NAME_200) at or above the
    // scale that the program has; `name` itself at 100 %.
    static std::string ResourceForScale(HINSTANCE instance, const std::string& name, int pixelsPerInch);
    HBITMAP Handle() const { return handle_; }
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    HBITMAP handle_ = nullptr;
    int width_ = 0, height_ = 0;
};
