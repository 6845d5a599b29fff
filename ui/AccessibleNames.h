// The panel as screen readers and UI-automation tools know it: each lamp
// and output button by its line, pin and signal, the register panel's
// fields by the register they show, the connector picture by what it shows.
#pragma once

#include <string>

#include "RegisterMap.h"

class TShape;
class TTarnwick;

// "DI 1, pin 10, /ACK": the line as written over its lamp, its DB25 pin,
// and the signal as written under the lamp.
std::string SpokenLineName(const Line& line);

// Names the form's components and tells them what their looks mean;
// lamps: the form's lamps, in the order of kLines.
void NameForAccessibility(TTarnwick& form, TShape* const lamps[]);
