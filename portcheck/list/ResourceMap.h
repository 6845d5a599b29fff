// Windows' resource map: the resources the Plug and Play manager has
// assigned each started device, which it records in the registry under
// HKLM\HARDWARE\RESOURCEMAP. Any user may read it, and a 32-bit program
// sees the same key as a 64-bit one. PortCheck reads it only where the
// configuration manager keeps a device's resources from a 32-bit program
// (64-bit Windows 8 and later).
#pragma once

#include <string>
#include <vector>

#include "DeviceApis.h"
#include "PortLayout.h"

namespace portcheck {

// The I/O ranges the map records for the device whose physical device
// object is `objectName` (e.g. "\Device\NTPNP_PCI0012"). False, with
// `ranges` left as it was, where the map has no I/O range for it, or no
// sound record.
bool ReadMappedIoRanges(const Registry& registry, const std::wstring& objectName, std::vector<IoRange>* ranges);

}  // namespace portcheck
