// What the chip models rely on in a port state they take over from a file:
// every value within what the port's own setters give. A file of this
// version whose state breaks one was damaged, or made by something else.
#pragma once

#include <string>

#include "SharedLayout.h"

namespace vport {

// False, with what is out of range in *why, for a state no port could be in.
bool IsSoundState(const SharedLayout& s, std::string* why);

}  // namespace vport
