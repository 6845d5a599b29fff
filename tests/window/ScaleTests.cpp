// The panel at the screen's scale and moved to monitors of other scales:
// its client area, every caption within its control and clear of its
// neighbours, the lamps painted at their places, and the connector picture
// made for the scale. The end-to-end tests run the screen's-scale cases on
// screens at 120, 144 and 192 pixels per inch too.
#include <algorithm>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "FontOnScreen.h"
#include "ScaleChange.h"
#include "WindowFixture.h"

namespace {

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

void ExpectCaptionFits(const TControl& c) {
    SCOPED_TRACE(c.Name + " \"" + c.Caption() + "\" at " + Text(c.BoundsRect()));
    const FontOnScreen measure(*c.Font);
    const TEXTMETRICA metrics = measure.Metrics();
    const SIZE text = measure.Extent(c.Caption());
    if (auto* label = dynamic_cast<const TLabel*>(&c)) {
        EXPECT_LE(text.cx, label->Width());
        // The centred labels under DO10 and DO12 wrap, and their text fits on one line.
        EXPECT_EQ(label->Height(), metrics.tmHeight) << "one line";
    } else if (auto* button = dynamic_cast<const TButton*>(&c)) {
        EXPECT_LE(text.cx + 2 * GetSystemMetrics(SM_CXEDGE) + 2, button->Width());
        EXPECT_LE(text.cy + 2 * GetSystemMetrics(SM_CYEDGE) + 2, button->Height());
    } else if (auto* edit = dynamic_cast<const TMaskEdit*>(&c)) {
        RECT shown{};
        SendMessageA(edit->Handle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&shown));
        EXPECT_LE(measure.Extent(edit->Text()).cx, shown.right - shown.left) << "the whole address shows";
        EXPECT_LE(text.cy, shown.bottom - shown.top);
    } else if (auto* group = dynamic_cast<const TGroupBox*>(&c)) {
        EXPECT_LE(ScaleValue(8, group->PixelsPerInch()) + text.cx + 2, group->Width());
        for (TControl* child : group->Controls())
            EXPECT_GE(child->Top(), metrics.tmHeight) << child->Name << " under the caption";
    }
}

// No two children of one parent overlap, each lies inside its parent, and
// every caption fits.
void ExpectLaidOutClear(const TWinControl& parent) {
    const auto& children = parent.Controls();
    RECT inside{0, 0, parent.Width(), parent.Height()};
    if (dynamic_cast<const TForm*>(&parent)) GetClientRect(parent.Handle(), &inside);
    for (size_t i = 0; i < children.size(); ++i) {
        const RECT a = children[i]->BoundsRect();
        RECT common;
        EXPECT_TRUE(IntersectRect(&common, &a, &inside) && EqualRect(&common, &a))
            << children[i]->Name << " at " << Text(a) << " sticks out of " << parent.Name;
        for (size_t j = i + 1; j < children.size(); ++j) {
            const RECT b = children[j]->BoundsRect();
            EXPECT_FALSE(IntersectRect(&common, &a, &b))
                << children[i]->Name << " " << Text(a) << " overlaps " << children[j]->Name << " " << Text(b);
        }
        ExpectCaptionFits(*children[i]);
        if (auto* container = dynamic_cast<const TWinControl*>(children[i])) ExpectLaidOutClear(*container);
    }
}

class ScaledWindow : public WindowTest {
protected:
    // What the lamp's parent draws at the lamp's centre.
    COLORREF PaintedAtCentre(const TShape& lamp) {
        TWinControl& parent = *lamp.Parent();
        const RECT client{0, 0, parent.Width(), parent.Height()};
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
        HGDIOBJ old = SelectObject(dc, bitmap);
        parent.PaintArea(dc, client);
        const COLORREF colour = GetPixel(dc, lamp.Left() + lamp.Width() / 2, lamp.Top() + lamp.Height() / 2);
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        return colour;
    }

    // Each lamp painted in its colour after Set and a tick of the lamps.
    void ExpectLampsPainted() {
        ApplyAddress("0X378");
        port->ForceStatus(0x00);  // every input lit
        port->SetData(0xFF);      // every data line lit
        Tick();
        for (TShape* lamp : {form->Shape_DI_1, form->Shape_DI_5, form->Shape_DO_2, form->Shape_DO_3, form->Shape_DO_5,
                             form->Shape_DO_9}) {
            SCOPED_TRACE(lamp->Name);
            EXPECT_NE(lamp->Brush->Color(), clWhite);
            EXPECT_EQ(PaintedAtCentre(*lamp), ColorToRGB(lamp->Brush->Color()));
        }
    }

    void ExpectPictureFor(int percent, SIZE control) {
        const SIZE picture{ScaleValue(314, percent, 100), ScaleValue(286, percent, 100)};
        EXPECT_EQ(form->Image1->Picture.Width(), picture.cx) << "the copy made for " << percent << " %";
        EXPECT_EQ(form->Image1->Picture.Height(), picture.cy);
        EXPECT_EQ(form->Image1->Width(), control.cx);
        EXPECT_EQ(form->Image1->Height(), control.cy);
    }

