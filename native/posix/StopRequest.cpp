// PortCheck's stop request in the native build, where no console sends
// Windows' events: nothing is installed and no stop is ever asked for.
#include "StopRequest.h"

namespace portcheck {

void StopRequest::Install() {}

void StopRequest::Uninstall() {}

bool StopRequest::Requested() { return false; }

void StopRequest::PortRestored() {}

bool StopRequest::OnConsoleEvent(DWORD) { return false; }

}  // namespace portcheck
