// The live window against its layout: every component's kind, parent, place,
// size, text and font, the wiring of its events, the tab order, and the
// state it starts in. Labels size themselves to their text, so their sizes
// are what the font measures: held to the design within a couple of pixels.
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "FontOnScreen.h"
#include "Pump.h"
#include "WindowFixture.h"

namespace {

enum class Kind { Panel, GroupBox, Label, Lamp, Button, Edit, Picture };

using Member = TControl* (*)(const TTarnwick&);
#define M(name) #name, [](const TTarnwick& f) -> TControl* { return f.name; }

struct Row {
    const char* name;
    Member member;
    Kind kind;
    const char* parent;
    int left, top, width, height;
    const char* text;  // caption, or the edit field's text; nullptr: none
    int fontHeight;    // 0: no text of its own
    bool bold;
    int tabOrder;      // -1: takes no part in the tab order
};

// clang-format off
const Row kRows[] = {
    {M(GroupBox2), Kind::GroupBox, "Tarnwick", 559, 15, 344, 328, "LPT DB25 Info+", -17, false, 0},
    {M(Image1), Kind::Picture, "GroupBox2", 15, 25, 314, 286, nullptr, 0, false, -1},
    {M(Panel1), Kind::Panel, "Tarnwick", 48, 24, 473, 129, "Panel1", -11, false, 1},
    {M(PanelHexValues), Kind::Panel, "Panel1", 8, 8, 457, 113, "", -11, false, 0},
    {M(Panel2), Kind::Panel, "Tarnwick", 48, 160, 473, 185, "Panel2", -11, false, 2},
    {M(GroupBox1), Kind::GroupBox, "Panel2", 3, 8, 462, 169, "Digital Inputs", -17, false, 0},
    {M(Panel3), Kind::Panel, "Tarnwick", 8, 360, 921, 193, "Panel3", -11, false, 3},
    {M(GroupBox3), Kind::GroupBox, "Panel3", 6, 5, 907, 180, "Digital Outputs", -17, false, 0},
    // The register panel, row by row.
    {M(LabelRegisterType), Kind::Label, "PanelHexValues", 20, 16, 112, 20, "Register Type", -16, true, -1},
    {M(ButtonSet), Kind::Button, "PanelHexValues", 136, 16, 75, 25, "Set", -11, true, 1},
    {M(LabelData), Kind::Label, "PanelHexValues", 227, 16, 40, 20, "Data", -16, true, -1},
    {M(LabelStatus), Kind::Label, "PanelHexValues", 289, 16, 54, 20, "Status", -16, true, -1},
    {M(LabelControl_), Kind::Label, "PanelHexValues", 362, 16, 59, 20, "Control", -16, true, -1},
    {M(LabelMemoryAddress), Kind::Label, "PanelHexValues", 20, 48, 173, 20, "Physical Hex Address", -16, true, -1},
    {M(MaskEdit_REGISTER), Kind::Edit, "PanelHexValues", 216, 46, 61, 28, "0X378", -16, true, 0},
    {M(Label0x379), Kind::Label, "PanelHexValues", 288, 48, 57, 20, "0xDE01", -16, false, -1},
    {M(Label0x37A), Kind::Label, "PanelHexValues", 363, 48, 57, 20, "0xDE02", -16, false, -1},
    {M(LabelHexValue), Kind::Label, "PanelHexValues", 20, 80, 116, 20, "Decimal Value", -16, true, -1},
    {M(LabelHexValueData), Kind::Label, "PanelHexValues", 218, 80, 9, 20, "0", -16, false, -1},
    {M(LabelHexValueControl), Kind::Label, "PanelHexValues", 288, 80, 9, 20, "0", -16, false, -1},
    {M(LabelHexValueStatus), Kind::Label, "PanelHexValues", 364, 80, 9, 20, "0", -16, false, -1},
    // Digital inputs, column by column: number, lamp, line.
    {M(Label_DI_1), Kind::Label, "GroupBox1", 26, 35, 30, 20, "DI 1", -17, false, -1},
    {M(Shape_DI_1), Kind::Lamp, "GroupBox1", 26, 77, 38, 38, nullptr, 0, false, -1},
    {M(Label_ACK), Kind::Label, "GroupBox1", 26, 134, 36, 20, "/ACK", -17, false, -1},
    {M(Label_DI_2), Kind::Label, "GroupBox1", 121, 35, 30, 20, "DI 2", -17, false, -1},
    {M(Shape_DI_2), Kind::Lamp, "GroupBox1", 119, 77, 38, 38, nullptr, 0, false, -1},
    {M(Label_Busy), Kind::Label, "GroupBox1", 111, 134, 45, 20, "BUSY", -17, false, -1},
    {M(Label_DI_3), Kind::Label, "GroupBox1", 214, 35, 30, 20, "DI 3", -17, false, -1},
    {M(Shape_DI_3), Kind::Lamp, "GroupBox1", 212, 77, 38, 38, nullptr, 0, false, -1},
    {M(Label_Paper_Out), Kind::Label, "GroupBox1", 193, 134, 76, 20, "/Paper Out", -17, false, -1},
    {M(Label_DI_4), Kind::Label, "GroupBox1", 306, 35, 30, 20, "DI 4", -17, false, -1},
    {M(Shape_DI_4), Kind::Lamp, "GroupBox1", 305, 77, 38, 38, nullptr, 0, false, -1},
    {M(Label_Select), Kind::Label, "GroupBox1", 300, 134, 49, 20, "/Select", -17, false, -1},
    {M(Label_DI_5), Kind::Label, "GroupBox1", 399, 35, 30, 20, "DI 5", -17, false, -1},
    {M(Shape_DI_5), Kind::Lamp, "GroupBox1", 397, 77, 39, 38, nullptr, 0, false, -1},
    {M(Label_Error), Kind::Label, "GroupBox1", 397, 134, 39, 20, "/Error", -17, false, -1},
    // Digital outputs, column by column: number, lamp, button, line.
    {M(Label_DO_1), Kind::Label, "GroupBox3", 23, 23, 37, 20, "DO 1", -17, false, -1},
    {M(Shape_DO_1), Kind::Lamp, "GroupBox3", 26, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO1), Kind::Button, "GroupBox3", 24, 96, 41, 41, "I / O", -17, false, 0},
    {M(Label_Strobe), Kind::Label, "GroupBox3", 7, 143, 70, 20, "/STROBE", -17, false, -1},
    {M(Label_DO_2), Kind::Label, "GroupBox3", 98, 23, 37, 20, "DO 2", -17, false, -1},
    {M(Shape_DO_2), Kind::Lamp, "GroupBox3", 100, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO2), Kind::Button, "GroupBox3", 96, 96, 41, 41, "I / O", -17, false, 1},
    {M(Label_D0), Kind::Label, "GroupBox3", 107, 143, 21, 20, "D0", -17, false, -1},
    {M(Label_DO_3), Kind::Label, "GroupBox3", 173, 23, 37, 20, "DO 3", -17, false, -1},
    {M(Shape_DO_3), Kind::Lamp, "GroupBox3", 175, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO3), Kind::Button, "GroupBox3", 174, 96, 41, 41, "I / O", -17, false, 2},
    {M(Label_D1), Kind::Label, "GroupBox3", 182, 143, 21, 20, "D1", -17, false, -1},
    {M(Label_DO_4), Kind::Label, "GroupBox3", 247, 23, 37, 20, "DO 4", -17, false, -1},
    {M(Shape_DO_4), Kind::Lamp, "GroupBox3", 249, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO4), Kind::Button, "GroupBox3", 248, 96, 41, 41, "I / O", -17, false, 3},
    {M(Label_D2), Kind::Label, "GroupBox3", 257, 143, 21, 20, "D2", -17, false, -1},
    {M(Label_DO_5), Kind::Label, "GroupBox3", 321, 23, 37, 20, "DO 5", -17, false, -1},
    {M(Shape_DO_5), Kind::Lamp, "GroupBox3", 323, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO5), Kind::Button, "GroupBox3", 320, 96, 41, 41, "I / O", -17, false, 4},
    {M(Label_D3), Kind::Label, "GroupBox3", 331, 143, 21, 20, "D3", -17, false, -1},
    {M(Label_DO_6), Kind::Label, "GroupBox3", 397, 23, 37, 20, "DO 6", -17, false, -1},
    {M(Shape_DO_6), Kind::Lamp, "GroupBox3", 397, 50, 39, 38, nullptr, 0, false, -1},
    {M(Button_DO6), Kind::Button, "GroupBox3", 392, 96, 41, 41, "I / O", -17, false, 5},
    {M(Label_D4), Kind::Label, "GroupBox3", 406, 143, 21, 20, "D4", -17, false, -1},
    {M(Label_DO_7), Kind::Label, "GroupBox3", 471, 23, 37, 20, "DO 7", -17, false, -1},
    {M(Shape_DO_7), Kind::Lamp, "GroupBox3", 472, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO7), Kind::Button, "GroupBox3", 472, 96, 41, 41, "I / O", -17, false, 6},
    {M(Label_D5), Kind::Label, "GroupBox3", 480, 143, 21, 20, "D5", -17, false, -1},
    {M(Label_DO_8), Kind::Label, "GroupBox3", 543, 23, 37, 20, "DO 8", -17, false, -1},
    {M(Shape_DO_8), Kind::Lamp, "GroupBox3", 546, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO8), Kind::Button, "GroupBox3", 544, 96, 41, 41, "I / O", -17, false, 7},
    {M(Label_D6), Kind::Label, "GroupBox3", 553, 143, 21, 20, "D6", -17, false, -1},
    {M(Label_DO_9), Kind::Label, "GroupBox3", 618, 23, 37, 20, "DO 9", -17, false, -1},
    {M(Shape_DO_9), Kind::Lamp, "GroupBox3", 620, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO9), Kind::Button, "GroupBox3", 616, 96, 41, 41, "I / O", -17, false, 8},
    {M(Label_D7), Kind::Label, "GroupBox3", 629, 143, 21, 20, "D7", -17, false, -1},
    {M(Label_DO_10), Kind::Label, "GroupBox3", 687, 23, 46, 20, "DO 10", -17, false, -1},
    {M(Shape_DO_10), Kind::Lamp, "GroupBox3", 695, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO10), Kind::Button, "GroupBox3", 696, 96, 41, 41, "I / O", -17, false, 9},
    {M(Label_LineFeed), Kind::Label, "GroupBox3", 664, 144, 75, 20, "/Line Feed", -17, false, -1},
    {M(Label_DO_11), Kind::Label, "GroupBox3", 761, 23, 46, 20, "DO 11", -17, false, -1},
    {M(Shape_DO_11), Kind::Lamp, "GroupBox3", 769, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO11), Kind::Button, "GroupBox3", 768, 96, 41, 41, "I / O", -17, false, 10},
    {M(Label_Reset), Kind::Label, "GroupBox3", 768, 143, 43, 20, "Reset", -17, false, -1},
    {M(Label_DO_12), Kind::Label, "GroupBox3", 836, 23, 46, 20, "DO 12", -17, false, -1},
    {M(Shape_DO_12), Kind::Lamp, "GroupBox3", 843, 50, 38, 38, nullptr, 0, false, -1},
    {M(Button_DO12), Kind::Button, "GroupBox3", 840, 96, 41, 41, "I / O", -17, false, 11},
    {M(Label_SelectPrinter), Kind::Label, "GroupBox3", 816, 144, 84, 20, "/Select PTR", -17, false, -1},
};
// clang-format on
#undef M

