// Tables of codes: a compile-time check that they are read by code, and one column of them.
#pragma once

#include <array>
#include <cstddef>

namespace kq7120 {

// Row i has to be the row of code first + i.
template <class Table, class Field>
constexpr bool rowsFollowCodes(const Table& table, Field field, long first = 0) {
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (static_cast<long>(table[i].*field) != first + static_cast<long>(i)) return false;
    }
    return true;
}

// The `field` of every row, in row order: e.g. the reply words of a table of codes and words.
template <class Row, std::size_t Rows, class Field>
constexpr std::array<Field, Rows> column(const std::array<Row, Rows>& table, Field Row::*field) {
    std::array<Field, Rows> values{};
    for (std::size_t i = 0; i < Rows; ++i) values[i] = table[i].*field;
    return values;
}

}  // namespace kq7120
