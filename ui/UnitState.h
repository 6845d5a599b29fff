// What the window's handlers share, at file scope of the form's unit.
#pragma once

#include "RegisterMap.h"

struct TRegisterSnapshot {
    int data, status, control;  // each read widened with sign extension
};

extern int BaseAddress;                    // 0 until an address is applied
extern bool AddressApplied;                // Set has succeeded
extern TRegisterSnapshot RegisterSnapshot; // the registers as read at Set
extern int ToggleCount[kOutputs];          // per output button: 1 on, 0 off
