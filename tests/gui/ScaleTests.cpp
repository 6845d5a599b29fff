// Forms scaled to the screen: the layout (designed at 96 pixels per inch)
// scaled as it is loaded, again when the window moves to a monitor of
// another scale, and fonts drawn by a face that has the scaled height.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "FontFaces.h"
#include "ProbeForm.h"
#include "ScaleChange.h"
#include "ScreenScale.h"

namespace {

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// A window's rectangle in its parent's client area (the screen's for a form).
std::string PlaceOf(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    if (HWND parent = GetParent(window)) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return Text(r);
}

std::string FaceOf(HFONT font) {
    LOGFONTA lf{};
    GetObjectA(font, sizeof lf, &lf);
    return lf.lfFaceName;
}

std::unique_ptr<TProbeForm> Probe(int pixelsPerInch) {
    return std::unique_ptr<TProbeForm>(new TProbeForm(Application, "PROBE", pixelsPerInch));
}

}  // namespace

TEST(ScaledForm, At96PixelsPerInchTheLayoutIsTakenAsItIs) {
    auto form = Probe(96);
    EXPECT_EQ(PlaceOf(form->Handle()), "10,10 300x200");
    EXPECT_EQ(PlaceOf(form->Button1->Handle()), "100,40 41x41");
    EXPECT_EQ(form->Label1->Font->Height(), -17);
    EXPECT_EQ(FaceOf(form->Label1->Font->Handle()), "MS Sans Serif") << "no bitmap size of 17, as designed";
}

TEST(ScaledForm, LoadedAt144EveryPlaceSizeAndFontIsScaled) {
    auto form = Probe(144);
    EXPECT_EQ(form->PixelsPerInch(), 144);
    EXPECT_EQ(PlaceOf(form->Panel1->Handle()), "6,6 420x225");
    EXPECT_EQ(PlaceOf(form->Button1->Handle()), "150,60 62x62") << "41 x 1.5 = 61.5";
    EXPECT_EQ(PlaceOf(form->Edit1->Handle()), "150,150 92x42");
    EXPECT_EQ(Text(form->Shape1->BoundsRect()), "15,60 59x57");
    EXPECT_EQ(form->Font->Height(), -17) << "-11 x 1.5 = -16.5";
    EXPECT_EQ(form->Button1->Font->Height(), -17) << "the parent's font, scaled once";
    EXPECT_EQ(form->Label1->Font->Height(), -26);
    EXPECT_EQ(form->Label2->Width(), 90) << "a word-wrapped label keeps its scaled width";
    // A label sizes itself to its text in its scaled font.
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, form->Label1->Font->Handle());
    SIZE text{};
    GetTextExtentPoint32A(dc, "D0", 2, &text);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(form->Label1->Width(), text.cx);
}

// Sized for a client area of the designed one scaled, in the frame of that
// scale (here the screen is at 96, and the system frames it at 96).
TEST(ScaledForm, ItsPlaceIsKeptAndItsClientAreaScaled) {
    for (int pixelsPerInch : {120, 144, 192}) {
        SCOPED_TRACE(pixelsPerInch);
        auto form = Probe(pixelsPerInch);
        const DWORD style = GetWindowLongA(form->Handle(), GWL_STYLE) & ~WS_VISIBLE;
        const SIZE designed = DesignedClient(*form, 300, 200);
        const SIZE frame = FrameSize(style, GetWindowLongA(form->Handle(), GWL_EXSTYLE), pixelsPerInch);
        EXPECT_EQ(PlaceOf(form->Handle()), Text(RECT{10, 10, 10 + ScaleValue(designed.cx, pixelsPerInch) + frame.cx,
                                                     10 + ScaleValue(designed.cy, pixelsPerInch) + frame.cy}));
    }
}

