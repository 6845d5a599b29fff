// What `PortCheck --list` prints: one line per parallel port, in LPT order,
// in columns, e.g.
//   LPT1  ECP Printer Port          base 0x378   ranges 0378-037F, 0778-077A   extended 0x778
//   LPT3  PCI Express Parallel Port base 0xDC00  ranges DC00-DC07, D880-D883   extended 0xD880
// or one line that says there are none. Every line ends in "\n".
#pragma once

#include <string>
#include <vector>

#include "PortLayout.h"

namespace portcheck {

std::string PortListText(const std::vector<PortDevice>& devices);

}  // namespace portcheck