    std::string Client() const {
        RECT r;
        GetClientRect(form->Handle(), &r);
        return std::to_string(r.right) + "x" + std::to_string(r.bottom);
    }
    std::string DesignedClientAt(int pixelsPerInch) const {
        const SIZE designed = DesignedClient(*form, 947, 589);
        return std::to_string(ScaleValue(designed.cx, pixelsPerInch)) + "x" +
               std::to_string(ScaleValue(designed.cy, pixelsPerInch));
    }
};

// A walk over four scales (0 to 3, from 0) in which every start and three
// changes after it, a to b to c to d with no scale followed by itself,
// occurs once in a row: an Euler circuit through the 108 of them, each
// joining the three scales it starts with to the three it ends with.
std::vector<int> EveryThreeChanges() {
    const auto valid = [](int a, int b) { return a != b; };
    std::map<int, int> tried;  // per three scales (a * 16 + b * 4 + c): the fourths tried
    std::vector<int> stack{0 * 16 + 1 * 4 + 0}, path;
    while (!stack.empty()) {
        const int node = stack.back(), c = node % 4;
        int& next = tried[node];
        while (next < 4 && !valid(c, next)) ++next;
        if (next < 4) {
            stack.push_back(node % 16 * 4 + next);
            ++next;
        } else {
            path.push_back(node);
            stack.pop_back();
        }
    }
    std::reverse(path.begin(), path.end());
    std::vector<int> walk{path[0] / 16, path[0] / 4 % 4, path[0] % 4};
    for (size_t i = 1; i < path.size(); ++i) walk.push_back(path[i] % 4);
    return walk;
}

// The scales the pictures are made for, and one between them.
const struct {
    int pixelsPerInch, percent;
} kScales[] = {{120, 125}, {144, 150}, {168, 200}, {192, 200}};

}  // namespace

// ---- At the screen's own scale (96 here; 120, 144, 192 in the e2e tests) --

TEST_F(ScaledWindow, AtTheScreensScaleTheClientAreaIsTheDesignedOneScaled) {
    EXPECT_EQ(form->PixelsPerInch(), ScreenPixelsPerInch());
    EXPECT_EQ(Client(), DesignedClientAt(form->PixelsPerInch()));
    RECT outer;
    GetWindowRect(form->Handle(), &outer);
    EXPECT_EQ(outer.left, 289) << "the place is never scaled";
    EXPECT_EQ(outer.top, 122);
}

TEST_F(ScaledWindow, AtTheScreensScaleEveryCaptionFitsAndNothingOverlaps) { ExpectLaidOutClear(*form); }

TEST_F(ScaledWindow, AtTheScreensScaleTheLampsArePaintedAfterSet) { ExpectLampsPainted(); }

TEST_F(ScaledWindow, AtTheScreensScaleThePictureIsTheCopyForIt) {
    const int scale = form->PixelsPerInch();
    int percent = 100;
    for (const auto& s : kScales)
        if (s.pixelsPerInch == scale) percent = s.percent;
    ExpectPictureFor(percent, {ScaleValue(314, scale), ScaleValue(286, scale)});
}

// ---- Moved to a monitor of another scale --------------------------------

// Here the screen is at 96 with the test prefix's fonts: the captions are
// checked at each scale by the end-to-end tests, on screens of that scale.
// The suggested rectangle gives the place; the size is the designed client
// area scaled in the frame of the new scale, not the suggestion's, whose
// frame Windows 8.1 to 10 1511 scale though it stays the system's.
TEST_F(ScaledWindow, MovedToAnotherScaleItTakesTheSuggestedPlaceItsClientAreaAndItsPicture) {
    const DWORD style = GetWindowLongA(form->Handle(), GWL_STYLE) & ~WS_VISIBLE;
    const DWORD exStyle = GetWindowLongA(form->Handle(), GWL_EXSTYLE);
    const SIZE designed = DesignedClient(*form, 947, 589);
    for (const auto& s : kScales) {
        SCOPED_TRACE(s.pixelsPerInch);
        const RECT suggested = SendScaleChange(*form, s.pixelsPerInch);
        const SIZE frame = FrameSize(style, exStyle, s.pixelsPerInch);
        // No window grows beyond the screen's largest (Windows and Wine alike).
        const RECT expected{suggested.left, suggested.top,
                            suggested.left + std::min<LONG>(ScaleValue(designed.cx, s.pixelsPerInch) + frame.cx,
                                                            GetSystemMetrics(SM_CXMAXTRACK)),
                            suggested.top + std::min<LONG>(ScaleValue(designed.cy, s.pixelsPerInch) + frame.cy,
                                                           GetSystemMetrics(SM_CYMAXTRACK))};
        RECT outer;
        GetWindowRect(form->Handle(), &outer);
        EXPECT_TRUE(EqualRect(&outer, &expected)) << Text(outer) << " for " << Text(expected);
        EXPECT_EQ(form->PixelsPerInch(), s.pixelsPerInch);
        EXPECT_EQ(Text(form->Panel3->BoundsRect()), Text(RECT{ScaleValue(8, s.pixelsPerInch), ScaleValue(360, s.pixelsPerInch),
                                                              ScaleValue(8, s.pixelsPerInch) + ScaleValue(921, s.pixelsPerInch),
                                                              ScaleValue(360, s.pixelsPerInch) + ScaleValue(193, s.pixelsPerInch)}));
        ExpectPictureFor(s.percent, {ScaleValue(314, s.pixelsPerInch), ScaleValue(286, s.pixelsPerInch)});
        SendScaleChange(*form, ScreenPixelsPerInch());
    }
    ExpectPictureFor(100, {314, 286});
    ExpectLampsPainted();
}

