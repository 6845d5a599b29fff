// The controls a form layout can hold.
#pragma once

#include "Controls.h"

// Text on its parent's background. Sizes itself to its text, keeping Left and
// Top; with WordWrap it keeps its Width and wraps, growing downwards.
class TLabel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    enum TAlignment { taLeftJustify, taCenter, taRightJustify };
    TAlignment Alignment = taLeftJustify;
    bool WordWrap = false;
    bool AutoSize = true;

    void Paint(HDC dc) override;
    bool SetProperty(const std::string& name, const TLayoutValue& value) override;
    void Loaded() override {
        TGraphicControl::Loaded();
        AdjustSize();
    }
    void ChangeScale(int pixelsPerInch) override;
    LONG AccessibleRole() const override;

protected:
    void CaptionChanged() override;
    void FontChanged() override;

private:
    UINT DrawFlags() const;
    bool OneLineAsDesigned() const;
    void AdjustSize();
    void Unwiden();
    int widened_ = 0;  // pixels added to the layout's width to keep one line
};

enum TShapeType { stRectangle, stCircle };

// A lamp: a shape with a one-pixel black outline and a fill colour.
class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* owner);
    TShapeType Shape = stRectangle;
    const std::unique_ptr<TBrush> Brush;
    void Paint(HDC dc) override;
    bool SetProperty(const std::string& name, const TLayoutValue& value) override;
    // A shape that has a reading is a lamp: a check box nobody can change.
    LONG AccessibleRole() const override;
};

// A picture from the program's resources, from the top-left. At 96 pixels
// per inch it is drawn at its natural size; at another scale the control
// takes the picture's size scaled and shows the copy made for the nearest
// scale at or above it, shrunk to fit where it is the larger.
class TImage : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    TBitmap Picture;
    bool AutoSize = true;
    void Paint(HDC dc) override;
    bool SetProperty(const std::string& name, const TLayoutValue& value) override;
    void ChangeScale(int pixelsPerInch) override;
    LONG AccessibleRole() const override;

private:
    void LoadPicture();
    std::string pictureName_;
};

// A container with a raised one-pixel bevel and its caption centred.
class TPanel : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void PaintBackground(HDC dc, const RECT& client) override;
};

// A container drawn as an etched frame with its caption at the top left.
class TGroupBox : public TWinControl {
public:
    using TWinControl::TWinControl;

protected:
    void PaintBackground(HDC dc, const RECT& client) override;
};

class TButton : public TWinControl {
public:
    explicit TButton(TComponent* owner) : TWinControl(owner) { TabStop = true; }

protected:
    const char* WindowClass() const override { return "BUTTON"; }
    DWORD WindowStyle() const override { return WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON; }
    void Command(WORD code) override;
};

// A one-line edit field (without an input mask: any text).
class TMaskEdit : public TWinControl {
public:
    explicit TMaskEdit(TComponent* owner) : TWinControl(owner) { TabStop = true; }
    std::string Text() const;
    void SetText(const std::string& text);

    TNotifyEvent OnEnter;
    bool SetProperty(const std::string& name, const TLayoutValue& value) override;
    TNotifyEvent* Event(const std::string& name) override;
    void Loaded() override {
        TWinControl::Loaded();
        KeepMargins();
    }

protected:
    const char* WindowClass() const override { return "EDIT"; }
    DWORD WindowStyle() const override { return WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL; }
    DWORD WindowExStyle() const override { return WS_EX_CLIENTEDGE; }
    void Command(WORD code) override;
    void FontChanged() override;

private:
    void KeepMargins();
};

// Raises OnTimer on the GUI thread every Interval milliseconds (the system
// makes anything below 10 ms 10 ms) while Enabled and a handler is set.
class TTimer : public TComponent {
public:
    explicit TTimer(TComponent* owner) : TComponent(owner) {}
    ~TTimer() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned interval);
    void SetOnTimer(TNotifyEvent handler);
    const TNotifyEvent& OnTimer() const { return onTimer_; }

    bool SetProperty(const std::string& name, const TLayoutValue& value) override;
    TNotifyEvent* Event(const std::string& name) override;
    void Loaded() override {
        TComponent::Loaded();
        Update();
    }

private:
    void Update();
    void Stop();
    static LRESULT CALLBACK TimerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
    bool enabled_ = true;
    unsigned interval_ = 1000;
    TNotifyEvent onTimer_;
    bool running_ = false;
};
