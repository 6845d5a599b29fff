// The loopback test as a command on a begun session: the patterns run, and
// the report or the reason it stopped.
#pragma once

#include "PortCommand.h"

namespace portcheck {

CommandOutput LoopbackCommand(PortSession& session, const CheckOptions& options);

}  // namespace portcheck
