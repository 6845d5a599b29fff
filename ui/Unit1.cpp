#include "Unit1.h"

#include <cstddef>

#include "AccessibleNames.h"
#include "LampColours.h"
#include "PortIo.h"
#include "RegisterMap.h"
#include "UnitState.h"

TTarnwick* Tarnwick = nullptr;

// State the handlers share; all zero at start.
int BaseAddress = 0;
bool AddressApplied = false;
TRegisterSnapshot RegisterSnapshot = {};
int ToggleCount[kOutputs] = {};

namespace {

// Until an address is applied the base is 0, and ports 0x0000-0x0002 are the
// PC's DMA controller: reading them changes its state, writing them can
// corrupt a transfer. So the lamps and the outputs leave the port alone
// until the user has pressed Set.
bool PortSelected() { return AddressApplied; }

// Without a read entry point (no library, no "Inp32", or its driver not
// running) there is no port to show: the lamps stay white and the value
// captions say "-" after Set, rather than showing a port with every line high.
bool PortReadable() { return PortSelected() && PortIo::CanRead(); }

std::string ValueText(int value) { return PortSelected() && !PortReadable() ? "-" : IntToStr(value); }

// The value captions, from the snapshot taken at Set. The form's names
// (fixed by the form) read crossed and stale: LabelHexValueStatus stands
// under "Control" and shows the control register, LabelHexValueControl
// stands under "Status" and shows the status register; Label0x379 and
// Label0x37A show the addresses base+1 and base+2 at any base (ButtonSetClick).
void ShowRegisterValues(TTarnwick* f) {
    f->LabelHexValueData->SetCaption(ValueText(RegisterSnapshot.data));
    f->LabelHexValueStatus->SetCaption(ValueText(RegisterSnapshot.control));
    f->LabelHexValueControl->SetCaption(ValueText(RegisterSnapshot.status));
}

std::string AddressText(int address) { return "0x" + IntToHex(address, 3); }

// base + n on the full 32-bit value, wrapping like the hardware's adder.
int Plus(int base, unsigned n) { return static_cast<int>(static_cast<unsigned>(base) + n); }

struct PortWrite {
    Register reg = Register::Data;
    int value = -1;  // -1: no write (the end of a shorter list)
};

struct OutputWrites {
    const char* line;  // the output's name in kLines
    PortWrite on[3];
    PortWrite off[1];
};

// What each output button writes, in order. Every "on" leaves its own line
// the only active output of its register; every "off" writes the register's
// all-off value (data 0, control 11: /STROBE, /LINE FEED and /SELECT PRINTER
// are inverted by the port, RESET is not).
constexpr OutputWrites kOutputWrites[] = {
    /* /STROBE     */ {"DO1", {{Register::Data, 0}, {Register::Control, 10}}, {{Register::Control, 11}}},
    /* D0          */ {"DO2", {{Register::Control, 11}, {Register::Data, 1}}, {{Register::Data, 0}}},
    /* D1          */ {"DO3", {{Register::Data, 0}, {Register::Data, 2}}, {{Register::Data, 0}}},
    /* D2          */ {"DO4", {{Register::Data, 0}, {Register::Data, 4}}, {{Register::Data, 0}}},
    /* D3          */ {"DO5", {{Register::Data, 0}, {Register::Data, 8}}, {{Register::Data, 0}}},
    /* D4          */ {"DO6", {{Register::Data, 0}, {Register::Data, 16}}, {{Register::Data, 0}}},
    /* D5          */ {"DO7", {{Register::Data, 0}, {Register::Data, 32}}, {{Register::Data, 0}}},
    /* D6          */ {"DO8", {{Register::Data, 0}, {Register::Data, 64}}, {{Register::Data, 0}}},
    /* D7          */ {"DO9", {{Register::Data, 0}, {Register::Data, 128}}, {{Register::Data, 0}}},
    /* /Line Feed  */ {"DO10", {{Register::Data, 0}, {Register::Control, 9}}, {{Register::Control, 11}}},
    /* Reset       */ {"DO11", {{Register::Data, 0}, {Register::Control, 15}}, {{Register::Control, 11}}},
    // DO12's "on" writes data 11 first, on purpose: a passing value that the
    // next write of 0 replaces within the same click, so no tick sees it,
    // while a device on the data lines sees D0, D1 and D3 pulse once. It is
    // how the panel switches DO12 on, not a slip to tidy away.
    /* /Select PTR */ {"DO12", {{Register::Data, 11}, {Register::Control, 3}, {Register::Data, 0}}, {{Register::Control, 11}}},
};

static_assert(InLineOrder(kOutputWrites, kLines.size() - kOutputs),
              "the writes of every output, in the order of kLines");

template <std::size_t N>
void WriteAll(const PortWrite (&writes)[N]) {
    for (const PortWrite& w : writes)
        if (w.value >= 0) PortIo::Write(RegisterPort(BaseAddress, w.reg), w.value);
}

// One click of output button n: on, off, on... Bold caption while on.
// Before an address is applied, or when writes can't reach the port, the
// click does nothing, so no button claims a line is on that was never written.
void ToggleOutput(int n, TButton* button) {
    if (!PortSelected() || !PortIo::CanWrite()) return;
    int& count = ToggleCount[n - 1];
    ++count;
    if (count == 1) {
        WriteAll(kOutputWrites[n - 1].on);
        button->Font->SetStyle(fsBold);
    } else {
        WriteAll(kOutputWrites[n - 1].off);
        count = 0;
        button->Font->SetStyle(0);
    }
}

// The lamps, by the form's fixed names, in the order of kLines.
struct Lamp {
    const char* line;
    TShape* TTarnwick::*shape;
};
#define LAMP(kind, n) {#kind #n, &TTarnwick::Shape_##kind##_##n}
constexpr Lamp kLamps[] = {
    LAMP(DI, 1), LAMP(DI, 2), LAMP(DI, 3), LAMP(DI, 4), LAMP(DI, 5),  LAMP(DO, 1),  LAMP(DO, 2),  LAMP(DO, 3), LAMP(DO, 4),
    LAMP(DO, 5), LAMP(DO, 6), LAMP(DO, 7), LAMP(DO, 8), LAMP(DO, 9), LAMP(DO, 10), LAMP(DO, 11), LAMP(DO, 12),
};
#undef LAMP

static_assert(InLineOrder(kLamps), "a lamp for every line, in the order of kLines");

}  // namespace

