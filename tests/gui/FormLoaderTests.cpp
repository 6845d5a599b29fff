// Building a form from its layout: what gets built, and the start-up errors
// for layouts that don't match the form.
#include <gtest/gtest.h>

#include <map>

#include "MessageLog.h"
#include "ProbeForm.h"
#include "Pump.h"

namespace {

TEST(FormLoader, BuildsBindsAndWiresTheComponents) {
    TProbeForm form(nullptr, "PROBE");
    EXPECT_EQ(form.Name, "Probe");
    EXPECT_EQ(form.Caption(), "Probe");
    ASSERT_NE(form.Button1, nullptr);
    EXPECT_EQ(form.Button1->Parent(), form.Panel1);
    EXPECT_EQ(form.Panel1->Parent(), &form);
    EXPECT_EQ(form.Edit1->Text(), "It's");
    EXPECT_EQ(form.Shape1->Shape, stCircle);
    EXPECT_EQ(form.Label1->Font->Height(), -17);
    EXPECT_EQ(form.Button1->Font->Height(), -11) << "takes the form's font through its panel";
    EXPECT_EQ(form.Timer1->Interval(), 1u);

    SendMessageA(form.Button1->Handle(), BM_CLICK, 0, 0);
    EXPECT_EQ(form.clicks, 1);
    EXPECT_TRUE(PumpUntil([&] { return form.ticks >= 2; })) << "the timer runs from creation";
}

TEST(FormLoader, TabOrderFollowsTheLayoutNotTheCreationOrder) {
    TProbeForm form(nullptr, "PROBE");
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), nullptr, FALSE), form.Edit1->Handle());
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), form.Edit1->Handle(), FALSE), form.Button1->Handle());
    EXPECT_EQ(GetNextDlgTabItem(form.Handle(), form.Button1->Handle(), FALSE), form.Edit1->Handle());
}

// What the window system is told while a form is built: each window's
// creation (caption and place) and the messages that change it afterwards.
class WindowTrace {
public:
    struct Window {
        std::string caption;
        RECT created{};
        int setText = 0, setFont = 0, movedOrSized = 0;
    };