// Font metrics differ a little between platforms; a label's size is its text's.
constexpr int kLabelSlack = 2;

bool IsKind(TControl* c, Kind kind) {
    switch (kind) {
    case Kind::Panel: return dynamic_cast<TPanel*>(c) != nullptr;
    case Kind::GroupBox: return dynamic_cast<TGroupBox*>(c) != nullptr;
    case Kind::Label: return dynamic_cast<TLabel*>(c) != nullptr;
    case Kind::Lamp: return dynamic_cast<TShape*>(c) != nullptr;
    case Kind::Button: return dynamic_cast<TButton*>(c) != nullptr;
    case Kind::Edit: return dynamic_cast<TMaskEdit*>(c) != nullptr;
    case Kind::Picture: return dynamic_cast<TImage*>(c) != nullptr;
    }
    return false;
}

std::string WindowText(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// A window's rectangle in the client area of `reference`.
RECT PlaceIn(HWND window, HWND reference) {
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int CountControls(const TWinControl& container) {
    int n = 0;
    for (TControl* c : container.Controls()) {
        ++n;
        if (auto* w = dynamic_cast<TWinControl*>(c)) n += CountControls(*w);
    }
    return n;
}

class LayoutTest : public WindowTest {
protected:
    TControl* Of(const Row& row) const { return row.member(*form); }

    // The components of one class in table order, optionally of one parent:
    // lamps DI1..DI5 then DO1..DO12, as the register map lists the lines.
    template <class T>
    std::vector<T*> All(const std::string& parent = "") const {
        std::vector<T*> found;
        for (const Row& row : kRows) {
            auto* c = dynamic_cast<T*>(Of(row));
            if (c && (parent.empty() || parent == row.parent)) found.push_back(c);
        }
        return found;
    }
    std::vector<TShape*> Lamps() const { return All<TShape>(); }
    std::vector<TButton*> OutputButtons() const { return All<TButton>("GroupBox3"); }
    std::vector<HWND> OutputButtonWindows() const {
        std::vector<HWND> windows;
        for (TButton* b : OutputButtons()) windows.push_back(b->Handle());
        return windows;
    }
    // The line labels in the same order.
    std::vector<TLabel*> LineLabels() const {
        const TTarnwick& f = *form;
        return {f.Label_ACK, f.Label_Busy, f.Label_Paper_Out, f.Label_Select, f.Label_Error, f.Label_Strobe,
                f.Label_D0,  f.Label_D1,   f.Label_D2,        f.Label_D3,     f.Label_D4,    f.Label_D5,
                f.Label_D6,  f.Label_D7,   f.Label_LineFeed,  f.Label_Reset,  f.Label_SelectPrinter};
    }

    // Where Tab takes the focus, from the first control round to where it
    // would start again (at most 20 steps).
    std::vector<HWND> TabCycle() const {
        const HWND first = GetNextDlgTabItem(form->Handle(), nullptr, FALSE);
        std::vector<HWND> order{first};
        for (HWND next = GetNextDlgTabItem(form->Handle(), first, FALSE); next && next != first && order.size() < 20;
             next = GetNextDlgTabItem(form->Handle(), next, FALSE))
            order.push_back(next);
        return order;
    }
};

using LayoutComponents = LayoutTest;
using LayoutWindow = LayoutTest;
using LayoutContainers = LayoutTest;
using LayoutLamps = LayoutTest;
using LayoutRegisterPanel = LayoutTest;
using LayoutWiring = LayoutTest;
using LayoutTabOrder = LayoutTest;

// ---- Components ---------------------------------------------------------------

TEST_F(LayoutComponents, EachHasItsKindParentPlaceTextAndFont) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        TControl* c = Of(row);
        ASSERT_NE(c, nullptr);
        EXPECT_EQ(c->Name, row.name) << "member bound to another component";
        EXPECT_TRUE(IsKind(c, row.kind));
        ASSERT_NE(c->Parent(), nullptr);
        EXPECT_EQ(c->Parent()->Name, row.parent);
        EXPECT_EQ(c->Left(), row.left);
        EXPECT_EQ(c->Top(), row.top);
        const int slack = row.kind == Kind::Label ? kLabelSlack : 0;
        EXPECT_LE(std::abs(c->Width() - row.width), slack) << "width " << c->Width();
        EXPECT_LE(std::abs(c->Height() - row.height), slack) << "height " << c->Height();
        EXPECT_TRUE(c->Enabled());
        EXPECT_EQ(c->Font->Name(), "MS Sans Serif");
        EXPECT_EQ(c->Font->Color(), clWindowText);
        if (row.fontHeight) {
            EXPECT_EQ(c->Font->Height(), row.fontHeight);
            EXPECT_EQ(c->Font->Style(), row.bold ? TFontStyles{fsBold} : 0u);
        }
        if (row.text) {
            auto* edit = dynamic_cast<TMaskEdit*>(c);
            EXPECT_EQ(edit ? edit->Text() : c->Caption(), row.text);
        }
        auto* w = dynamic_cast<TWinControl*>(c);
        EXPECT_EQ(w ? w->TabOrder : -1, row.tabOrder);
        if (!w) continue;
        // The window itself, where the system draws and clicks land.
        ASSERT_NE(w->Handle(), nullptr);
        EXPECT_EQ(GetParent(w->Handle()), w->Parent()->Handle());
        const RECT placed = PlaceIn(w->Handle(), GetParent(w->Handle())), designed = c->BoundsRect();
        EXPECT_TRUE(EqualRect(&placed, &designed)) << "window at " << placed.left << "," << placed.top << " "
                                                   << placed.right - placed.left << "x" << placed.bottom - placed.top;
        EXPECT_TRUE(GetWindowLongA(w->Handle(), GWL_STYLE) & WS_VISIBLE);
        EXPECT_TRUE(IsWindowEnabled(w->Handle()));
        if (row.text && row.kind != Kind::Edit) {
            EXPECT_EQ(WindowText(w->Handle()), row.text);
        }
    }
}

