#include "Controls.h"

#include <algorithm>

#include "SysUtils.h"

namespace {

const char kContainerClass[] = "TarnwickContainer";
const char kControlProp[] = "Tarnwick.Control";

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

TFontStyles StylesFrom(const TLayoutValue& value) {
    TFontStyles styles = 0;
    for (const auto& item : value.items) {
        if (item == "fsBold") styles |= fsBold;
        else if (item == "fsItalic") styles |= fsItalic;
        else if (item == "fsUnderline") styles |= fsUnderline;
        else if (item == "fsStrikeOut") styles |= fsStrikeOut;
        else throw Exception("Unknown font style " + item);
    }
    return styles;
}

TColor ColorFrom(const TLayoutValue& value) {
    if (value.kind == TLayoutValue::Integer) return static_cast<TColor>(value.integer);
    if (value.text == "clBtnFace") return clBtnFace;
    if (value.text == "clWhite") return clWhite;
    if (value.text == "clBlack") return clBlack;
    throw Exception("Unknown colour " + value.text);
}

}  // namespace

// ---- TComponent -------------------------------------------------------------

TComponent::TComponent(TComponent* owner) : owner_(owner) {
    if (owner) owner->owned_.emplace_back(this);
}

TComponent::~TComponent() {
    DestroyComponents();
    if (!owner_) return;
    // Leave the owner's list (a constructor that throws ends up here too).
    auto& siblings = owner_->owned_;
    for (size_t i = 0; i < siblings.size(); ++i) {
        if (siblings[i].get() != this) continue;
        siblings[i].release();
        siblings.erase(siblings.begin() + static_cast<std::ptrdiff_t>(i));
        break;
    }
}

void TComponent::DestroyComponents() {
    while (!owned_.empty()) {
        std::unique_ptr<TComponent> last = std::move(owned_.back());
        owned_.pop_back();
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const {
    for (const auto& c : owned_)
        if (c->Name == name) return c.get();
    return nullptr;
}

bool TComponent::SetProperty(const std::string& name, const TLayoutValue&) {
    return name == "Name";
}

TNotifyEvent* TComponent::Event(const std::string&) { return nullptr; }

// ---- TControl ---------------------------------------------------------------

TControl::TControl(TComponent* owner) : TComponent(owner), Font(new TFont) {
    Font->OnChange = [this] {
        if (!followingParent_) parentFont_ = false;
        FontChanged();
        ParentFontChanged();
    };
}

TControl::~TControl() {
    if (parent_) {
        auto& siblings = parent_->controls_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
}

void TControl::SetParent(TWinControl* parent) {
    parent_ = parent;
    parent->controls_.push_back(this);
    pixelsPerInch_ = parent->pixelsPerInch_;
    if (parentFont_) {
        followingParent_ = true;
        Font->Assign(*parent->Font);
        followingParent_ = false;
    }
}

void TControl::ParentFontChanged() {
    auto* self = dynamic_cast<TWinControl*>(this);
    if (!self) return;
    for (TControl* child : self->controls_) {
        if (!child->parentFont_) continue;
        child->followingParent_ = true;
        child->Font->Assign(*Font);
        child->followingParent_ = false;
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    const RECT old = BoundsRect();
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    BoundsChanged(old);
}

void TControl::BoundsChanged(const RECT& old) {
    if (parent_ && parent_->Handle()) InvalidateRect(parent_->Handle(), &old, FALSE);
    Invalidate();
}

void TControl::ChangeScale(int pixelsPerInch) {
    const int from = pixelsPerInch_;
    if (pixelsPerInch == from) return;
    pixelsPerInch_ = pixelsPerInch;
    SetBounds(ScaleValue(left_, pixelsPerInch, from), ScaleValue(top_, pixelsPerInch, from),
              ScaleValue(width_, pixelsPerInch, from), ScaleValue(height_, pixelsPerInch, from));
    // A font of the parent's has been scaled with it.
    if (!parentFont_) Font->ScaleTo(pixelsPerInch);
}

void TControl::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    CaptionChanged();
    if (!Loading()) AnnounceCaption();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Invalidate();
}

void TControl::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Invalidate();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::Invalidate() {}

bool TControl::SetProperty(const std::string& name, const TLayoutValue& v) {
    const int scaled = Scaled(static_cast<int>(v.integer));
    if (name == "Left") SetBounds(scaled, top_, width_, height_);
    else if (name == "Top") SetBounds(left_, scaled, width_, height_);
    else if (name == "Width") SetBounds(left_, top_, scaled, height_);
    else if (name == "Height") SetBounds(left_, top_, width_, scaled);
    else if (name == "Caption") SetCaption(v.text);
    else if (name == "Enabled") SetEnabled(v.text == "True");
    else if (name == "Color") SetColor(ColorFrom(v));
    else if (name == "Font.Name") Font->SetName(v.text);
    else if (name == "Font.Height") Font->SetHeight(scaled);
    else if (name == "Font.Style") Font->SetStyle(StylesFrom(v));
    else return TComponent::SetProperty(name, v);
    return true;
}

TNotifyEvent* TControl::Event(const std::string& name) {
    return name == "OnClick" ? &OnClick : TComponent::Event(name);
}

// ---- TGraphicControl ----------------------------------------------------------

void TGraphicControl::SetParent(TWinControl* parent) {
    TControl::SetParent(parent);
    Invalidate();
}

void TGraphicControl::Invalidate() {
    if (!parent_ || !parent_->Handle()) return;
    const RECT r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, FALSE);
}

// ---- TWinControl --------------------------------------------------------------

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    DisconnectAccessible();
    if (!handle_) return;
    // Unbound first: the messages of its destruction must not reach an
    // object that is half gone.
    RemovePropA(handle_, kControlProp);
    DestroyWindow(handle_);
}

void TWinControl::HandleDestroyed() noexcept {
    DisconnectAccessible();
    RemovePropA(handle_, kControlProp);
    handle_ = nullptr;
}

TWinControl* TWinControl::FromHandle(HWND window) {
    return static_cast<TWinControl*>(GetPropA(window, kControlProp));
}

const char* TWinControl::WindowClass() const { return kContainerClass; }

DWORD TWinControl::WindowStyle() const { return WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS; }

void TWinControl::RegisterWindowClass(const char* name) {
    WNDCLASSA existing;
    if (GetClassInfoA(Instance(), name, &existing)) return;
    WNDCLASSA wc{};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ContainerProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIconA(Instance(), "MAINICON");
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

void TWinControl::CreateHandle(HWND parentWindow) {
    RegisterWindowClass(kContainerClass);
    DWORD exStyle = WindowExStyle();
    if (WindowClass() == std::string(kContainerClass) && parentWindow) exStyle |= WS_EX_CONTROLPARENT;
    DWORD style = WindowStyle();
    if (TabStop) style |= WS_TABSTOP;
    if (!enabled_) style |= WS_DISABLED;
    // The container procedure finds its control from the creation parameter.
    handle_ = CreateWindowExA(exStyle, WindowClass(), caption_.c_str(), style, left_, top_, width_, height_,
                              parentWindow, nullptr, Instance(), this);
    if (!handle_) throw Exception("Cannot create window for " + Name);
    SetPropA(handle_, kControlProp, this);
    // Windows of the system's classes (buttons, edits) are served by their
    // class; ours stands in front of it only to see the focus come and the
    // window go.
    if (GetWindowLongPtrA(handle_, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(ContainerProc))
        SetWindowLongPtrA(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SystemControlProc));
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font->Handle()), FALSE);
}

