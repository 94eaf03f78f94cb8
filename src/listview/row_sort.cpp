#include "listview/row_sort.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace {

enum class Key { kText, kImage, kCheck, kParam, kColumnText };

struct SortKey {
  Key key;
  std::size_t column = 0;  // for kColumnText: 0 the item text, c >= 1 subTexts entry c - 1
  bool descending = false;
};

// The key of a sort code, or nothing for a code that leaves the order as it is.
std::optional<SortKey> KeyOf(std::int32_t sortType) {
  SortKey result{Key::kText};
  std::int32_t code = sortType;
  if (code < 0) {
    code = ~code;
    result.descending = true;
  }
  switch (code) {
    case kSortByText:
      result.key = Key::kText;
      return result;
    case kSortByImage:
      result.key = Key::kImage;
      return result;
    case kSortByCheck:
      result.key = Key::kCheck;
      return result;
    case kSortByParam:
      result.key = Key::kParam;
      return result;
    default:
      break;
  }
  if (code < kSortByColumnText) return std::nullopt;
  result.key = Key::kColumnText;
  result.column = static_cast<std::size_t>(code - kSortByColumnText);
  return result;
}

// A row without the sorted column sorts as the empty text.
std::string_view ColumnText(const RowRecord& row, std::size_t column) {
  if (column == 0) return row.text;
  if (column - 1 < row.subTexts.size()) return row.subTexts[column - 1];
  return {};
}

// Byte by byte as unsigned bytes: no locale, case-sensitive.
int CompareBytes(std::string_view a, std::string_view b) {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t k = 0; k < n; ++k) {
    const auto x = static_cast<unsigned char>(a[k]);
    const auto y = static_cast<unsigned char>(b[k]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

int CompareNumbers(std::int32_t a, std::int32_t b) { return a < b ? -1 : (a > b ? 1 : 0); }

int CompareKeys(const SortKey& key, const RowRecord& a, const RowRecord& b) {
  switch (key.key) {
    case Key::kText:
      return CompareBytes(a.text, b.text);
    case Key::kImage:
      return CompareNumbers(a.image, b.image);
    case Key::kCheck:
      return CompareNumbers(a.check, b.check);
    case Key::kParam:
      return CompareNumbers(a.param, b.param);
    case Key::kColumnText:
      return CompareBytes(ColumnText(a, key.column), ColumnText(b, key.column));
  }
  return 0;
}

// Partitions rows[from..to] (0-based, inclusive) around a copy of its first
// element with a moving hole; returns the pivot's final position.
std::ptrdiff_t Partition(std::vector<RowRecord>& rows, std::ptrdiff_t from, std::ptrdiff_t to, const SortKey& key) {
  // "not before the pivot" and "not after the pivot" in the sort's direction.
  auto notBefore = [&](const RowRecord& row, const RowRecord& pivot) {
    const int c = CompareKeys(key, row, pivot);
    return key.descending ? c <= 0 : c >= 0;
  };
  auto notAfter = [&](const RowRecord& row, const RowRecord& pivot) {
    const int c = CompareKeys(key, row, pivot);
    return key.descending ? c >= 0 : c <= 0;
  };
  RowRecord pivot = rows[from];
  std::ptrdiff_t i = from;
  std::ptrdiff_t j = to;
  while (i < j) {
    while (i < j && notBefore(rows[j], pivot)) --j;
    if (i < j) rows[i] = std::move(rows[j]);
    while (i < j && notAfter(rows[i], pivot)) ++i;
    if (i < j) {
      rows[j] = std::move(rows[i]);
      --j;
    }
  }
  rows[i] = std::move(pivot);
  return i;
}

}  // namespace

void SortRowRecords(std::vector<RowRecord>& rows, std::optional<std::int32_t> from, std::optional<std::int32_t> to,
                    std::int32_t sortType) {
  if (sortType == 0 || sortType == -1) return;
  const std::optional<SortKey> key = KeyOf(sortType);
  if (!key) return;
  // Positions outside the array are brought back inside it.
  const auto count = static_cast<std::ptrdiff_t>(rows.size());
  std::ptrdiff_t first = std::max<std::ptrdiff_t>(from.value_or(1), 1) - 1;
  std::ptrdiff_t last = std::min<std::ptrdiff_t>(to.value_or(static_cast<std::int32_t>(count)), count) - 1;
  // The smaller side is sorted by recursion and the larger one by the loop, so
  // the depth stays logarithmic even on rows that are already in order; the
  // result is the same as recursing on both sides.
  while (first < last) {
    const std::ptrdiff_t middle = Partition(rows, first, last, *key);
    if (middle - first < last - middle) {
      SortRowRecords(rows, static_cast<std::int32_t>(first + 1), static_cast<std::int32_t>(middle), sortType);
      first = middle + 1;
    } else {
      SortRowRecords(rows, static_cast<std::int32_t>(middle + 2), static_cast<std::int32_t>(last + 1), sortType);
      last = middle - 1;
    }
  }
}