TEST_F(LayoutComponents, TheTreeHoldsTheseAndNothingElse) {
    EXPECT_EQ(CountControls(*form), static_cast<int>(std::size(kRows)));
    std::set<TControl*> distinct;
    for (const Row& row : kRows) distinct.insert(Of(row));
    EXPECT_EQ(distinct.size(), std::size(kRows)) << "two members share a component";
    for (TTimer* timer : {form->TimerLEDs, form->TimerValues}) {
        EXPECT_EQ(timer->Owner(), form);
        EXPECT_EQ(dynamic_cast<TControl*>(static_cast<TComponent*>(timer)), nullptr) << "no place in the window";
    }
}

TEST_F(LayoutComponents, ButtonAndFieldWindowsDrawInTheirFont) {
    std::vector<TWinControl*> windows{form->ButtonSet, form->MaskEdit_REGISTER};
    for (TButton* b : OutputButtons()) windows.push_back(b);
    for (TWinControl* w : windows) {
        SCOPED_TRACE(w->Name);
        auto font = reinterpret_cast<HFONT>(SendMessageA(w->Handle(), WM_GETFONT, 0, 0));
        LOGFONTA lf{};
        ASSERT_TRUE(font && GetObjectA(font, sizeof lf, &lf));
        EXPECT_EQ(lf.lfHeight, w->Font->Height());
        EXPECT_EQ(lf.lfWeight >= FW_BOLD, (w->Font->Style() & fsBold) != 0);
        EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    }
    EXPECT_EQ(FontOnScreen(*form->LabelRegisterType->Font).Face(), "MS Sans Serif") << "the face is installed";
}

