// `PortCheck --set-mode spp|ps2 BASE`: the ECR's mode set to 000 or 001,
// only the mode bits written, read back to check. It stays until the PC
// restarts or something else changes it.
#pragma once

#include <string>

#include "PortCommand.h"

namespace portcheck {

CommandOutput SetModeCommand(PortSession& session, const CheckOptions& options);
std::string SetModeWarning(int base);

}  // namespace portcheck
