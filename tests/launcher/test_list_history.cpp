// Rows followed through the changes of the list, and the bounded undo history.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/list_history.h"
#include "launcher/row_map.h"

namespace {

struct MapCase {
  const char* name;
  RowMap map;
  std::int32_t rowsBefore;
  std::int32_t rowsAfter;
  std::vector<std::int32_t> after;  // where each row before the change is, -1 gone
};

// A list of letters changed by hand, to compare the maps with.
const MapCase kMapCases[] = {
    {"kept", RowMap::Kept(4), 4, 4, {0, 1, 2, 3}},
    {"one added at the end", RowMap::Kept(5), 4, 5, {0, 1, 2, 3}},
    {"the last two gone", RowMap::Kept(2), 4, 2, {0, 1, -1, -1}},
    {"first removed", RowMap::Removed(0), 4, 3, {-1, 0, 1, 2}},
    {"middle removed", RowMap::Removed(2), 4, 3, {0, 1, -1, 2}},
    {"last removed", RowMap::Removed(3), 4, 3, {0, 1, 2, -1}},
    {"inserted at the top", RowMap::Inserted(0), 3, 4, {1, 2, 3}},
    {"inserted in the middle", RowMap::Inserted(1), 3, 4, {0, 2, 3}},
    {"moved down", RowMap::Moved(0, 2), 4, 4, {2, 0, 1, 3}},
    {"moved up", RowMap::Moved(3, 1), 4, 4, {0, 2, 3, 1}},
    {"moved onto itself", RowMap::Moved(2, 2), 4, 4, {0, 1, 2, 3}},
    {"replaced", RowMap::Replaced(), 3, 3, {-1, -1, -1}},
};

class RowMapTest : public ::testing::TestWithParam<MapCase> {};

TEST_P(RowMapTest, FollowsEveryRowAndLeadsBack) {
  const MapCase& c = GetParam();
  std::vector<std::int32_t> after;
  for (std::int32_t row = 0; row < c.rowsBefore; ++row) after.push_back(c.map.Follow(row));
  EXPECT_EQ(after, c.after);
  EXPECT_EQ(c.map.Follow(-1), -1);

  // Back: every row after the change that came from a row before leads to
  // it; a row that came from nowhere leads nowhere.
  const RowMap back = c.map.Reversed(c.rowsBefore);
  std::vector<std::int32_t> expectedBack(static_cast<std::size_t>(c.rowsAfter), -1);
  for (std::int32_t row = 0; row < c.rowsBefore; ++row)
    if (const std::int32_t to = c.after[static_cast<std::size_t>(row)]; to >= 0)
      expectedBack[static_cast<std::size_t>(to)] = row;
  std::vector<std::int32_t> actualBack;
  for (std::int32_t row = 0; row < c.rowsAfter; ++row) actualBack.push_back(back.Follow(row));
  EXPECT_EQ(actualBack, expectedBack);
}

INSTANTIATE_TEST_SUITE_P(Shapes, RowMapTest, ::testing::ValuesIn(kMapCases),
                         [](const ::testing::TestParamInfo<MapCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name)
                             if (ch == ' ') ch = '_';
                           return name;
                         });

ListStep Step(std::size_t size, std::uint8_t fill) { return {Bytes(size, fill), RowMap::Kept(0)}; }

std::vector<std::uint8_t> PopAll(ListHistory& history) {
  std::vector<std::uint8_t> fills;
  while (auto step = history.Pop()) fills.push_back(step->content.empty() ? 0 : step->content.front());
  return fills;
}

TEST(ListHistoryTest, GivesTheStepsBackNewestFirst) {
  ListHistory history;
  EXPECT_FALSE(history.Pop().has_value());
  for (std::uint8_t i = 1; i <= 3; ++i) history.Push(Step(10, i));
  EXPECT_EQ(history.HeldBytes(), 30u);
  EXPECT_EQ(PopAll(history), (std::vector<std::uint8_t>{3, 2, 1}));
  EXPECT_EQ(history.HeldBytes(), 0u);
}

TEST(ListHistoryTest, TheDefaultKeepsMoreThanFiftySmallLists) {
  ListHistory history;
  for (int i = 0; i < 60; ++i) history.Push(Step(20000, static_cast<std::uint8_t>(i)));
  EXPECT_EQ(history.Steps(), 60u);
}

struct BoundCase {
  const char* name;
  std::size_t steps, bytes;
  std::vector<std::size_t> sizes;      // pushed in order, each filled with its place from 1
  std::vector<std::uint8_t> expected;  // what comes back, newest first
};

class ListHistoryBounds : public ::testing::TestWithParam<BoundCase> {};

TEST_P(ListHistoryBounds, DropsTheOldestStepsFirst) {
  const BoundCase& c = GetParam();
  ListHistory history(c.steps, c.bytes);
  for (std::size_t i = 0; i < c.sizes.size(); ++i) history.Push(Step(c.sizes[i], static_cast<std::uint8_t>(i + 1)));
  EXPECT_LE(history.HeldBytes(), c.bytes);
  EXPECT_LE(history.Steps(), c.steps);
  std::size_t expectedHeld = 0;
  for (std::uint8_t fill : c.expected) expectedHeld += c.sizes[fill - 1u];
  EXPECT_EQ(history.HeldBytes(), expectedHeld);
  EXPECT_EQ(PopAll(history), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Bounds, ListHistoryBounds,
                         ::testing::Values(BoundCase{"by_steps", 3, 1000, {1, 1, 1, 1, 1}, {5, 4, 3}},
                                           BoundCase{"by_bytes", 10, 100, {40, 40, 40}, {3, 2}},
                                           BoundCase{"a_step_that_fills_the_allowance", 10, 100, {40, 100}, {2}},
                                           // Too large to keep: older steps would leap over it.
                                           BoundCase{"a_step_too_large_empties_it", 10, 100, {40, 101}, {}},
                                           BoundCase{"steps_after_a_too_large_one", 10, 100, {40, 101, 30}, {3}}),
                         [](const ::testing::TestParamInfo<BoundCase>& info) { return std::string(info.param.name); });

}  // namespace