// ---- The window -------------------------------------------------------------

TEST_F(LayoutWindow, PlaceCaptionColourAndClientArea) {
    const HWND window = form->Handle();
    EXPECT_EQ(form->Name, "Tarnwick");
    EXPECT_EQ(form->Caption(), "Tarnwick");
    EXPECT_EQ(WindowText(window), "Tarnwick");
    EXPECT_EQ(form->Color(), clBtnFace);
    EXPECT_EQ(form->Font->Height(), -11);
    EXPECT_EQ(form->Font->Style(), 0u);
    EXPECT_TRUE(GetWindowLongA(window, GWL_STYLE) & WS_THICKFRAME) << "sizeable";
    RECT outer, client;
    GetWindowRect(window, &outer);
    EXPECT_EQ(outer.left, 289);
    EXPECT_EQ(outer.top, 122);
    EXPECT_EQ(outer.right - outer.left, 947);
    EXPECT_EQ(outer.bottom - outer.top, 589);
    GetClientRect(window, &client);
    EXPECT_GE(client.right, 929) << "Panel3's right edge";
    EXPECT_GE(client.bottom, 553) << "Panel3's bottom edge";
}

TEST_F(LayoutWindow, ResizingMovesNoComponent) {
    const HWND window = form->Handle();
    auto placesNow = [&] {
        std::vector<RECT> places;
        for (const Row& row : kRows) {
            places.push_back(Of(row)->BoundsRect());
            if (auto* w = dynamic_cast<TWinControl*>(Of(row))) places.push_back(PlaceIn(w->Handle(), window));
        }
        return places;
    };
    const std::vector<RECT> before = placesNow();
    for (SIZE size : {SIZE{1400, 900}, SIZE{300, 200}, SIZE{947, 589}}) {
        SCOPED_TRACE(size.cx);
        MoveWindow(window, 289, 122, size.cx, size.cy, TRUE);
        const std::vector<RECT> now = placesNow();
        for (size_t i = 0; i < now.size(); ++i) EXPECT_TRUE(EqualRect(&now[i], &before[i])) << i;
    }
}

