// The access log in the shared block: a ring of packed accesses, numbered
// from the last clear. Called with the port's lock held.
#pragma once

#include <cstdint>
#include <vector>

#include "PortState.h"
#include "SharedLayout.h"

namespace vport {

void Record(SharedLayout& s, const Access& access);

// Appends the retained accesses numbered `from` on to *out; *first (when
// given) gets the number of the first one appended.
void CopyLog(const SharedLayout& s, uint64_t from, uint64_t* first, std::vector<Access>* out);

}  // namespace vport
