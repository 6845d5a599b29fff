#include "Forms.h"

#include <windows.h>

#include "Placement.h"
#include "ScreenScale.h"
#include "WindowIcon.h"

TApplication* Application = nullptr;

namespace {

const char kFormClass[] = "TarnwickForm";
const UINT kDpiChanged = 0x02E0;  // WM_DPICHANGED, Windows 8.1 and later

void ShowOnScreen(const std::string& title, const std::string& text, unsigned flags) {
    // Owned by the main form once it is on screen, so it stays in front of it.
    HWND owner = nullptr;
    if (Application && Application->MainForm && IsWindowVisible(Application->MainForm->Handle()))
        owner = Application->MainForm->Handle();
    MessageBoxA(owner, text.c_str(), title.c_str(), flags | (owner ? 0 : MB_TASKMODAL));
}

TMessagePresenter& Presenter() {
    static TMessagePresenter presenter = ShowOnScreen;
    return presenter;
}

// Moves the form, keeping its size, into the work area of the monitor it
// is on (or nearest to), if any of it would lie outside.
void KeepInsideWorkArea(TForm& form) {
    const RECT bounds = form.BoundsRect();
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoA(MonitorFromRect(&bounds, MONITOR_DEFAULTTONEAREST), &monitor)) return;
    const RECT placed = PlaceInside(bounds, monitor.rcWork);
    form.SetBounds(placed.left, placed.top, form.Width(), form.Height());
}

std::string ProgramName() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string name(path, n);
    name = name.substr(name.find_last_of("\\/") + 1);
    return name.substr(0, name.find_last_of('.'));
}

}  // namespace

void ReportHandlerException() noexcept {
    try {
        if (Application) Application->HandleException(nullptr);
    } catch (...) {
        // Nothing may cross the system's frames; the message loop goes on.
    }
}

// ---- Messages -----------------------------------------------------------------

void SetMessagePresenter(TMessagePresenter presenter) {
    Presenter() = presenter ? std::move(presenter) : TMessagePresenter(ShowOnScreen);
}

void ShowMessage(const std::string& text) { Presenter()(Application->Title, text, MB_OK); }

// ---- TPublished ---------------------------------------------------------------

const TPublished::FieldBinder* TPublished::FindField(const std::string& name) const {
    for (const auto& f : fields_)
        if (f.name == name) return &f.bind;
    return nullptr;
}

const TPublished::MethodBinder* TPublished::FindMethod(const std::string& name) const {
    for (const auto& m : methods_)
        if (m.name == name) return &m.bind;
    return nullptr;
}

std::vector<std::string> TPublished::FieldNames() const {
    std::vector<std::string> names;
    for (const auto& f : fields_) names.push_back(f.name);
    return names;
}

// ---- TForm --------------------------------------------------------------------

// The window is made once the layout has set the form's properties, or when
// a control is put on it or it is shown, whichever comes first.
TForm::TForm(TComponent* owner) : TWinControl(owner) { RegisterWindowClass(kFormClass); }

// The components go while the form is still whole: they leave its lists.
TForm::~TForm() { DestroyComponents(); }

const char* TForm::WindowClass() const { return kFormClass; }

void TForm::BoundsChanged(const RECT&) {
    // A form's Left/Top/Width/Height are its outer rectangle on the screen.
    if (Handle()) MoveWindow(Handle(), left_, top_, width_, height_, TRUE);
}

bool TForm::SetProperty(const std::string& name, const TLayoutValue& v) {
    const int value = static_cast<int>(v.integer);
    // A place on the screen, not in a layout: never scaled.
    if (name == "Left") SetBounds(value, top_, width_, height_);
    else if (name == "Top") SetBounds(left_, value, width_, height_);
    else if (name == "Width") designedClient_.cx = DesignedClient(value, &SIZE::cx), FitClient(left_, top_);
    else if (name == "Height") designedClient_.cy = DesignedClient(value, &SIZE::cy), FitClient(left_, top_);
    // The tab order of a form has no meaning; everything else is a control's.
    else return name == "TabOrder" || TWinControl::SetProperty(name, v);
    return true;
}

int TForm::DesignedClient(int outer, LONG SIZE::*axis) const {
    return outer - DesignedFrameSize(WindowStyle(), WindowExStyle()).*axis;
}

void TForm::FitClient(int left, int top) {
    const SIZE frame = FrameSize(WindowStyle(), WindowExStyle(), pixelsPerInch_);
    SetBounds(left, top, Scaled(designedClient_.cx) + frame.cx, Scaled(designedClient_.cy) + frame.cy);
}