// ---- Containers and the picture ---------------------------------------------

TEST_F(LayoutContainers, PanelCaptionsAreCoveredByTheirChild) {
    for (TPanel* panel : {form->Panel1, form->Panel2, form->Panel3}) {
        SCOPED_TRACE(panel->Name);
        ASSERT_EQ(panel->Controls().size(), 1u);
        const RECT child = panel->Controls()[0]->BoundsRect();
        // The caption would be drawn centred in the panel.
        const SIZE text = FontOnScreen(*panel->Font).Extent(panel->Caption());
        const int x = (panel->Width() - text.cx) / 2, y = (panel->Height() - text.cy) / 2;
        const RECT caption{x, y, x + text.cx, y + text.cy};
        RECT hidden;
        IntersectRect(&hidden, &caption, &child);
        EXPECT_TRUE(EqualRect(&hidden, &caption)) << "some of \"" << panel->Caption() << "\" shows";
        EXPECT_TRUE(GetWindowLongA(panel->Handle(), GWL_STYLE) & WS_CLIPCHILDREN) << "drawn under the child";
    }
}

TEST_F(LayoutContainers, PictureIsThe24BitConnectorBitmapAtItsNaturalSize) {
    const TBitmap& picture = form->Image1->Picture;
    EXPECT_EQ(picture.Width(), 314);
    EXPECT_EQ(picture.Height(), 286);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(picture.Handle(), sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBmih.biBitCount, 24);
    EXPECT_EQ(dib.dsBmih.biCompression, static_cast<DWORD>(BI_RGB));
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, picture.Handle());
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255)) << "white background at the top-left";
    SelectObject(dc, old);
    DeleteDC(dc);
}

