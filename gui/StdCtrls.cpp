#include "StdCtrls.h"

#include <oleacc.h>

#include <algorithm>
#include <map>

#include "SysUtils.h"

namespace {
bool IsTrue(const TLayoutValue& v) { return v.kind == TLayoutValue::Identifier && v.text == "True"; }
}  // namespace

// ---- TLabel -------------------------------------------------------------------

UINT TLabel::DrawFlags() const {
    UINT flags = DT_NOPREFIX | (WordWrap ? DT_WORDBREAK : DT_SINGLELINE);
    if (Alignment == taCenter) flags |= DT_CENTER;
    if (Alignment == taRightJustify) flags |= DT_RIGHT;
    return flags;
}

namespace {
// The rectangle DrawText needs for text in font, wrapped at `width` (0: not wrapped).
RECT TextRect(const TFont& font, const std::string& text, int width, UINT flags) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font.Handle());
    RECT r{0, 0, width, 0};
    // An empty caption still takes one line's height.
    DrawTextA(dc, text.empty() ? " " : text.c_str(), -1, &r, flags | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return r;
}
}  // namespace

// A scaled face may draw wider than the bitmap face the layout was measured
// with: a wrapped label whose text is one line at 96 pixels per inch stays
// one line, widening about its centre, rather than wrapping below its box.
bool TLabel::OneLineAsDesigned() const {
    if (!WordWrap || pixelsPerInch_ == kDesignPixelsPerInch) return false;
    TFont designed;
    designed.Assign(*Font);
    designed.ScaleTo(kDesignPixelsPerInch);
    const RECT one = TextRect(designed, " ", 0, DT_SINGLELINE);
    return TextRect(designed, caption_, ScaleValue(width_, kDesignPixelsPerInch, pixelsPerInch_), DrawFlags()).bottom ==
           one.bottom;
}

// Back to the box the layout gave, before it is measured or scaled again.
void TLabel::Unwiden() {
    if (!widened_) return;
    const int by = widened_;
    widened_ = 0;
    SetBounds(left_ + by / 2, top_, width_ - by, height_);
}

void TLabel::ChangeScale(int pixelsPerInch) {
    Unwiden();
    TGraphicControl::ChangeScale(pixelsPerInch);
    AdjustSize();
}

void TLabel::AdjustSize() {
    if (!AutoSize || Loading()) return;
    Unwiden();
    RECT r = TextRect(*Font, caption_, WordWrap ? width_ : 0, DrawFlags());
    if (OneLineAsDesigned()) {
        const RECT line = TextRect(*Font, caption_, 0, DT_SINGLELINE | DT_NOPREFIX);
        if (line.right > width_) {
            widened_ = line.right - width_;
            SetBounds(left_ - widened_ / 2, top_, line.right, line.bottom);
            return;
        }
        r.bottom = line.bottom;
    }
    SetBounds(left_, top_, WordWrap ? width_ : (caption_.empty() ? 0 : r.right), r.bottom);
}

LONG TLabel::AccessibleRole() const { return ROLE_SYSTEM_STATICTEXT; }

void TLabel::CaptionChanged() {
    AdjustSize();
    Invalidate();
}

void TLabel::FontChanged() {
    AdjustSize();
    Invalidate();
}

void TLabel::Paint(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    RECT r{0, 0, width_, height_};
    SetTextColor(dc, enabled_ ? ColorToRGB(Font->Color()) : GetSysColor(COLOR_GRAYTEXT));
    DrawTextA(dc, caption_.c_str(), -1, &r, DrawFlags());
    SelectObject(dc, old);
}

bool TLabel::SetProperty(const std::string& name, const TLayoutValue& v) {
    if (name == "Alignment") {
        if (v.text == "taCenter") Alignment = taCenter;
        else if (v.text == "taRightJustify") Alignment = taRightJustify;
        else if (v.text == "taLeftJustify") Alignment = taLeftJustify;
        else throw Exception("Unknown alignment " + v.text);
    } else if (name == "WordWrap") {
        WordWrap = IsTrue(v);
    } else if (name == "AutoSize") {
        AutoSize = IsTrue(v);
    } else {
        return TGraphicControl::SetProperty(name, v);
    }
    return true;
}