    WindowTrace() {
        active_ = this;
        cbt_ = SetWindowsHookExA(WH_CBT, Cbt, nullptr, GetCurrentThreadId());
        sent_ = SetWindowsHookExA(WH_CALLWNDPROC, Sent, nullptr, GetCurrentThreadId());
    }
    ~WindowTrace() {
        UnhookWindowsHookEx(sent_);
        UnhookWindowsHookEx(cbt_);
        active_ = nullptr;
    }
    const Window* Of(HWND window) const {
        auto it = windows_.find(window);
        return it == windows_.end() ? nullptr : &it->second;
    }

private:
    static LRESULT CALLBACK Cbt(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_CREATEWND && active_) {
            const CREATESTRUCTA& cs = *reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
            Window& w = active_->windows_[reinterpret_cast<HWND>(wParam)];
            w.caption = cs.lpszName ? cs.lpszName : "";
            w.created = {cs.x, cs.y, cs.x + cs.cx, cs.y + cs.cy};
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK Sent(int code, WPARAM wParam, LPARAM lParam) {
        const CWPSTRUCT& m = *reinterpret_cast<CWPSTRUCT*>(lParam);
        auto it = active_ ? active_->windows_.find(m.hwnd) : std::map<HWND, Window>::iterator();
        if (code == HC_ACTION && active_ && it != active_->windows_.end()) {
            if (m.message == WM_SETTEXT) ++it->second.setText;
            if (m.message == WM_SETFONT) ++it->second.setFont;
            const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.lParam);
            if (m.message == WM_WINDOWPOSCHANGING && (~pos->flags & (SWP_NOMOVE | SWP_NOSIZE)))
                ++it->second.movedOrSized;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static WindowTrace* active_;
    HHOOK cbt_, sent_;
    std::map<HWND, Window> windows_;
};
WindowTrace* WindowTrace::active_ = nullptr;

// Each window is made once its layout properties are set, with its final
// caption, place and font, and is not moved, retitled or refonted after:
// every such change is a round trip to the window server.
TEST(FormLoader, EachWindowIsCreatedOnceWithItsFinalCaptionPlaceAndFont) {
    WindowTrace trace;
    TProbeForm form(nullptr, "PROBE");
    const TWinControl* const windowed[] = {&form, form.Panel1, form.Button1, form.Edit1};
    for (const TWinControl* control : windowed) {
        SCOPED_TRACE(control->Name);
        const WindowTrace::Window* w = trace.Of(control->Handle());
        ASSERT_NE(w, nullptr) << "created while the form was built";
        const RECT bounds = control->BoundsRect();
        EXPECT_TRUE(EqualRect(&w->created, &bounds));
        EXPECT_EQ(w->caption, control == form.Edit1 ? form.Edit1->Text() : control->Caption());
        EXPECT_EQ(w->setText, 0);
        EXPECT_EQ(w->setFont, 1) << "the font is given once, at creation";
        EXPECT_EQ(w->movedOrSized, 0);
    }
    EXPECT_EQ(form.Caption(), "Probe");
    EXPECT_EQ(form.Edit1->Text(), "It's");
}

std::string LoadError(const char* layout) {
    try {
        TProbeForm form(nullptr, layout);
    } catch (const Exception& e) {
        return e.Message;
    }
    return "<loaded>";
}

TEST(FormLoader, LayoutErrorsNameTheLineAndTheProblem) {
    EXPECT_EQ(LoadError("BAD_HANDLER"),
              "Form layout BAD_HANDLER, line 37: the form has no handler 'Button1Clik' for Button1.OnClick");
    EXPECT_EQ(LoadError("BAD_CLASS"), "Form layout BAD_CLASS, line 30: unknown component class TBitBtn");
    EXPECT_EQ(LoadError("NO_MEMBER"), "Form layout NO_MEMBER, line 56: the form has no member Timer2");
    EXPECT_EQ(LoadError("MISSING_COMPONENT"),
              "Form layout MISSING_COMPONENT, line 56: no component for the form's member Timer1");
    EXPECT_EQ(LoadError("WRONG_CLASS"), "Form layout WRONG_CLASS, line 16: member Label1 is not a TButton");
    EXPECT_EQ(LoadError("BAD_PROPERTY"), "Form layout BAD_PROPERTY, line 28: Shape1 has no property Colour");
    EXPECT_EQ(LoadError("BAD_EVENT"), "Form layout BAD_EVENT, line 58: Timer1 has no event OnClick");
    EXPECT_EQ(LoadError("UNTERMINATED"), "Form layout UNTERMINATED, line 6: unterminated text");
    EXPECT_EQ(LoadError("NO_SUCH_LAYOUT"), "Form layout NO_SUCH_LAYOUT not found in the program");
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

TEST(FormLoader, AFailedFormLeavesNoWindowsBehind) {
    const auto windowsOfThisThread = [] {
        int n = 0;
        EnumThreadWindows(GetCurrentThreadId(), CountWindow, reinterpret_cast<LPARAM>(&n));
        return n;
    };
    TTimer warmUp(nullptr);  // the timers' own window exists before counting
    warmUp.SetOnTimer([](TObject*) {});
    const int before = windowsOfThisThread();
    LoadError("BAD_HANDLER");
    EXPECT_EQ(windowsOfThisThread(), before);
}

// A form that notes where the application's pointer to it pointed while it
// was being built.
struct TSelfAwareForm : public TForm {
    static TSelfAwareForm* instance;
    TSelfAwareForm* seenDuringConstruction;
    explicit TSelfAwareForm(TComponent* owner) : TForm(owner), seenDuringConstruction(instance) {}
};
TSelfAwareForm* TSelfAwareForm::instance = nullptr;

TEST(CreateForm, ThePointerIsSetBeforeTheConstructorRuns) {
    Application->CreateForm(&TSelfAwareForm::instance);
    ASSERT_NE(TSelfAwareForm::instance, nullptr);
    EXPECT_EQ(TSelfAwareForm::instance->seenDuringConstruction, TSelfAwareForm::instance);
    EXPECT_EQ(Application->MainForm, TSelfAwareForm::instance) << "the first form is the main form";
    delete TSelfAwareForm::instance;
    Application->MainForm = nullptr;
}

TEST(CreateForm, AFailingConstructorLeavesThePointerNull) {
    struct TBroken : TProbeForm {
        explicit TBroken(TComponent* owner) : TProbeForm(owner, "BAD_HANDLER") {}
    };
    TBroken* broken = nullptr;
    EXPECT_THROW(Application->CreateForm(&broken), Exception);
    EXPECT_EQ(broken, nullptr);
    EXPECT_EQ(Application->MainForm, nullptr);
}

}  // namespace