// ---- Lamps and line labels --------------------------------------------------

TEST_F(LayoutLamps, StartAsWhiteCircles) {
    for (TShape* lamp : Lamps()) {
        SCOPED_TRACE(lamp->Name);
        EXPECT_EQ(lamp->Shape, stCircle);
        EXPECT_EQ(lamp->Brush->Color(), clWhite);
    }
}

TEST_F(LayoutLamps, UnderEachStandsTheRegisterMapsLineLabel) {
    const std::vector<TShape*> lamps = Lamps();
    const std::vector<TLabel*> labels = LineLabels();
    ASSERT_EQ(lamps.size(), kLines.size());
    for (size_t i = 0; i < kLines.size(); ++i) {
        SCOPED_TRACE(kLines[i].name);
        EXPECT_EQ(labels[i]->Caption(), kLines[i].label);
        EXPECT_EQ(labels[i]->Parent(), lamps[i]->Parent());
        const int centre = lamps[i]->Left() + lamps[i]->Width() / 2;
        EXPECT_LE(labels[i]->Left(), centre);
        EXPECT_GE(labels[i]->Left() + labels[i]->Width(), centre);
        EXPECT_GT(labels[i]->Top(), lamps[i]->Top() + lamps[i]->Height());
    }
}

TEST_F(LayoutLamps, CentredLineLabelsKeepTheirWidthOnOneLine) {
    for (auto [label, width] : {std::pair{form->Label_LineFeed, 75}, std::pair{form->Label_SelectPrinter, 84}}) {
        SCOPED_TRACE(label->Name);
        EXPECT_EQ(label->Alignment, TLabel::taCenter);
        EXPECT_TRUE(label->WordWrap);
        EXPECT_EQ(label->Width(), width);
        EXPECT_EQ(label->Height(), 20) << "one line";
    }
}

// ---- Register panel -----------------------------------------------------------

// A value grows to the right from its Left and stays clear of the next column.
TEST_F(LayoutRegisterPanel, LongestValuesStayInTheirColumns) {
    RegisterSnapshot = {-128, -128, -128};  // the widest a sign-extended byte shows
    form->TimerValues->OnTimer()(form->TimerValues);
    const struct {
        TLabel* value;
        int left, nextColumn;
    } columns[] = {{form->LabelHexValueData, 218, form->LabelStatus->Left()},
                   {form->LabelHexValueControl, 288, form->LabelControl_->Left()},
                   {form->LabelHexValueStatus, 364, form->PanelHexValues->Width()}};
    for (const auto& c : columns) {
        SCOPED_TRACE(c.value->Name);
        EXPECT_EQ(c.value->Caption(), "-128");
        EXPECT_EQ(c.value->Left(), c.left);
        EXPECT_GT(c.value->Width(), 9);
        EXPECT_LT(c.value->Left() + c.value->Width(), c.nextColumn);
    }
}

// ---- Event wiring, seen by its effects ----------------------------------------

