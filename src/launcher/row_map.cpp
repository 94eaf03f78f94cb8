#include "launcher/row_map.h"

std::int32_t RowMap::Follow(std::int32_t row) const {
  if (row < 0) return -1;
  switch (shape_) {
    case Shape::kKept:
      return row < a_ ? row : -1;
    case Shape::kRemoved:
      return row < a_ ? row : row == a_ ? -1 : row - 1;
    case Shape::kInserted:
      return row < a_ ? row : row + 1;
    case Shape::kMoved: {
      const std::int32_t from = a_, to = b_;
      if (row == from) return to;
      if (from < to && row > from && row <= to) return row - 1;
      if (to < from && row >= to && row < from) return row + 1;
      return row;
    }
    case Shape::kReplaced:
      break;
  }
  return -1;
}

RowMap RowMap::Reversed(std::int32_t rowsBefore) const {
  switch (shape_) {
    case Shape::kKept:
      return Kept(rowsBefore);
    case Shape::kRemoved:
      return Inserted(a_);
    case Shape::kInserted:
      return Removed(a_);
    case Shape::kMoved:
      return Moved(b_, a_);
    case Shape::kReplaced:
      break;
  }
  return Replaced();
}
