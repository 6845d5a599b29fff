// Components and controls: the base classes of everything on a form.
//
// Windowed controls (TWinControl) own a window; graphic controls (labels,
// shapes, images) have none and are drawn by their parent, double-buffered,
// so a lamp changing colour repaints only its own rectangle without flicker.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Graphics.h"

class TObject {
public:
    virtual ~TObject() = default;
};

// What a control shows, as told to screen readers and UI-automation tools:
// a value ("on"; nullptr for none) and Active Accessibility states
// (STATE_SYSTEM_CHECKED...).
struct TAccessibleReading {
    const char* value;
    DWORD states;
};

// An event handler: receives the component that raised the event.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// A property value from a form layout.
struct TLayoutValue {
    enum Kind { Integer, String, Identifier, Set } kind = Integer;
    long long integer = 0;
    std::string text;               // String, Identifier
    std::vector<std::string> items; // Set
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    std::string Name;
    TComponent* Owner() const { return owner_; }

    // Sets a property by its layout name; false when the class has none of that name.
    virtual bool SetProperty(const std::string& name, const TLayoutValue& value);
    // The event of that layout name ("OnClick"...), or nullptr.
    virtual TNotifyEvent* Event(const std::string& name);
    // The layout reader calls BeginLoading before it sets the properties and
    // Loaded once it has set them all; in between, controls wait with work
    // that depends on several properties (a label's size on its caption,
    // font and wrapping; a windowed control's window).
    void BeginLoading() { loading_ = true; }
    virtual void Loaded() { loading_ = false; }
    bool Loading() const { return loading_; }

    // Destroys the owned components, newest first.
    void DestroyComponents();
    // The owned component of that name, or nullptr.
    TComponent* FindComponent(const std::string& name) const;

private:
    bool loading_ = false;
    TComponent* owner_;
    std::vector<std::unique_ptr<TComponent>> owned_;
};

class TWinControl;
class TAccessibleObject;

class TControl : public TComponent {
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual void SetBounds(int left, int top, int width, int height);

    const std::string& Caption() const { return caption_; }
    void SetCaption(const std::string& caption);

    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    TColor Color() const { return color_; }
    void SetColor(TColor color);

    // The control's font; while ParentFont is set it follows its parent's.
    const std::unique_ptr<TFont> Font;
    bool ParentFont() const { return parentFont_; }

    TNotifyEvent OnClick;
    virtual void Click();

    // The screen's pixels per inch the control is laid out for. The layout's
    // places, sizes and font heights are for 96 and are scaled as they are
    // read; ChangeScale scales them again, with the children's, for another
    // screen (rounded as MulDiv does, from the present values).
    int PixelsPerInch() const { return pixelsPerInch_; }
    virtual void ChangeScale(int pixelsPerInch);

    bool SetProperty(const std::string& name, const TLayoutValue& value) override;
    TNotifyEvent* Event(const std::string& name) override;

    // Redraws the control's area.
    virtual void Invalidate();

    // Screen readers and UI-automation tools (gui/AccessibleObject.h) know
    // the control by its name (none: its caption) and its description.
    std::string AccessibleName, AccessibleDescription;
    // What the control's look means, read from the control when asked and
    // when the look changes; a plain function, so reading costs no memory.
    using TAccessibleReader = TAccessibleReading (*)(const TControl& control);
    void SetAccessibleReader(TAccessibleReader reader);
    TAccessibleReading AccessibleReading() const;
    // The name, else the caption.
    const std::string& AccessibleText() const;
    // ROLE_SYSTEM_*: what kind of thing a graphic control is.
    virtual LONG AccessibleRole() const;

protected:
    virtual void CaptionChanged() { Invalidate(); }
    virtual void FontChanged() { Invalidate(); }
    virtual void BoundsChanged(const RECT& old);
    void ParentFontChanged();
    // The look has changed: clients listening hear of a new value or new
    // states (one event each, only what changed), or of a new caption.
    // Without a window there is nobody to tell.
    void ReadingChanged() noexcept;
    void AnnounceCaption() noexcept;

    // A layout value (designed at 96 pixels per inch) at the control's scale.
    int Scaled(int designed) const { return ScaleValue(designed, pixelsPerInch_); }

