// The colour each of the panel's lamps shows while lit (black while not).
#pragma once

#include "Colours.h"
#include "RegisterMap.h"

// The lit colour of `line`, one of kLines.
TColor LitColour(const Line& line);