TEST_F(LayoutWiring, SetAppliesTheAddress) {
    ApplyAddress("0X378");
    EXPECT_TRUE(AddressApplied);
    EXPECT_EQ(BaseAddress, 0x378);
    EXPECT_FALSE(form->ButtonSet->Enabled());
    EXPECT_FALSE(form->MaskEdit_REGISTER->Enabled());
}

TEST_F(LayoutWiring, EachOutputButtonTogglesItsOwnOutput) {
    ApplyAddress("0X378");
    const std::vector<TButton*> buttons = OutputButtons();
    for (size_t n = 0; n < buttons.size(); ++n) {
        SCOPED_TRACE(buttons[n]->Name);
        Click(buttons[n]);
        for (size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(ToggleCount[i], i == n ? 1 : 0) << "output " << i + 1;
            EXPECT_EQ(buttons[i]->Font->Style(), i == n ? TFontStyles{fsBold} : 0u) << buttons[i]->Name;
        }
        Click(buttons[n]);  // off again before the next
        EXPECT_EQ(ToggleCount[n], 0);
        EXPECT_EQ(buttons[n]->Font->Style(), 0u);
    }
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LayoutWiring, OnlyTheButtonsAnswerClicks) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(static_cast<bool>(Of(row)->OnClick), row.kind == Kind::Button);
    }
    EXPECT_FALSE(form->OnClick);
}

TEST_F(LayoutWiring, BothTimersRunEveryMillisecondFromCreation) {
    for (TTimer* timer : {form->TimerLEDs, form->TimerValues}) {
        SCOPED_TRACE(timer->Name);
        EXPECT_EQ(timer->Interval(), 1u);
        EXPECT_TRUE(timer->Enabled());
        EXPECT_TRUE(static_cast<bool>(timer->OnTimer()));
    }
    ApplyAddress("0X378");
    RegisterSnapshot = {77, 88, 99};
    EXPECT_TRUE(PumpUntil([&] {
        return form->LabelHexValueData->Caption() == "77" && form->Shape_DI_1->Brush->Color() != clWhite;
    })) << "with messages dispatched, both timers tick";
}

TEST_F(LayoutWiring, ValuesTickShowsTheSnapshotInItsColumns) {
    RegisterSnapshot = {12, 34, 56};
    form->TimerValues->OnTimer()(form->TimerValues);
    EXPECT_EQ(form->LabelHexValueData->Caption(), "12");
    EXPECT_EQ(form->LabelHexValueControl->Caption(), "34") << "under \"Status\"";
    EXPECT_EQ(form->LabelHexValueStatus->Caption(), "56") << "under \"Control\"";
}

TEST_F(LayoutWiring, LampsTickColoursEveryLampOnceAnAddressIsSet) {
    ApplyAddress("0X378");
    form->TimerLEDs->OnTimer()(form->TimerLEDs);
    for (TShape* lamp : Lamps()) EXPECT_NE(lamp->Brush->Color(), clWhite) << lamp->Name;
}

TEST_F(LayoutWiring, FieldEntryIsWiredAndChangesNothing) {
    ASSERT_TRUE(static_cast<bool>(form->MaskEdit_REGISTER->OnEnter));
    form->Show();  // the focus goes to the field, which raises its entry event
    EXPECT_EQ(GetFocus(), form->MaskEdit_REGISTER->Handle());
    form->MaskEdit_REGISTER->OnEnter(form->MaskEdit_REGISTER);
    EXPECT_TRUE(Traffic().empty());
    EXPECT_EQ(form->MaskEdit_REGISTER->Text(), "0X378");
    EXPECT_TRUE(form->MaskEdit_REGISTER->Enabled());
    EXPECT_EQ(form->Label0x379->Caption(), "0xDE01");
    EXPECT_TRUE(messages.shown.empty());
}

// ---- Tab order ----------------------------------------------------------------

TEST_F(LayoutTabOrder, FieldSetThenTheOutputButtonsAndRoundAgain) {
    std::vector<HWND> expected{form->MaskEdit_REGISTER->Handle(), form->ButtonSet->Handle()};
    for (HWND b : OutputButtonWindows()) expected.push_back(b);
    EXPECT_EQ(TabCycle(), expected);
}

TEST_F(LayoutTabOrder, AfterSetTheOutputButtonsAlone) {
    ApplyAddress("0X378");
    EXPECT_EQ(TabCycle(), OutputButtonWindows());
}

}  // namespace