// The place from the suggested rectangle, the size as loaded at that scale.
TEST(ScaledForm, MovedToAMonitorOfAnotherScaleItTakesTheSuggestedPlace) {
    auto form = Probe(96);
    const RECT suggested = SendScaleChange(*form, 144);
    RECT outer, loaded;
    GetWindowRect(form->Handle(), &outer);
    GetWindowRect(Probe(144)->Handle(), &loaded);
    EXPECT_EQ(Text(outer), Text(RECT{suggested.left, suggested.top, suggested.left + loaded.right - loaded.left,
                                     suggested.top + loaded.bottom - loaded.top}));
    EXPECT_EQ(form->PixelsPerInch(), 144);
    EXPECT_EQ(PlaceOf(form->Button1->Handle()), "150,60 62x62") << "as if loaded at 144";
    EXPECT_EQ(Text(form->Shape1->BoundsRect()), "15,60 59x57");
    EXPECT_EQ(form->Label1->Font->Height(), -26);
    EXPECT_EQ(form->Button1->Font->Height(), -17);
    auto font = reinterpret_cast<HFONT>(SendMessageA(form->Button1->Handle(), WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    ASSERT_TRUE(font && GetObjectA(font, sizeof lf, &lf));
    EXPECT_EQ(lf.lfHeight, -17) << "the button's window draws in the new font";
}

// A client area the user gave the window is kept, scaled, in the frame of
// each scale, and scaled back exactly.
TEST(ScaledForm, ASizeTheUserGaveIsKeptAtEveryScale) {
    auto form = Probe(96);
    const DWORD style = GetWindowLongA(form->Handle(), GWL_STYLE) & ~WS_VISIBLE;
    const DWORD exStyle = GetWindowLongA(form->Handle(), GWL_EXSTYLE);
    SetWindowPos(form->Handle(), nullptr, 0, 0, 400, 250, SWP_NOMOVE | SWP_NOZORDER);
    RECT client;
    GetClientRect(form->Handle(), &client);
    const SIZE user{client.right, client.bottom};
    for (int pixelsPerInch : {144, 120, 192, 96}) {
        SCOPED_TRACE(pixelsPerInch);
        SendScaleChange(*form, pixelsPerInch);
        const SIZE frame = FrameSize(style, exStyle, pixelsPerInch);
        RECT outer;
        GetWindowRect(form->Handle(), &outer);
        EXPECT_EQ(outer.right - outer.left, ScaleValue(user.cx, pixelsPerInch) + frame.cx);
        EXPECT_EQ(outer.bottom - outer.top, ScaleValue(user.cy, pixelsPerInch) + frame.cy);
    }
    EXPECT_EQ(PlaceOf(form->Handle()), "10,10 400x250") << "back at 96, as the user left it";
}

TEST(ScaledForm, BackAt96EverythingIsAsDesigned) {
    auto form = Probe(96);
    for (int pixelsPerInch : {120, 144, 192}) {
        SCOPED_TRACE(pixelsPerInch);
        SendScaleChange(*form, pixelsPerInch);
        SendScaleChange(*form, 96);
        EXPECT_EQ(PlaceOf(form->Handle()), "10,10 300x200");
        EXPECT_EQ(PlaceOf(form->Edit1->Handle()), "100,100 61x28");
        EXPECT_EQ(Text(form->Shape1->BoundsRect()), "10,40 39x38");
        EXPECT_EQ(form->Label1->Font->Height(), -17);
        EXPECT_EQ(form->Font->Height(), -11);
        EXPECT_EQ(FaceOf(form->Label1->Font->Handle()), "MS Sans Serif");
    }
}

// The headless test prefix has "MS Sans Serif" at 96 pixels per inch in
// character heights 11, 13 and 16 only.
TEST(FontFaces, ABitmapFaceWithoutTheHeightGivesWayToItsTrueTypeTwin) {
    EXPECT_EQ(FaceForHeight("MS Sans Serif", -13), "MS Sans Serif");
    EXPECT_EQ(FaceForHeight("MS Sans Serif", 16), "MS Sans Serif") << "a cell height of 16: 10 points";
    EXPECT_EQ(FaceForHeight("MS Sans Serif", -26), "Microsoft Sans Serif");
    EXPECT_EQ(FaceForHeight("MS Sans Serif", -22), "Microsoft Sans Serif") << "not 11 stretched twice";
    EXPECT_EQ(FaceForHeight("Arial", -26), "Arial") << "a face without a twin";
}

TEST(FontFaces, OnlyAScaledFontChangesItsFace) {
    TFont font;
    font.SetHeight(-17);
    EXPECT_EQ(font.Face(), "MS Sans Serif");
    font.ScaleTo(144);
    EXPECT_EQ(font.Height(), -26);
    EXPECT_EQ(font.Name(), "MS Sans Serif") << "the font asked for";
    EXPECT_EQ(font.Face(), "Microsoft Sans Serif") << "the face drawn";
    EXPECT_EQ(FaceOf(font.Handle()), "Microsoft Sans Serif");
    TFont atOneTwenty;
    atOneTwenty.SetHeight(-13);
    atOneTwenty.ScaleTo(120);
    atOneTwenty.SetHeight(-16);
    EXPECT_EQ(FaceOf(atOneTwenty.Handle()), "MS Sans Serif") << "the bitmap face has 16";
}
