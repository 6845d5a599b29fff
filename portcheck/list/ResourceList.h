// The I/O ranges in a resource list as Windows' resource map records it for
// a device (a REG_RESOURCE_LIST value): a count of full descriptors, each a
// bus header and a count of partial descriptors, each one resource.
//
// The list is written by the kernel in its own layout, and PortCheck reads
// the map only on 64-bit Windows (where the configuration manager keeps
// the resources from a 32-bit program): so the layout here is the 64-bit
// kernel's whatever this program's own build, with 20-byte partial
// descriptors (a 32-bit kernel's are 16 bytes: a port's list in that layout
// is too short for this reading, and is refused). The bytes are Windows'
// data, not ours: every length is checked before it is read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "PortLayout.h"

namespace portcheck {

// The port ranges of `list`, in its order, other resources (interrupts,
// memory, DMA) skipped. False, with `ranges` left as it was, for a list
// that does not hold together: cut short, a count beyond its end, or a
// port range that no x86 I/O address can hold.
bool IoRangesInResourceList(const uint8_t* list, size_t size, std::vector<IoRange>* ranges);

}  // namespace portcheck