    TWinControl* parent_ = nullptr;
    int pixelsPerInch_ = kDesignPixelsPerInch;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::string caption_;
    bool enabled_ = true;
    TColor color_ = clBtnFace;
    bool parentFont_ = true;
    bool followingParent_ = false;  // while copying the parent's font
    TAccessibleReader reader_ = nullptr;
    TAccessibleReading announced_ = {nullptr, 0};  // the reading clients last heard of

private:
    void Announce(DWORD event) const noexcept;
    friend class TWinControl;
};

// A control without a window of its own, drawn by its parent.
class TGraphicControl : public TControl {
public:
    using TControl::TControl;
    // Draws onto dc, whose origin is the control's top-left corner.
    virtual void Paint(HDC dc) = 0;
    void SetParent(TWinControl* parent) override;
    void Invalidate() override;
};

// A control with a window.
class TWinControl : public TControl {
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    // The window; none while the control is being loaded from a layout.
    HWND Handle() const { return handle_; }
    // Creates the window (and its parents') now if it has none yet.
    HWND HandleNeeded();
    void SetParent(TWinControl* parent) override;
    void Loaded() override;
    void SetBounds(int left, int top, int width, int height) override;
    // Disabling the control that has the focus first moves the focus on to
    // the next control in tab order.
    void SetEnabled(bool enabled) override;
    void Invalidate() override;
    void ChangeScale(int pixelsPerInch) override;

    int TabOrder = -1;
    bool TabStop = false;

    const std::vector<TControl*>& Controls() const { return controls_; }

    // Puts the windowed children in tab order (the order the dialog manager
    // moves the focus in), recursively.
    void ApplyTabOrder();

    bool SetProperty(const std::string& name, const TLayoutValue& value) override;

    // Draws `area` of the client area (the background, then the graphic
    // children) onto target, in client coordinates, through an off-screen
    // buffer of at most bufferBytes; WM_PAINT draws the damaged area so.
    static const int kPaintBufferBytes = 128 * 1024;
    void PaintArea(HDC target, const RECT& area, int bufferBytes = kPaintBufferBytes);

    // Window messages for this control; anything thrown is reported by the
    // application and never leaves the window procedure.
    virtual LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam);

    static TWinControl* FromHandle(HWND window);

    // The child id of one of its controls in its accessible object: its
    // place among the controls, from 1 (0: not one of them).
    LONG AccessibleChildId(const TControl& child) const noexcept;

protected:
    // The window: class, style, extended style. Containers use the runtime's
    // own class; buttons and edits the system's.
    virtual const char* WindowClass() const;
    virtual DWORD WindowStyle() const;
    virtual DWORD WindowExStyle() const { return 0; }
    void CreateHandle(HWND parentWindow);
    // Registers a window class served by the runtime's window procedure.
    static void RegisterWindowClass(const char* name);

    // Containers: background and own decoration, before the graphic children.
    virtual void PaintBackground(HDC dc, const RECT& client);
    // Notifications a child window sends its parent (WM_COMMAND codes).
    virtual void Command(WORD /*code*/) {}
    // Top-level windows: one of their controls has just got the focus.
    // Called from outside the exception barrier: must not throw.
    virtual void ControlFocused(HWND /*control*/) noexcept {}

    void CaptionChanged() override;
    void FontChanged() override;

    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);

private:
    void PaintWindow();
    void PaintBand(HDC dc, const RECT& client, const RECT& band);
    void PassOnFocus();
    static void NoteFocus(HWND window) noexcept;
    // The window is going (WM_NCDESTROY): forget it, so that nothing reaches
    // a handle the system may give to another window.
    void HandleDestroyed() noexcept;
    // WM_GETOBJECT: the client area's accessible object, made on the first
    // request; false where the request is for another object or the system
    // has no Active Accessibility.
    bool AnswerAccessibleRequest(WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept;
    void DisconnectAccessible() noexcept;
    static LRESULT CALLBACK ContainerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK SystemControlProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND handle_ = nullptr;
    std::vector<TControl*> controls_;
    TAccessibleObject* accessible_ = nullptr;
    friend class TControl;
    friend class TGraphicControl;
};

// Shows the exception being handled with the application's exception
// display; never throws. Call only from a catch block.
void ReportHandlerException() noexcept;

// Runs fn; anything it throws goes to the application's exception display.
// Every window and timer procedure runs its work through this, since nothing
// may unwind through the system's frames (on 32-bit Windows that ends the
// process). A template taking the callable as it is: nothing is allocated,
// so nothing can fail, before the try.
template <class Fn>
void Guarded(Fn&& fn) noexcept {
    try {
        fn();
    } catch (...) {
        ReportHandlerException();
    }
}
