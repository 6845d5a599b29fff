// The check that a table has one row for each value of an enum, in the
// enum's order, so that a row can be found by its value.
#pragma once

#include <cstddef>

namespace vport {

template <class Row, std::size_t N, class Id>
constexpr bool RowsInOrder(const Row (&rows)[N], Id Row::*id, int count) {
    if (N != static_cast<std::size_t>(count)) return false;
    for (std::size_t n = 0; n < N; ++n)
        if (rows[n].*id != static_cast<Id>(n)) return false;
    return true;
}

}  // namespace vport
