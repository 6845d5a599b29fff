// What the controls draw and when they redraw.
#include <gtest/gtest.h>

#include <vector>

#include "ProbeForm.h"
#include "Pump.h"

namespace {

// The control's picture, drawn as its parent would draw it.
class Canvas {
public:
    Canvas(TGraphicControl& control) : w_(control.Width()), h_(control.Height()) {
        HDC screen = GetDC(nullptr);
        dc_ = CreateCompatibleDC(screen);
        bitmap_ = CreateCompatibleBitmap(screen, w_, h_);
        ReleaseDC(nullptr, screen);
        SelectObject(dc_, bitmap_);
        RECT all{0, 0, w_, h_};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        control.Paint(dc_);
    }
    ~Canvas() {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
    }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    int w_, h_;
    HDC dc_;
    HBITMAP bitmap_;
};

TEST(Shape, CircleOnTheSmallerSideWithABlackOutline) {
    TProbeForm form(nullptr, "PROBE");
    TShape& lamp = *form.Shape1;  // 39 x 38
    {
        Canvas c(lamp);
        EXPECT_EQ(c.At(19, 19), RGB(255, 255, 255)) << "white until coloured";
        EXPECT_EQ(c.At(0, 19), RGB(0, 0, 0)) << "outline at the left edge";
        EXPECT_EQ(c.At(37, 19), RGB(0, 0, 0)) << "outline at the right of the 38-pixel circle";
        EXPECT_EQ(c.At(0, 0), RGB(128, 128, 128)) << "corners stay the parent's";
        EXPECT_EQ(c.At(38, 19), RGB(128, 128, 128)) << "the 39th column is outside the circle";
    }
    lamp.Brush->SetColor(clLime);
    Canvas c(lamp);
    EXPECT_EQ(c.At(19, 19), RGB(0, 255, 0));
    EXPECT_EQ(c.At(0, 19), RGB(0, 0, 0));
}

bool Damaged(HWND window, RECT* area) { return GetUpdateRect(window, area, FALSE) != FALSE; }

TEST(Repainting, OnlyWhatChangedAndNothingForTheSameValue) {
    TProbeForm form(nullptr, "PROBE");
    form.Show();  // only a window on screen collects damage
    PumpUntil([] { return false; }, 200);  // let the first paint settle
    HWND panel = form.Panel1->Handle();
    RECT area;

    form.Shape1->Brush->SetColor(clRed);
    ValidateRect(panel, nullptr);
    form.Shape1->Brush->SetColor(clRed);
    EXPECT_FALSE(Damaged(panel, &area)) << "same colour";
    form.Shape1->Brush->SetColor(clBlack);
    ASSERT_TRUE(Damaged(panel, &area));
    const RECT lamp = form.Shape1->BoundsRect();
    EXPECT_TRUE(EqualRect(&area, &lamp)) << "only the lamp's rectangle";

    ValidateRect(panel, nullptr);
    form.Label1->SetCaption("D0");
    EXPECT_FALSE(Damaged(panel, &area)) << "same caption";
    form.Label1->SetCaption("255");
    EXPECT_TRUE(Damaged(panel, &area));

    ValidateRect(form.Button1->Handle(), nullptr);
    form.Button1->Font->SetStyle(0);
    EXPECT_FALSE(Damaged(form.Button1->Handle(), &area)) << "same style";
    form.Button1->Font->SetStyle(fsBold);
    EXPECT_TRUE(Damaged(form.Button1->Handle(), &area));
}

// A container's client area as its paint draws it, through a buffer of at
// most bufferBytes, read back as 32-bit pixels.
std::vector<DWORD> Painted(TWinControl& container, int bufferBytes) {
    const int w = container.Width(), h = container.Height();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const RECT all{0, 0, w, h};
    container.PaintArea(dc, all, bufferBytes);
    GdiFlush();
    std::vector<DWORD> pixels(static_cast<const DWORD*>(bits), static_cast<const DWORD*>(bits) + w * h);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);
    return pixels;
}

TEST(Painting, InBandsItDrawsTheSamePixelsAsInOnePiece) {
    TProbeForm form(nullptr, "PROBE");
    TPanel& panel = *form.Panel1;  // 280 x 150, with a label, a lamp and a caption
    form.Shape1->Brush->SetColor(clRed);
    form.Shape1->SetBounds(10, 40, 120, 100);  // a lamp over many bands
    const int row = 4 * panel.Width();
    const std::vector<DWORD> whole = Painted(panel, row * panel.Height());
    const DWORD red = 0xFF0000, black = 0;  // 0x00RRGGBB in a DIB
    ASSERT_EQ(whole[static_cast<size_t>(90 * panel.Width() + 70)], red) << "the lamp's middle";
    ASSERT_EQ(whole[static_cast<size_t>(90 * panel.Width() + 20)], black) << "the lamp's outline at its left";

    EXPECT_EQ(Painted(panel, TWinControl::kPaintBufferBytes), whole) << "the window's own bands";
    EXPECT_EQ(Painted(panel, 7 * row), whole) << "bands of 7 rows";
    EXPECT_EQ(Painted(panel, 1), whole) << "a buffer smaller than a row: one row at a time";
}

TEST(Label, SizesToItsTextKeepingLeftAndTop) {
    TProbeForm form(nullptr, "PROBE");
    TLabel& label = *form.Label1;
    const int oneLine = label.Height();
    const int narrow = label.Width();
    EXPECT_GT(narrow, 0);
    label.SetCaption("/Select PTR");
    EXPECT_GT(label.Width(), narrow);
    EXPECT_EQ(label.Height(), oneLine);
    EXPECT_EQ(label.Left(), 10);
    EXPECT_EQ(label.Top(), 8);
}

TEST(Label, WordWrappedKeepsTheWidthItsLayoutGives) {
    // Its caption is read before WordWrap: sizing must wait for the whole layout.
    TProbeForm form(nullptr, "PROBE");
    EXPECT_EQ(form.Label2->Width(), 60);
    EXPECT_EQ(form.Label2->Height(), 2 * 13) << "two lines of the form's 13-pixel font";
}

TEST(Label, WordWrappedKeepsItsWidthAndGrowsDown) {
    TProbeForm form(nullptr, "PROBE");
    TLabel& label = *form.Label1;
    const int oneLine = label.Height();
    label.WordWrap = true;
    label.Alignment = TLabel::taCenter;
    label.SetBounds(label.Left(), label.Top(), 40, label.Height());
    label.SetCaption("/Select Printer lines");
    EXPECT_EQ(label.Width(), 40);
    EXPECT_GT(label.Height(), oneLine);
}

TEST(Enabled, DisablingAControlDisablesItsWindow) {
    TProbeForm form(nullptr, "PROBE");
    form.Edit1->SetEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(form.Edit1->Handle()));
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), nullptr, FALSE), form.Button1->Handle())
        << "a disabled field leaves the tab order";
}

}  // namespace