// While a layout sets the control's properties one by one, its window waits:
// created at the end with its final place, caption and font, it costs one
// call instead of one per property (each a round trip to the window server).
void TWinControl::SetParent(TWinControl* parent) {
    TControl::SetParent(parent);
    if (!Loading()) HandleNeeded();
}

void TWinControl::Loaded() {
    TControl::Loaded();
    HandleNeeded();
}

HWND TWinControl::HandleNeeded() {
    if (!handle_) CreateHandle(parent_ ? parent_->HandleNeeded() : nullptr);
    return handle_;
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    TControl::SetBounds(left, top, width, height);
    if (handle_) MoveWindow(handle_, left_, top_, width_, height_, TRUE);
}

// The control first, then its children: they follow its font.
void TWinControl::ChangeScale(int pixelsPerInch) {
    TControl::ChangeScale(pixelsPerInch);
    for (TControl* child : controls_) child->ChangeScale(pixelsPerInch);
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    if (!enabled) PassOnFocus();
    enabled_ = enabled;
    if (handle_) EnableWindow(handle_, enabled);
}

// A disabled window loses the focus to nothing, and the keyboard would be
// dead until a click. So the focus goes on first, where Tab would take it.
void TWinControl::PassOnFocus() {
    const HWND focus = GetFocus();
    if (!handle_ || !focus || (focus != handle_ && !IsChild(handle_, focus))) return;
    const HWND root = GetAncestor(handle_, GA_ROOT);
    const HWND next = root == handle_ ? nullptr : GetNextDlgTabItem(root, handle_, FALSE);
    if (next && next != handle_ && !IsChild(handle_, next)) SetFocus(next);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, FALSE);
}

void TWinControl::CaptionChanged() {
    if (handle_) SetWindowTextA(handle_, caption_.c_str());
    Invalidate();
}

void TWinControl::FontChanged() {
    if (handle_) SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font->Handle()), TRUE);
    ReadingChanged();
}

bool TWinControl::SetProperty(const std::string& name, const TLayoutValue& v) {
    if (name == "TabOrder") TabOrder = static_cast<int>(v.integer);
    else return TControl::SetProperty(name, v);
    return true;
}

