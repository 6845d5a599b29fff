// The parallel ports Windows knows, and the serial ports beside them, with
// the I/O ranges it has allocated to them: the present devices of the Ports
// (COM & LPT) class, and their allocated configuration from the
// configuration manager, or where that keeps it from this program, from
// Windows' resource map.
// Needs no administrator rights and never touches a port.
//
// Where the configuration manager is only a stub (Wine), its calls end the
// process that makes them: call this in a process of its own (ListCommand).
#pragma once

#include <string>
#include <vector>

#include "DeviceApis.h"
#include "PortLayout.h"

namespace portcheck {

struct WindowsPorts {
    bool ok = false;
    std::string error;  // when !ok: why Windows could not say, in a few words
    std::vector<PortDevice> ports;
    std::vector<PortDevice> serialPorts;  // the COM ports of the same class: their ranges are no port's
};

// Loads Windows' functions and reads with them.
WindowsPorts ReadWindowsPorts();
// Reads with the given functions.
WindowsPorts ReadWindowsPorts(const SetupApi& setup, const ConfigManager& config, const Registry& registry);

}  // namespace portcheck