TTarnwick::TTarnwick(TComponent* Owner) : TForm(Owner) {
    LoadLayout("TARNWICK", Published());
    TShape* lamps[kLines.size()];
    for (size_t i = 0; i < kLines.size(); ++i) lamps[i] = this->*kLamps[i].shape;
    NameForAccessibility(*this, lamps);
    // The binding's one message, if any, shown modally while the window is built.
    const PortBindOutcome bound = BindPortLibrary();
    if (bound.result != 0) ShowMessage(bound.message);
}

// Seventeen reads, one per lamp, in the fixed order of the line table; every
// lamp is set on every tick, so the lamps show what the port holds now.
void TTarnwick::TimerLEDsTimer(TObject*) {
    if (!PortReadable()) return;
    for (size_t i = 0; i < kLines.size(); ++i) {
        const Line& line = kLines[i];
        const int value = PortIo::Read(RegisterPort(BaseAddress, line.reg));
        (Tarnwick->*kLamps[i].shape)->Brush->SetColor(Lit(line, value) ? LitColour(line) : clBlack);
    }
}

void TTarnwick::MaskEdit_REGISTEREnter(TObject*) {}

// Applies the typed base address once: reads the three registers (when
// reads reach the port), shows their values and the status and control
// addresses, and locks the field. Text that is not a number raises
// EConvertError before anything changes.
void TTarnwick::ButtonSetClick(TObject*) {
    const int address = StrToInt(MaskEdit_REGISTER->Text());
    BaseAddress = address;
    if (PortIo::CanRead()) {
        RegisterSnapshot.data = PortIo::Read(RegisterPort(BaseAddress, Register::Data));
        RegisterSnapshot.status = PortIo::Read(RegisterPort(BaseAddress, Register::Status));
        RegisterSnapshot.control = PortIo::Read(RegisterPort(BaseAddress, Register::Control));
    }
    AddressApplied = true;
    ShowRegisterValues(this);
    Label0x379->SetCaption(AddressText(Plus(BaseAddress, 1)));
    Label0x37A->SetCaption(AddressText(Plus(BaseAddress, 2)));
    ButtonSet->SetEnabled(false);
    MaskEdit_REGISTER->SetEnabled(false);
}

// The value captions show the snapshot taken at Set; no port is read here.
void TTarnwick::TimerValuesTimer(TObject*) { ShowRegisterValues(this); }

void TTarnwick::Button_DO1Click(TObject*) { ToggleOutput(1, Button_DO1); }
void TTarnwick::Button_DO2Click(TObject*) { ToggleOutput(2, Button_DO2); }
void TTarnwick::Button_DO3Click(TObject*) { ToggleOutput(3, Button_DO3); }
void TTarnwick::Button_DO4Click(TObject*) { ToggleOutput(4, Button_DO4); }
void TTarnwick::Button_DO5Click(TObject*) { ToggleOutput(5, Button_DO5); }
void TTarnwick::Button_DO6Click(TObject*) { ToggleOutput(6, Button_DO6); }
void TTarnwick::Button_DO7Click(TObject*) { ToggleOutput(7, Button_DO7); }
void TTarnwick::Button_DO8Click(TObject*) { ToggleOutput(8, Button_DO8); }
void TTarnwick::Button_DO9Click(TObject*) { ToggleOutput(9, Button_DO9); }
void TTarnwick::Button_DO10Click(TObject*) { ToggleOutput(10, Button_DO10); }
void TTarnwick::Button_DO11Click(TObject*) { ToggleOutput(11, Button_DO11); }
void TTarnwick::Button_DO12Click(TObject*) { ToggleOutput(12, Button_DO12); }