void TWinControl::ApplyTabOrder() {
    std::vector<TWinControl*> windowed;
    for (TControl* c : controls_)
        if (auto* w = dynamic_cast<TWinControl*>(c)) windowed.push_back(w);
    std::stable_sort(windowed.begin(), windowed.end(),
                     [](const TWinControl* a, const TWinControl* b) { return a->TabOrder < b->TabOrder; });
    HWND after = HWND_TOP;
    for (TWinControl* w : windowed) {
        SetWindowPos(w->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
        after = w->handle_;
        w->ApplyTabOrder();
    }
}

void TWinControl::PaintBackground(HDC dc, const RECT& client) { FillRect(dc, &client, SolidBrush(color_)); }

void TWinControl::PaintWindow() {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(handle_, &ps);
    PaintArea(screen, ps.rcPaint);
    EndPaint(handle_, &ps);
}

// Draws into a buffer a band of rows at a time, each band copied to the
// target in one go: no flicker, and the buffer stays small (a whole
// window's would be megabytes for its first paint).
void TWinControl::PaintArea(HDC target, const RECT& area, int bufferBytes) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0) return;
    const int bandRows = std::max(1, std::min(h, bufferBytes / (4 * w)));
    HDC dc = CreateCompatibleDC(target);
    HBITMAP bitmap = CreateCompatibleBitmap(target, w, bandRows);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT client;
    GetClientRect(handle_, &client);
    for (int top = area.top; top < area.bottom; top += bandRows) {
        const RECT band{area.left, top, area.right, std::min<LONG>(area.bottom, top + bandRows)};
        PaintBand(dc, client, band);
        BitBlt(target, band.left, band.top, w, band.bottom - band.top, dc, 0, 0, SRCCOPY);
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

// Background, then the graphic children that reach into the band, each
// clipped to its own rectangle; dc's top-left pixel is the band's.
void TWinControl::PaintBand(HDC dc, const RECT& client, const RECT& band) {
    SetViewportOrgEx(dc, -band.left, -band.top, nullptr);
    PaintBackground(dc, client);
    for (TControl* c : controls_) {
        auto* g = dynamic_cast<TGraphicControl*>(c);
        RECT r = g ? g->BoundsRect() : RECT{}, overlap;
        if (!g || !IntersectRect(&overlap, &r, &band)) continue;
        const int saved = SaveDC(dc);
        SetViewportOrgEx(dc, r.left - band.left, r.top - band.top, nullptr);
        IntersectClipRect(dc, 0, 0, r.right - r.left, r.bottom - r.top);
        g->Paint(dc);
        RestoreDC(dc, saved);
    }
    SetViewportOrgEx(dc, 0, 0, nullptr);
}

LRESULT TWinControl::DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(handle_, msg, wParam, lParam);
}

LRESULT TWinControl::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT draws everything
    case WM_PAINT:
        PaintWindow();
        return 0;
    case WM_COMMAND:
        if (TWinControl* child = lParam ? FromHandle(reinterpret_cast<HWND>(lParam)) : nullptr) {
            child->Command(HIWORD(wParam));
            return 0;
        }
        break;
    case WM_GETOBJECT: {
        LRESULT object = 0;
        if (AnswerAccessibleRequest(wParam, lParam, object)) return object;
        break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC:
        // Buttons (and disabled edits' surroundings) sit on the button face.
        SetBkColor(reinterpret_cast<HDC>(wParam), ColorToRGB(color_));
        return reinterpret_cast<LRESULT>(SolidBrush(color_));
    }
    return DefaultProc(msg, wParam, lParam);
}

LRESULT CALLBACK TWinControl::ContainerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    TWinControl* control = FromHandle(window);
    if (!control && msg == WM_NCCREATE) {
        control = static_cast<TWinControl*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        control->handle_ = window;
        SetPropA(window, kControlProp, control);
    }
    if (!control) return DefWindowProcA(window, msg, wParam, lParam);
    if (msg == WM_SETFOCUS) NoteFocus(window);
    LRESULT result = 0;
    bool handled = false;
    Guarded([&] {
        result = control->WndProc(msg, wParam, lParam);
        handled = true;
    });
    if (!handled) result = DefWindowProcA(window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) control->HandleDestroyed();
    return result;
}

LRESULT CALLBACK TWinControl::SystemControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    const auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(window, GCLP_WNDPROC));
    if (msg == WM_SETFOCUS) NoteFocus(window);
    // The system's object for the control, with the control's name and states.
    LRESULT object = 0;
    if (msg == WM_GETOBJECT) {
        TWinControl* control = FromHandle(window);
        if (control && control->AnswerAccessibleRequest(wParam, lParam, object)) return object;
    }
    if (msg == WM_NCDESTROY) {
        if (TWinControl* control = FromHandle(window)) control->HandleDestroyed();
    }
    return CallWindowProcA(classProc, window, msg, wParam, lParam);
}

void TWinControl::NoteFocus(HWND window) noexcept {
    const HWND root = GetAncestor(window, GA_ROOT);
    if (TWinControl* top = root != window ? FromHandle(root) : nullptr) top->ControlFocused(window);
}
