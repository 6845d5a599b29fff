// The window as screen readers and UI-automation tools read it, in-process:
// the lamps' readings for any register values, the events that announce
// a change (for the changed lamps only), places at other scales, and the
// objects a client keeps after the window has gone. (The end-to-end tests
// read the same from another process.)
#include <oleacc.h>

#include <cstdio>
#include <random>
#include <set>
#include <string>
#include <tuple>

#include "AccessibleIds.h"
#include "Pump.h"
#include "ScaleChange.h"
#include "WindowFixture.h"

namespace {

std::string Narrow(BSTR text) {
    std::string out;
    for (const wchar_t* c = text; c && *c; ++c) out += static_cast<char>(*c);
    SysFreeString(text);
    return out;
}

// One client object, as a client gets it from the window.
class Object {
public:
    explicit Object(HWND window) {
        void* found = nullptr;
        EXPECT_EQ(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), kIID_IAccessibleClient, &found), S_OK);
        a_ = static_cast<IAccessible*>(found);
    }
    ~Object() {
        if (a_) a_->Release();
    }
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;
    IAccessible* operator->() const { return a_; }
    explicit operator bool() const { return a_ != nullptr; }

    std::string Name(LONG id) const {
        BSTR text = nullptr;
        return SUCCEEDED(a_->get_accName(ChildId(id), &text)) ? Narrow(text) : "(none)";
    }
    std::string Value(LONG id) const {
        BSTR text = nullptr;
        return SUCCEEDED(a_->get_accValue(ChildId(id), &text)) ? Narrow(text) : "(none)";
    }
    std::string Description(LONG id) const {
        BSTR text = nullptr;
        return SUCCEEDED(a_->get_accDescription(ChildId(id), &text)) ? Narrow(text) : "(none)";
    }
    LONG State(LONG id) const {
        VARIANT v;
        VariantInit(&v);
        return SUCCEEDED(a_->get_accState(ChildId(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
    }
    LONG Role(LONG id) const {
        VARIANT v;
        VariantInit(&v);
        return SUCCEEDED(a_->get_accRole(ChildId(id), &v)) && v.vt == VT_I4 ? v.lVal : -1;
    }
    RECT Location(LONG id) const {
        long x = 0, y = 0, w = 0, h = 0;
        a_->accLocation(&x, &y, &w, &h, ChildId(id));
        return {x, y, x + w, y + h};
    }

private:
    IAccessible* a_ = nullptr;
};

// The events the window raises while the test pumps its messages.
struct Heard {
    DWORD event;
    HWND window;
    LONG child;
    bool operator<(const Heard& o) const { return std::tie(event, window, child) < std::tie(o.event, o.window, o.child); }
    bool operator==(const Heard& o) const { return std::tie(event, window, child) == std::tie(o.event, o.window, o.child); }
};
std::vector<Heard>* listening = nullptr;

void CALLBACK Listen(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (listening && object == OBJID_CLIENT) listening->push_back({event, window, child});
}

class Accessibility : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        CoInitialize(nullptr);
        lamps = {form->Shape_DI_1, form->Shape_DI_2, form->Shape_DI_3,  form->Shape_DI_4,  form->Shape_DI_5,
                 form->Shape_DO_1, form->Shape_DO_2, form->Shape_DO_3,  form->Shape_DO_4,  form->Shape_DO_5,
                 form->Shape_DO_6, form->Shape_DO_7, form->Shape_DO_8,  form->Shape_DO_9,  form->Shape_DO_10,
                 form->Shape_DO_11, form->Shape_DO_12};
        hook = SetWinEventHook(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, Listen,
                               GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
        ASSERT_NE(hook, nullptr);
        listening = &events;
    }
    void TearDown() override {
        listening = nullptr;
        UnhookWinEvent(hook);
        WindowTest::TearDown();
    }

    // The events raised by what happened since the last call.
    std::multiset<Heard> Events() {
        PumpUntil([] { return false; }, 50);
        std::multiset<Heard> heard(events.begin(), events.end());
        events.clear();
        return heard;
    }

    static LONG IdOf(TControl* c) { return c->Parent()->AccessibleChildId(*c); }
    static HWND WindowOf(TControl* c) { return c->Parent()->Handle(); }

    void TickWith(int status, int data, int control) {
        port->ForceStatus(static_cast<uint8_t>(status));
        port->SetData(static_cast<uint8_t>(data));
        port->SetControl(static_cast<uint8_t>(control));
        Tick();
    }

    std::vector<TShape*> lamps;
    std::vector<Heard> events;
    HWINEVENTHOOK hook = nullptr;
};

TEST_F(Accessibility, LampsAreNamedByLinePinAndSignalAndReadNothingBeforeSet) {
    const std::vector<std::string> names = {
        "DI 1, pin 10, /ACK",    "DI 2, pin 11, BUSY",  "DI 3, pin 12, /Paper Out", "DI 4, pin 13, /Select",
        "DI 5, pin 15, /Error",  "DO 1, pin 1, /STROBE", "DO 2, pin 2, D0",          "DO 3, pin 3, D1",
        "DO 4, pin 4, D2",       "DO 5, pin 5, D3",      "DO 6, pin 6, D4",          "DO 7, pin 7, D5",
        "DO 8, pin 8, D6",       "DO 9, pin 9, D7",      "DO 10, pin 14, /Line Feed", "DO 11, pin 16, Reset",
        "DO 12, pin 17, /Select PTR"};
    for (size_t i = 0; i < lamps.size(); ++i) {
        Object parent(WindowOf(lamps[i]));
        ASSERT_TRUE(parent);
        EXPECT_EQ(parent.Name(IdOf(lamps[i])), names[i]);
        EXPECT_EQ(parent.Value(IdOf(lamps[i])), "no reading");
        EXPECT_EQ(parent.State(IdOf(lamps[i])), STATE_SYSTEM_READONLY);
        EXPECT_EQ(parent.Role(IdOf(lamps[i])), ROLE_SYSTEM_CHECKBUTTON);
    }
}

// For any register values, each lamp reads "on" and is checked exactly
// where it is lit, and a tick announces the lamps whose reading changed,
// one value and one state change each, and nothing else.
TEST_F(Accessibility, ReadingsAndEventsFollowTheLampsForAnyRegisterValues) {
    ApplyAddress("0X378");
    Tick();
    Events();
    std::vector<std::string> before(lamps.size());
    for (size_t i = 0; i < lamps.size(); ++i) before[i] = Object(WindowOf(lamps[i])).Value(IdOf(lamps[i]));
    std::mt19937 random(20261208);
    for (int round = 0; round < 40; ++round) {
        const int status = static_cast<int>(random() & 0xF8), data = static_cast<int>(random() & 0xFF),
                  control = static_cast<int>(random() & 0x0F);
        char what[64];
        snprintf(what, sizeof what, "round %d: status 0x%02X data 0x%02X control 0x%02X", round, status, data, control);
        SCOPED_TRACE(what);
        TickWith(status, data, control);
        std::multiset<Heard> expected;
        for (size_t i = 0; i < lamps.size(); ++i) {
            const Line& line = kLines[i];
            const int reg = line.reg == Register::Data ? data : line.reg == Register::Status ? status : control;
            const bool lit = Lit(line, reg);
            Object parent(WindowOf(lamps[i]));
            const std::string value = parent.Value(IdOf(lamps[i]));
            EXPECT_EQ(value, lit ? "on" : "off") << line.name;
            EXPECT_EQ(parent.State(IdOf(lamps[i])), STATE_SYSTEM_READONLY | (lit ? STATE_SYSTEM_CHECKED : 0))
                << line.name;
            if (value != before[i]) {
                expected.insert({EVENT_OBJECT_VALUECHANGE, WindowOf(lamps[i]), IdOf(lamps[i])});
                // "no reading" to "off" changes the value, not the states.
                if (before[i] == "on" || value == "on")
                    expected.insert({EVENT_OBJECT_STATECHANGE, WindowOf(lamps[i]), IdOf(lamps[i])});
            }
            before[i] = value;
        }
        EXPECT_TRUE(Events() == expected);
    }
}

TEST_F(Accessibility, AQuietPortRaisesNoEvents) {
    ApplyAddress("0X378");
    TickWith(0x78, 0x08, 0x0B);
    Events();
    for (int i = 0; i < 20; ++i) {
        Tick();
        form->TimerValuesTimer(form->TimerValues);
    }
    EXPECT_TRUE(Events().empty());
}

TEST_F(Accessibility, OutputButtonsKeepTheirCaptionAndArePressedWhileOn) {
    ApplyAddress("0X378");
    Events();
    Object button(form->Button_DO5->Handle());
    ASSERT_TRUE(button);
    EXPECT_EQ(button.Name(CHILDID_SELF), "DO 5, pin 5, D3: switch");
    EXPECT_EQ(form->Button_DO5->Caption(), "I / O");
    const LONG pressed = STATE_SYSTEM_PRESSED | STATE_SYSTEM_CHECKED;
    EXPECT_EQ(button.State(CHILDID_SELF) & pressed, 0);
    Click(form->Button_DO5);
    EXPECT_EQ(button.State(CHILDID_SELF) & pressed, pressed);
    EXPECT_EQ(Events().count({EVENT_OBJECT_STATECHANGE, form->Button_DO5->Handle(), CHILDID_SELF}), 1u);
    Click(form->Button_DO5);
    EXPECT_EQ(button.State(CHILDID_SELF) & pressed, 0);
    EXPECT_EQ(Events().count({EVENT_OBJECT_STATECHANGE, form->Button_DO5->Handle(), CHILDID_SELF}), 1u);
}

TEST_F(Accessibility, FieldsAreNamedByTheirRegisterAndThePictureDescribesThePins) {
    ApplyAddress("0X378");
    EXPECT_EQ(Object(form->MaskEdit_REGISTER->Handle()).Name(CHILDID_SELF), "Data register address");
    Object panel(form->PanelHexValues->Handle());
    const std::pair<TLabel*, const char*> fields[] = {
        {form->Label0x379, "Status register address"}, {form->Label0x37A, "Control register address"},
        {form->LabelHexValueData, "Data register value"}, {form->LabelHexValueControl, "Status register value"},
        {form->LabelHexValueStatus, "Control register value"}};
    for (const auto& field : fields) {
        EXPECT_EQ(panel.Name(IdOf(field.first)), field.second);
        EXPECT_EQ(panel.Value(IdOf(field.first)), field.first->Caption()) << field.second;
    }
    Object group(form->GroupBox2->Handle());
    EXPECT_EQ(group.Name(IdOf(form->Image1)), "DB25 connector pin assignment");
    EXPECT_EQ(group.Role(IdOf(form->Image1)), ROLE_SYSTEM_GRAPHIC);
    const std::string description = group.Description(IdOf(form->Image1));
    for (const Pin& pin : kPins)
        EXPECT_NE(description.find(" " + std::to_string(pin.number) + " " + pin.signal + " "), std::string::npos)
            << description;
}

// A lamp's place is where it is drawn: its box in its group, on the screen,
// at the scale the window has, after moving to monitors of other scales too
// (the window scales from its present sizes, so back at 96 a box may be a
// pixel larger than designed: the place follows it).
TEST_F(Accessibility, LampsAreWhereTheyAreDrawnAtEveryScale) {
    for (int pixelsPerInch : {96, 120, 144, 192, 96}) {
        SendScaleChange(*form, pixelsPerInch);
        SCOPED_TRACE(pixelsPerInch);
        for (TShape* lamp : lamps) {
            POINT corner{lamp->Left(), lamp->Top()};
            ClientToScreen(WindowOf(lamp), &corner);
            const RECT at = Object(WindowOf(lamp)).Location(IdOf(lamp));
            EXPECT_EQ(at.left, corner.x) << lamp->Name;
            EXPECT_EQ(at.top, corner.y) << lamp->Name;
            EXPECT_EQ(at.right - at.left, lamp->Width()) << lamp->Name;
            EXPECT_EQ(at.bottom - at.top, lamp->Height()) << lamp->Name;
            EXPECT_NEAR(lamp->Height(), ScaleValue(38, pixelsPerInch), 1) << lamp->Name;
            // And a point in it finds it.
            VARIANT hit;
            VariantInit(&hit);
            ASSERT_EQ(Object(WindowOf(lamp))->accHitTest((at.left + at.right) / 2, (at.top + at.bottom) / 2, &hit), S_OK);
            EXPECT_EQ(hit.vt, VT_I4);
            EXPECT_EQ(hit.lVal, IdOf(lamp)) << lamp->Name;
        }
    }
}

// What a client may ask wrongly: a child that is not there, an id that is
// not a number, no place for the answer.
TEST_F(Accessibility, WrongQuestionsGetTheInterfacesErrors) {
    Object group(form->GroupBox1->Handle());
    BSTR name = nullptr;
    EXPECT_EQ(group->get_accName(ChildId(999), &name), E_INVALIDARG);
    EXPECT_EQ(group->get_accName(ChildId(-5), &name), E_INVALIDARG);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = nullptr;
    EXPECT_EQ(group->get_accName(text, &name), E_INVALIDARG);
    EXPECT_EQ(name, nullptr);
    EXPECT_EQ(group->get_accName(ChildId(IdOf(form->Shape_DI_1)), nullptr), E_POINTER);
    // Walking the children: the first, then on to the last, then no further.
    VARIANT at;
    VariantInit(&at);
    ASSERT_EQ(group->accNavigate(NAVDIR_FIRSTCHILD, ChildId(CHILDID_SELF), &at), S_OK);
    long count = 0, walked = 1;
    group->get_accChildCount(&count);
    EXPECT_EQ(count, static_cast<long>(form->GroupBox1->Controls().size()));
    while (group->accNavigate(NAVDIR_NEXT, at, &at) == S_OK) ++walked;
    EXPECT_EQ(walked, count);
    EXPECT_EQ(at.vt, VT_EMPTY);
}

// A client may keep an object after the window has gone: it then answers
// that it is disconnected, and releasing it is safe.
TEST_F(Accessibility, ObjectsKeptAfterTheWindowHasGoneAnswerDisconnected) {
    void* found = nullptr;
    ASSERT_EQ(AccessibleObjectFromWindow(form->GroupBox1->Handle(), static_cast<DWORD>(OBJID_CLIENT), kIID_IAccessibleClient,
                                         &found),
              S_OK);
    auto* kept = static_cast<IAccessible*>(found);
    const LONG lamp = IdOf(form->Shape_DI_1);
    delete form;
    form = nullptr;
    Tarnwick = nullptr;
    BSTR name = nullptr;
    EXPECT_EQ(kept->get_accName(ChildId(lamp), &name), RPC_E_DISCONNECTED);
    EXPECT_EQ(name, nullptr);
    long count = -1;
    EXPECT_EQ(kept->get_accChildCount(&count), RPC_E_DISCONNECTED);
    kept->Release();
}

}  // namespace