// Moved and moved back, every control is where it was, to the pixel: the
// wrapped labels widened at the larger scales narrow again.
TEST_F(ScaledWindow, MovedBackEveryControlIsWhereItWas) {
    std::vector<std::pair<TControl*, std::string>> places;
    std::vector<TWinControl*> open{form};
    while (!open.empty()) {
        TWinControl* parent = open.back();
        open.pop_back();
        for (TControl* c : parent->Controls()) {
            places.push_back({c, Text(c->BoundsRect())});
            if (auto* w = dynamic_cast<TWinControl*>(c)) open.push_back(w);
        }
    }
    for (const auto& s : kScales) {
        SCOPED_TRACE(s.pixelsPerInch);
        SendScaleChange(*form, s.pixelsPerInch);
        SendScaleChange(*form, ScreenPixelsPerInch());
        for (const auto& [control, place] : places) EXPECT_EQ(Text(control->BoundsRect()), place) << control->Name;
    }
}

TEST_F(ScaledWindow, MovedAt144TheLampsArePaintedAtTheirScaledPlaces) {
    SendScaleChange(*form, 144);
    EXPECT_EQ(Text(form->Shape_DI_1->BoundsRect()), "39,116 57x57") << "26,77 38x38 at 150 %";
    EXPECT_EQ(Text(form->Shape_DO_6->BoundsRect()), "596,75 59x57") << "397,50 39x38 at 150 %";
    ExpectLampsPainted();
}

// ---- Any sequence of scales ----------------------------------------------

// Scaled from the designed values at every change, the window ends any
// sequence of scale changes exactly where loading it at the last scale puts
// it: every place, size and font of the layout, and the window's size for
// the designed client area. Checked after each change: first the sequence
// that left 88 values off (96, 144, 120, 96), then a walk through every
// start and three changes among the four scales.
TEST_F(ScaledWindow, AnyThreeScaleChangesEndWhereLoadingAtTheLastScaleWould) {
    const int scales[] = {96, 120, 144, 192};
    std::map<int, std::vector<std::string>> loaded;
    for (int scale : scales) {
        std::unique_ptr<TTarnwick> straight(new TTarnwick(Application, scale));
        loaded[scale] = LayoutValues(*straight);
    }
    ASSERT_EQ(form->PixelsPerInch(), 96);
    std::vector<int> walk = {144, 120, 96};
    const std::vector<int> every = EveryThreeChanges();
    ASSERT_EQ(every.size(), 3u + 4 * 3 * 3 * 3);
    for (size_t i = 1; i < every.size(); ++i) walk.push_back(scales[every[i]]);
    std::string sequence = "96";
    for (int scale : walk) {
        sequence += " -> " + std::to_string(scale);
        SendScaleChange(*form, scale);
        ASSERT_EQ(LayoutDifferences(LayoutValues(*form), loaded[scale]), "") << sequence;
    }
}

// ---- Which copy of a picture a scale takes --------------------------------

TEST(PictureForScale, TheNearestCopyAtOrAboveTheScale) {
    const HINSTANCE program = GetModuleHandleA(nullptr);
    EXPECT_EQ(TBitmap::ResourceForScale(program, "DB25", 96), "DB25");
    EXPECT_EQ(TBitmap::ResourceForScale(program, "DB25", 72), "DB25") << "below 100 %: shrunk from 100 %";
    EXPECT_EQ(TBitmap::ResourceForScale(program, "DB25", 97), "DB25_125");
    EXPECT_EQ(TBitmap::ResourceForScale(program, "DB25", 120), "DB25_125");
    EXPECT_EQ(TBitmap::ResourceForScale(program, "DB25", 121), "DB25_150");
    EXPECT_EQ(TBitmap::ResourceForScale(program, "DB25", 168), "DB25_200") << "175 %";
    EXPECT_EQ(TBitmap::ResourceForScale(program, "DB25", 288), "DB25_200") << "300 %: the largest there is";
}

TEST(PictureForScale, APictureWithoutCopiesIsTakenAtEveryScale) {
    EXPECT_EQ(TBitmap::ResourceForScale(GetModuleHandleA(nullptr), "MAINICON", 144), "MAINICON");
}

TEST(PictureForScale, AMissingPictureIsNamed) {
    try {
        TBitmap::ResourceSize(GetModuleHandleA(nullptr), "NO_SUCH_PICTURE");
        FAIL() << "no exception";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message, "Bitmap resource NO_SUCH_PICTURE not found");
    }
}
