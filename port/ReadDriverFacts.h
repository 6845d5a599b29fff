// Gathering the driver diagnosis's facts from Windows (through WindowsReads,
// so that tests can stand in for it) and from the loaded library.
#pragma once

#include <string>
#include <vector>

#include "DriverFacts.h"
#include "ModuleFacts.h"
#include "PortLibrary.h"

// Everything Windows tells about `library` (as LoadPortLibrary left it, with
// `binding` its outcome) and the driver.
// `attempts`: where LoadPortLibrary looked; `program64`: this build is
// 64-bit (the tests' stand-ins set it apart).
DriverFacts GatherDriverFacts(const WindowsReads& windows, const PortLibrary& library, PortBinding binding,
                              const std::vector<LoadAttempt>& attempts = {}, bool program64 = sizeof(void*) == 8);
