// Building a form from its layout: what gets built, and the start-up errors
// for layouts that don't match the form.
#include <gtest/gtest.h>

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