// ---- TShape -------------------------------------------------------------------

TShape::TShape(TComponent* owner) : TGraphicControl(owner), Brush(new TBrush) {
    Brush->OnChange = [this] {
        Invalidate();
        ReadingChanged();
    };
}

LONG TShape::AccessibleRole() const { return reader_ ? ROLE_SYSTEM_CHECKBUTTON : ROLE_SYSTEM_GRAPHIC; }

void TShape::Paint(HDC dc) {
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
    HGDIOBJ oldBrush = SelectObject(dc, SolidBrush(Brush->Color()));
    if (Shape == stCircle) {
        // Diameter: the smaller side, centred in the other.
        const int s = std::min(width_, height_);
        const int x = (width_ - s) / 2, y = (height_ - s) / 2;
        Ellipse(dc, x, y, x + s, y + s);
    } else {
        Rectangle(dc, 0, 0, width_, height_);
    }
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
}

bool TShape::SetProperty(const std::string& name, const TLayoutValue& v) {
    if (name == "Shape") {
        if (v.text == "stCircle") Shape = stCircle;
        else if (v.text == "stRectangle") Shape = stRectangle;
        else throw Exception("Unknown shape " + v.text);
    } else if (name == "Brush.Color") {
        Brush->SetColor(static_cast<TColor>(v.integer));
    } else {
        return TGraphicControl::SetProperty(name, v);
    }
    return true;
}

// ---- TImage -------------------------------------------------------------------

void TImage::Paint(HDC dc) {
    if (!Picture.Handle()) return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, Picture.Handle());
    if (!AutoSize || (Picture.Width() == width_ && Picture.Height() == height_)) {
        BitBlt(dc, 0, 0, Picture.Width(), Picture.Height(), source, 0, 0, SRCCOPY);
    } else {
        // Averaged, not every other pixel dropped: thin lines stay.
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);  // HALFTONE needs it set after the mode
        StretchBlt(dc, 0, 0, width_, height_, source, 0, 0, Picture.Width(), Picture.Height(), SRCCOPY);
    }
    SelectObject(source, old);
    DeleteDC(source);
}

LONG TImage::AccessibleRole() const { return ROLE_SYSTEM_GRAPHIC; }

void TImage::LoadPicture() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    Picture.LoadFromResourceName(instance, TBitmap::ResourceForScale(instance, pictureName_, pixelsPerInch_));
    if (AutoSize) {
        const SIZE designed = TBitmap::ResourceSize(instance, pictureName_);
        SetBounds(left_, top_, Scaled(designed.cx), Scaled(designed.cy));
    }
    Invalidate();
}

void TImage::ChangeScale(int pixelsPerInch) {
    TGraphicControl::ChangeScale(pixelsPerInch);
    if (!pictureName_.empty()) LoadPicture();
}

bool TImage::SetProperty(const std::string& name, const TLayoutValue& v) {
    if (name == "Picture.Bitmap") {
        pictureName_ = v.text;
        LoadPicture();
    } else if (name == "AutoSize") {
        AutoSize = IsTrue(v);
    } else {
        return TGraphicControl::SetProperty(name, v);
    }
    return true;
}

// ---- TPanel and TGroupBox -----------------------------------------------------

void TPanel::PaintBackground(HDC dc, const RECT& client) {
    TWinControl::PaintBackground(dc, client);
    DrawEdge(dc, const_cast<RECT*>(&client), BDR_RAISEDINNER, BF_RECT);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font->Color()));
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    RECT text = client;
    DrawTextA(dc, caption_.c_str(), -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

void TGroupBox::PaintBackground(HDC dc, const RECT& client) {
    TWinControl::PaintBackground(dc, client);
    HGDIOBJ old = SelectObject(dc, Font->Handle());
    SIZE text{};
    GetTextExtentPoint32A(dc, caption_.c_str(), static_cast<int>(caption_.size()), &text);
    TEXTMETRICA metrics{};
    GetTextMetricsA(dc, &metrics);
    // The frame runs through the middle of the caption's line.
    RECT frame = client;
    frame.top = metrics.tmHeight / 2;
    DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
    if (!caption_.empty()) {
        const int indent = Scaled(8);
        RECT label{indent, 0, indent + text.cx + 2, metrics.tmHeight};
        FillRect(dc, &label, SolidBrush(color_));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Font->Color()));
        TextOutA(dc, indent + 1, 0, caption_.c_str(), static_cast<int>(caption_.size()));
    }
    SelectObject(dc, old);
}

