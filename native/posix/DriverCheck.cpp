// Binding the port library in the native build, which has none: the
// session's logic is tried against ports of the tests' own instead.
#include "DriverCheck.h"

namespace portcheck {

std::string BindForPort(PortLibrary*, int, bool) { return "PortCheck: the native build binds no port library\n"; }

}  // namespace portcheck
