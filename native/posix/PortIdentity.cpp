// What Windows says of the port at a base, in the native build: nothing.
#include "PortIdentity.h"

namespace portcheck {

PortIdentity AskWindowsAbout(int) { return PortIdentity{}; }

}  // namespace portcheck
