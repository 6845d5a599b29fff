#include "AccessibleNames.h"

#include <windows.h>
#include <oleacc.h>

#include "Unit1.h"

namespace {

// The lamps' fill: white until the first reading (and where there is no
// port to read), black for a line that is off, its colour for one that is on.
TAccessibleReading LampReading(const TControl& lamp) {
    const TColor fill = static_cast<const TShape&>(lamp).Brush->Color();
    if (fill == clWhite) return {"no reading", 0};
    if (fill == clBlack) return {"off", 0};
    return {"on", STATE_SYSTEM_CHECKED};
}

// An output button's caption is bold while the button has its line on.
TAccessibleReading SwitchReading(const TControl& button) {
    const bool on = (button.Font->Style() & fsBold) != 0;
    return {nullptr, on ? static_cast<DWORD>(STATE_SYSTEM_PRESSED | STATE_SYSTEM_CHECKED) : 0u};
}

const char* RegisterName(Register reg) {
    switch (reg) {
    case Register::Data: return "Data";
    case Register::Status: return "Status";
    case Register::Control: return "Control";
    }
    return "";
}

// "DI1" as written over its lamp: "DI 1".
std::string Spoken(const char* lineName) {
    std::string name(lineName);
    const size_t digits = name.find_first_of("0123456789");
    return name.insert(digits == std::string::npos ? name.size() : digits, " ");
}

template <class Component>
Component& Find(TTarnwick& form, const std::string& name) {
    auto* found = dynamic_cast<Component*>(form.FindComponent(name));
    if (!found) throw Exception("The form has no " + name);
    return *found;
}

std::string PinAssignment() {
    std::string text = "The pins of the port's DB25 connector and their signals:";
    for (const Pin& pin : kPins)
        text += " " + std::to_string(pin.number) + " " + pin.signal + (pin.reg == Register::Status ? " in," : " out,");
    return text + " 18 to 25 ground.";
}

}  // namespace

std::string SpokenLineName(const Line& line) {
    return Spoken(line.name) + ", pin " + std::to_string(line.pin) + ", " + line.label;
}

void NameForAccessibility(TTarnwick& form, TShape* const lamps[]) {
    for (size_t i = 0; i < kLines.size(); ++i) {
        const Line& line = kLines[i];
        lamps[i]->AccessibleName = SpokenLineName(line);
        lamps[i]->SetAccessibleReader(LampReading);
        if (i < kLines.size() - kOutputs) continue;
        TButton& button = Find<TButton>(form, std::string("Button_") + line.name);
        button.AccessibleName = SpokenLineName(line) + ": switch";
        button.SetAccessibleReader(SwitchReading);
    }
    // The value captions stand in the columns, not under their names.
    const struct {
        TControl* control;
        Register reg;
        const char* shows;
    } fields[] = {
        {form.MaskEdit_REGISTER, Register::Data, "address"},   {form.Label0x379, Register::Status, "address"},
        {form.Label0x37A, Register::Control, "address"},       {form.LabelHexValueData, Register::Data, "value"},
        {form.LabelHexValueControl, Register::Status, "value"}, {form.LabelHexValueStatus, Register::Control, "value"},
    };
    for (const auto& field : fields)
        field.control->AccessibleName = std::string(RegisterName(field.reg)) + " register " + field.shows;
    form.Image1->AccessibleName = "DB25 connector pin assignment";
    form.Image1->AccessibleDescription = PinAssignment();
}
