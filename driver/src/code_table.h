// Compile-time check for tables that are read by a code: row i has to be the row of code first + i.
#pragma once

#include <cstddef>

namespace kq7120 {

template <class Table, class Field>
constexpr bool rowsFollowCodes(const Table& table, Field field, long first = 0) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (static_cast<long>(table[i].*field) != first + static_cast<long>(i)) return false;
    }
    return true;
}

}  // namespace kq7120
