// Forms, the application object and the message dialogs.
#pragma once

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "Controls.h"
#include "SysUtils.h"

class TForm;

// What a form class publishes to its layout: its component members and its
// event handlers, each by name.
class TPublished {
public:
    using FieldBinder = std::function<bool(TForm&, TComponent*)>;  // false: wrong class
    using MethodBinder = std::function<TNotifyEvent(TForm&)>;

    template <class Form, class Component>
    TPublished& Field(const char* name, Component* Form::*member) {
        fields_.push_back({name, [member](TForm& form, TComponent* c) {
                               auto* typed = dynamic_cast<Component*>(c);
                               if (typed) static_cast<Form&>(form).*member = typed;
                               return typed != nullptr;
                           }});
        return *this;
    }

    template <class Form>
    TPublished& Method(const char* name, void (Form::*method)(TObject*)) {
        methods_.push_back({name, [method](TForm& form) -> TNotifyEvent {
                                Form* f = &static_cast<Form&>(form);
                                return [f, method](TObject* sender) { (f->*method)(sender); };
                            }});
        return *this;
    }

    const FieldBinder* FindField(const std::string& name) const;
    const MethodBinder* FindMethod(const std::string& name) const;
    std::vector<std::string> FieldNames() const;

private:
    template <class Binder>
    struct Entry {
        std::string name;
        Binder bind;
    };
    std::vector<Entry<FieldBinder>> fields_;
    std::vector<Entry<MethodBinder>> methods_;
};

// A top-level window built from a layout resource (RCDATA) of the form's name.
// Activated again (after a message box, another program, minimising), it
// gives the focus back to the control that had it.
//
// Scaled to the screen: loaded, its layout (designed at 96 pixels per inch)
// takes the screen's pixels per inch; moved to a monitor of another scale
// (WM_DPICHANGED, per-monitor aware on Windows 8.1 and later), it takes
// the place the system suggests and scales its client area and controls
// again from the designed values. Its place on the screen is never scaled.
class TForm : public TWinControl {
public:
    explicit TForm(TComponent* owner);
    ~TForm() override;

    // The window as placed by its layout, moved into its monitor's work area
    // where it would not fit there; becomes visible on Show.
    void Show();
    // Focus to the first control in tab order that can take it.
    void FocusFirstControl();

    bool SetProperty(const std::string& name, const TLayoutValue& value) override;
    LRESULT WndProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The font and the controls; the window's rectangle is the caller's.
    void ChangeScale(int pixelsPerInch) override;

protected:
    // Builds the components from the layout resource, binds them to the
    // published members and their events to the published handlers; laid
    // out for the screen's pixels per inch, or those given.
    void LoadLayout(const std::string& resourceName, const TPublished& published);
    void LoadLayout(const std::string& resourceName, const TPublished& published, int pixelsPerInch);

    const char* WindowClass() const override;
    DWORD WindowStyle() const override { return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN; }
    void BoundsChanged(const RECT& old) override;

    void ControlFocused(HWND control) noexcept override;

private:
    void RestoreFocus();
    // The client width or height of the layout's outer one (at 96 pixels per inch).
    int DesignedClient(int outer, LONG SIZE::*axis) const;
    // At (left, top), sized for the designed client area at the form's
    // scale, with the frame at that scale.
    void FitClient(int left, int top);
    // Scales the form and its controls, and fits it at (left, top).
    void Rescale(int pixelsPerInch, int left, int top);
    void NotePlacedClient();
    // Scaled for the monitor the window is on, where that is not the
    // system's scale (per-monitor scales, Windows 10 1607 and later).
    void FollowMonitorScale();
    HWND lastFocus_ = nullptr;  // the control that had the focus last
    SIZE designedClient_ = {0, 0};  // at 96 pixels per inch
    SIZE placedClient_ = {-1, -1};  // the client area as last sized here; -1: not yet
};

// Shows text in a modal message box with the application's title and one
// OK button. While it is open, timers keep ticking.
void ShowMessage(const std::string& text);

// Where message boxes go: the default shows them on screen. Tests can
// replace it to see what would be shown. Flags are MB_* flags.
using TMessagePresenter = std::function<void(const std::string& title, const std::string& text, unsigned flags)>;
void SetMessagePresenter(TMessagePresenter presenter);

class TApplication : public TComponent {
public:
    TApplication();

    std::string Title;  // the program's name
    TForm* MainForm = nullptr;

    void Initialize() {}

    // Creates a form of class Form. *reference points at the new object before
    // its constructor runs, so handlers reached during construction can use it.
    // The first form created becomes the main form.
    template <class Form>
    void CreateForm(Form** reference) {
        void* memory = ::operator new(sizeof(Form));
        *reference = static_cast<Form*>(memory);
        Form* form;
        try {
            form = new (memory) Form(this);
        } catch (...) {
            *reference = nullptr;
            ::operator delete(memory);
            throw;
        }
        Adopt(form);
    }

    // Shows the main form and dispatches messages until it is closed.
    void Run();

    // Shows an exception: stop icon, its message with a full stop added
    // when the message doesn't end in punctuation.
    void ShowException(const Exception* e);
    // Shows the exception being handled; call only from a catch block.
    void HandleException(TObject* sender);

private:
    void Adopt(TForm* form);
};

extern TApplication* Application;