// ---- TButton and TMaskEdit ----------------------------------------------------

void TButton::Command(WORD code) {
    // A disabled button takes no clicks, however the notification came about.
    if (code == BN_CLICKED && enabled_) Click();
}

std::string TMaskEdit::Text() const {
    if (!Handle()) return caption_;
    std::string text(static_cast<size_t>(GetWindowTextLengthA(Handle())) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(Handle(), &text[0], static_cast<int>(text.size()))));
    return text;
}

void TMaskEdit::SetText(const std::string& text) { SetCaption(text); }

bool TMaskEdit::SetProperty(const std::string& name, const TLayoutValue& v) {
    if (name == "Text") SetText(v.text);
    else return TWinControl::SetProperty(name, v);
    return true;
}

TNotifyEvent* TMaskEdit::Event(const std::string& name) {
    return name == "OnEnter" ? &OnEnter : TWinControl::Event(name);
}

void TMaskEdit::FontChanged() {
    TWinControl::FontChanged();
    KeepMargins();
}

// The edit control picks its text margins from a TrueType face (under Wine
// a fifth of the address field at 150 %, cutting the address): scaled, the
// field keeps narrow ones.
void TMaskEdit::KeepMargins() {
    if (Handle() && pixelsPerInch_ != kDesignPixelsPerInch)
        SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(Scaled(1), Scaled(1)));
}

void TMaskEdit::Command(WORD code) {
    if (code == EN_SETFOCUS && OnEnter) OnEnter(this);
}

// ---- TTimer -------------------------------------------------------------------

namespace {

std::map<UINT_PTR, TTimer*>& Timers() {
    static std::map<UINT_PTR, TTimer*> timers;
    return timers;
}

// One hidden message-only window receives every timer's ticks.
HWND TimerWindow(WNDPROC proc) {
    static HWND window = nullptr;
    if (!window) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TarnwickTimers";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    }
    return window;
}

}  // namespace

TTimer::~TTimer() { Stop(); }

void TTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Update();
}

void TTimer::SetInterval(unsigned interval) {
    if (interval == interval_) return;
    interval_ = interval;
    // A running timer starts again with the new interval, or stops at 0.
    Stop();
    Update();
}

void TTimer::SetOnTimer(TNotifyEvent handler) {
    onTimer_ = std::move(handler);
    Update();
}

void TTimer::Update() {
    const bool wanted = enabled_ && interval_ > 0 && onTimer_;
    if (!wanted) {
        Stop();
    } else if (!running_) {
        const auto id = reinterpret_cast<UINT_PTR>(this);
        Timers()[id] = this;
        running_ = SetTimer(TimerWindow(TimerProc), id, interval_, nullptr) != 0;
        if (!running_) Timers().erase(id);
    }
}

void TTimer::Stop() {
    if (!running_) return;
    const auto id = reinterpret_cast<UINT_PTR>(this);
    KillTimer(TimerWindow(TimerProc), id);
    Timers().erase(id);
    running_ = false;
}

LRESULT CALLBACK TTimer::TimerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER) {
        auto it = Timers().find(wParam);
        if (it != Timers().end()) {
            TTimer* timer = it->second;
            Guarded([timer] { timer->onTimer_(timer); });
        }
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

bool TTimer::SetProperty(const std::string& name, const TLayoutValue& v) {
    if (name == "Interval") SetInterval(static_cast<unsigned>(v.integer));
    else if (name == "Enabled") SetEnabled(IsTrue(v));
    else return TComponent::SetProperty(name, v);
    return true;
}

TNotifyEvent* TTimer::Event(const std::string& name) {
    return name == "OnTimer" ? &onTimer_ : TComponent::Event(name);
}
