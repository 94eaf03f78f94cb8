#pragma once
// One whole row of a list-view control, as read by GetRow and written by
// InsertRows. Needs no Windows header, so the row sort builds everywhere.

#include <cstdint>
#include <string>
#include <vector>

struct RowRecord {
  std::string text;                     // the item's text (column 0)
  std::int32_t image = 0;               // image-list index of the item
  std::int32_t check = 0;               // state-image index minus 1: 0 unchecked, 1 checked, -1 no check box
  std::int32_t param = 0;               // the item's application value
  std::int32_t indent = 0;              // indent in image widths
  std::vector<std::string> subTexts;    // entry k is the text of column k + 1
  std::vector<std::int32_t> subImages;  // entry k is the image of column k + 1

  bool operator==(const RowRecord&) const = default;
};
