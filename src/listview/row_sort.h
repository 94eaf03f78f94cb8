#pragma once
// The in-place row sort shared by SortRows, InsertRows and SortByColumn.
// Portable: it touches no window.

#include <cstdint>
#include <optional>
#include <vector>

#include "listview/row_record.h"

// Sort codes: 1 text, 2 image, 3 check, 4 param, 0x800 + c the text of column c
// (c = 0 the item text). The bitwise complement of a code sorts the same key
// descending; 0, -1 and every other code leave the rows as they are.
inline constexpr std::int32_t kSortByText = 1;
inline constexpr std::int32_t kSortByImage = 2;
inline constexpr std::int32_t kSortByCheck = 3;
inline constexpr std::int32_t kSortByParam = 4;
inline constexpr std::int32_t kSortByColumnText = 0x800;

// Quicksort of rows between the 1-based positions from and to, both included
// (absent: 1 and the number of rows). Not stable: equal keys may swap.
void SortRowRecords(std::vector<RowRecord>& rows, std::optional<std::int32_t> from, std::optional<std::int32_t> to,
                    std::int32_t sortType);
