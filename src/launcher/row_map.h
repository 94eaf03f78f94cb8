#pragma once
// Where the rows of the account list were before a change and are after it,
// so that what points at a row (the row last clicked, an undo step) follows
// it. A change of the list moves rows in one of a few shapes only.

#include <cstdint>

class RowMap {
 public:
  // Every row stays in its place; rows from `rowsAfter` on are gone (rows
  // added at the end come from nowhere).
  static RowMap Kept(std::int32_t rowsAfter) { return {Shape::kKept, rowsAfter, 0}; }
  // Row `row` went; the rows after it moved up one place.
  static RowMap Removed(std::int32_t row) { return {Shape::kRemoved, row, 0}; }
  // A new row came in at `row`; the rows from there on moved down one place.
  static RowMap Inserted(std::int32_t row) { return {Shape::kInserted, row, 0}; }
  // Row `from` now stands at `to`; the rows between moved one place towards
  // where it was.
  static RowMap Moved(std::int32_t from, std::int32_t to) { return {Shape::kMoved, from, to}; }
  // The list was replaced: no row follows.
  static RowMap Replaced() { return {Shape::kReplaced, 0, 0}; }

  // Where row `row` is after the change; -1 when it is gone (or was -1).
  std::int32_t Follow(std::int32_t row) const;
  // The map that leads back, for a list that had `rowsBefore` rows before
  // this change.
  RowMap Reversed(std::int32_t rowsBefore) const;

 private:
  enum class Shape { kKept, kRemoved, kInserted, kMoved, kReplaced };
  RowMap(Shape shape, std::int32_t a, std::int32_t b) : shape_(shape), a_(a), b_(b) {}
  Shape shape_;
  std::int32_t a_;
  std::int32_t b_;
};