void TForm::Rescale(int pixelsPerInch, int left, int top) {
    // Resized by the user since it was last scaled (not maximised or
    // minimised): that size is the one to keep.
    RECT client;
    GetClientRect(Handle(), &client);
    const bool resized = client.right != placedClient_.cx || client.bottom != placedClient_.cy;
    if (placedClient_.cx >= 0 && resized && !IsZoomed(Handle()) && !IsIconic(Handle()))
        designedClient_ = {ScaleValue(client.right, kDesignPixelsPerInch, pixelsPerInch_),
                           ScaleValue(client.bottom, kDesignPixelsPerInch, pixelsPerInch_)};
    ChangeScale(pixelsPerInch);
    FitClient(left, top);
    NotePlacedClient();
    SetWindowIcons(Handle(), IconSizesAt(pixelsPerInch));
}

void TForm::NotePlacedClient() {
    RECT client;
    if (!GetClientRect(HandleNeeded(), &client)) return;
    placedClient_ = {client.right, client.bottom};
}

void TForm::ChangeScale(int pixelsPerInch) {
    if (pixelsPerInch == pixelsPerInch_) return;
    pixelsPerInch_ = pixelsPerInch;
    Font->ScaleTo(pixelsPerInch);
    for (TControl* child : Controls()) child->ChangeScale(pixelsPerInch);
}

void TForm::FollowMonitorScale() {
    const int to = WindowPixelsPerInch(Handle());
    if (to != pixelsPerInch_) Rescale(to, left_, top_);
}

void TForm::Show() {
    // The designed place may lie off a smaller screen, where nothing would
    // bring the window back.
    if (!IsWindowVisible(HandleNeeded())) {
        FollowMonitorScale();
        KeepInsideWorkArea(*this);
    }
    ShowWindow(Handle(), SW_SHOWNORMAL);
    UpdateWindow(Handle());
    FocusFirstControl();
}

void TForm::FocusFirstControl() {
    if (HWND first = GetNextDlgTabItem(Handle(), nullptr, FALSE)) SetFocus(first);
}

// The focus leaves the form's controls whenever the form is deactivated (a
// message box, another program) or minimised, and on its return the system
// gives it to the form's frame, where keys do nothing. So the form notes
// which control has the focus and hands it back to that control.
void TForm::ControlFocused(HWND control) noexcept { lastFocus_ = control; }

void TForm::RestoreFocus() {
    HWND target = IsChild(Handle(), lastFocus_) ? lastFocus_ : nullptr;
    // Gone or disabled meanwhile: the next control in tab order.
    if (!target || !IsWindowEnabled(target) || !IsWindowVisible(target))
        target = GetNextDlgTabItem(Handle(), target, FALSE);
    if (target) SetFocus(target);
}

LRESULT TForm::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NCCREATE:
        FollowScaleInFrame(Handle());
        break;
    case WM_CREATE:
        SetWindowIcons(Handle(), IconSizesAt(pixelsPerInch_));
        break;
    case kDpiChanged: {
        // Moved to a monitor of another scale: the system suggests a
        // rectangle at the window's place. Its size is taken from the client
        // area and the frame at the new scale, since on Windows 8.1 to 10
        // 1511 the suggestion scales the frame, which stays the system's.
        const RECT suggested = *reinterpret_cast<const RECT*>(lParam);
        Rescale(LOWORD(wParam), suggested.left, suggested.top);
        return 0;
    }
    case WM_SETFOCUS:
        RestoreFocus();
        return 0;
    case WM_SYSCOLORCHANGE:
        // Only top-level windows hear of a new colour scheme. Everything
        // draws with the system's current colours, so a repaint of the
        // whole form shows the new scheme.
        RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return 0;
    case WM_CLOSE:
        DestroyWindow(Handle());
        return 0;
    case WM_DESTROY:
        SetWindowIcons(Handle(), {0, 0});
        if (Application && Application->MainForm == this) PostQuitMessage(0);
        return 0;
    }
    return TWinControl::WndProc(msg, wParam, lParam);
}

// ---- TApplication -------------------------------------------------------------

TApplication::TApplication() : TComponent(nullptr), Title(ProgramName()) {}

void TApplication::Adopt(TForm* form) {
    if (!MainForm) MainForm = form;
}

void TApplication::Run() {
    if (!MainForm) return;
    MainForm->Show();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Tab and the arrow keys move the focus between the form's controls.
        // Only keyboard messages need the dialog manager; everything else it
        // would just dispatch, after asking the window server about the
        // window, which for two 1 ms timers is hundreds of round trips a
        // second.
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
            HWND root = GetAncestor(msg.hwnd, GA_ROOT);
            if (root && TWinControl::FromHandle(root) && IsDialogMessageA(root, &msg)) continue;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void TApplication::ShowException(const Exception* e) {
    std::string text = e->Message;
    if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
    Presenter()(Title, text, MB_OK | MB_ICONSTOP);
}

void TApplication::HandleException(TObject*) {
    try {
        throw;
    } catch (const Exception& e) {
        ShowException(&e);
    } catch (...) {
        // Anything else is shown as an exception without a message.
        try {
            throw Exception("");
        } catch (const Exception& e) {
            ShowException(&e);
        }
    }
}
