#include "host/memory_file.h"

#include <random>
#include <set>

#include <gtest/gtest.h>

namespace {

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes out(size);
  for (std::size_t i = 0; i < size; ++i) out[i] = static_cast<std::uint8_t>(seed + i * 7 + i / 251);
  return out;
}

Bytes ReadAll(std::int32_t file) {
  EXPECT_TRUE(SeekFile(file, kSeekStart, 0));
  return ReadFileRange(file, FileLength(file));
}

TEST(MemoryFile, ThreeInsertsReadBackInOrder) {
  MemoryFileScope file;
  ASSERT_NE(file.get(), 0);
  EXPECT_EQ(FileLength(file.get()), 0);
  ASSERT_TRUE(InsertFileBytes(file.get(), {'a', 'b'}));
  ASSERT_TRUE(InsertFileBytes(file.get(), {'c'}));
  ASSERT_TRUE(InsertFileBytes(file.get(), {'d', 'e', 'f'}));
  EXPECT_TRUE(SeekFile(file.get(), kSeekStart, 0));
  EXPECT_EQ(FileLength(file.get()), 6);
  EXPECT_EQ(ReadFileRange(file.get(), FileLength(file.get())), (Bytes{'a', 'b', 'c', 'd', 'e', 'f'}));
}

// Inserting before existing bytes moves them back; tails and inserts longer
// than the 4096-byte move chunk, and shorter than it, must all come out whole.
TEST(MemoryFile, InsertInTheMiddleMatchesAVectorInsert) {
  struct Case {
    std::size_t initial;
    std::size_t position;
    std::size_t inserted;
  };
  const Case cases[] = {
      {10, 4, 3},         {5000, 1000, 1}, {10000, 1, 5000}, {3 * 4096 + 17, 0, 4096},
      {9000, 8999, 2000}, {4096, 0, 4097}, {20000, 300, 10}, {1023, 512, 1},
  };
  for (const Case& c : cases) {
    MemoryFileScope file;
    Bytes expected = Pattern(c.initial, 1);
    ASSERT_TRUE(InsertFileBytes(file.get(), expected));
    const Bytes data = Pattern(c.inserted, 101);
    ASSERT_TRUE(SeekFile(file.get(), kSeekStart, static_cast<std::int64_t>(c.position)));
    ASSERT_TRUE(InsertFileBytes(file.get(), data));
    expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(c.position), data.begin(), data.end());

    // The position ends just after the inserted bytes.
    const Bytes rest = ReadFileRange(file.get(), 1);
    if (c.position < c.initial) {
      ASSERT_EQ(rest.size(), 1u);
      EXPECT_EQ(rest[0], expected[c.position + c.inserted]);
    }
    EXPECT_EQ(FileLength(file.get()), static_cast<std::int64_t>(expected.size()));
    EXPECT_EQ(ReadAll(file.get()), expected) << c.initial << "/" << c.position << "/" << c.inserted;
  }
}

TEST(MemoryFile, ManyRandomInsertsMatchAVector) {
  std::mt19937 random(12345);
  MemoryFileScope file;
  Bytes expected;
  for (int round = 0; round < 300; ++round) {
    const std::size_t position = expected.empty() ? 0 : random() % (expected.size() + 1);
    const Bytes data = Pattern(random() % 700, static_cast<std::uint8_t>(round));
    ASSERT_TRUE(SeekFile(file.get(), kSeekStart, static_cast<std::int64_t>(position)));
    ASSERT_TRUE(InsertFileBytes(file.get(), data));
    expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(position), data.begin(), data.end());
  }
  EXPECT_EQ(ReadAll(file.get()), expected);
}

TEST(MemoryFile, SeekOriginsAndLimits) {
  MemoryFileScope file;
  const std::int32_t f = file.get();
  ASSERT_TRUE(InsertFileBytes(f, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
  struct Case {
    std::int32_t origin;
    std::int64_t offset;
    bool ok;
    std::int64_t positionAfter;  // read through the next byte
  };
  // Each seek starts from position 4.
  const Case cases[] = {
      {kSeekStart, 0, true, 0},
      {kSeekStart, 7, true, 7},
      {kSeekStart, 10, true, 10},
      {kSeekStart, 11, false, 4},
      {kSeekStart, -1, false, 4},
      {kSeekEnd, 0, true, 10},
      {kSeekEnd, -3, true, 7},
      {kSeekEnd, 1, false, 4},
      {kSeekEnd, -10, true, 0},
      {kSeekEnd, -11, false, 4},
      {kSeekCurrent, 2, true, 6},
      {kSeekCurrent, -4, true, 0},
      {kSeekCurrent, -5, false, 4},
      {kSeekCurrent, 6, true, 10},
      {0, 0, false, 4},
      {4, 0, false, 4},
      {-1, 0, false, 4},
      {kSeekCurrent, INT64_MAX, false, 4},
      {kSeekEnd, INT64_MIN, false, 4},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(SeekFile(f, kSeekStart, 4));
    EXPECT_EQ(SeekFile(f, c.origin, c.offset), c.ok) << c.origin << " " << c.offset;
    const Bytes next = ReadFileRange(f, 1);
    if (c.positionAfter == 10) {
      EXPECT_TRUE(next.empty()) << c.origin << " " << c.offset;
    } else {
      EXPECT_EQ(next, Bytes{static_cast<std::uint8_t>(c.positionAfter)}) << c.origin << " " << c.offset;
    }
  }
}

TEST(MemoryFile, ReadRangeStopsAtTheEndAndIgnoresNonPositiveCounts) {
  MemoryFileScope file;
  const std::int32_t f = file.get();
  ASSERT_TRUE(InsertFileBytes(f, {1, 2, 3, 4, 5}));
  ASSERT_TRUE(SeekFile(f, kSeekStart, 1));
  EXPECT_TRUE(ReadFileRange(f, 0).empty());
  EXPECT_TRUE(ReadFileRange(f, -5).empty());
  EXPECT_EQ(ReadFileRange(f, 2), (Bytes{2, 3}));
  EXPECT_EQ(ReadFileRange(f, 100), (Bytes{4, 5}));
  EXPECT_TRUE(ReadFileRange(f, 1).empty());
}

TEST(MemoryFile, InsertAtTheEndAppendsAndEmptyInsertChangesNothing) {
  MemoryFileScope file;
  const std::int32_t f = file.get();
  ASSERT_TRUE(InsertFileBytes(f, {1, 2}));
  ASSERT_TRUE(SeekFile(f, kSeekStart, 0));
  EXPECT_TRUE(InsertFileBytes(f, {}));
  EXPECT_EQ(FileLength(f), 2);
  ASSERT_TRUE(SeekFile(f, kSeekEnd, 0));
  ASSERT_TRUE(InsertFileBytes(f, {3}));
  EXPECT_EQ(ReadAll(f), (Bytes{1, 2, 3}));
}

TEST(MemoryFile, UnknownAndClosedNumbersNameNoFile) {
  std::int32_t closed = 0;
  {
    MemoryFileScope file;
    closed = file.get();
    ASSERT_TRUE(InsertFileBytes(closed, {1}));
  }
  for (std::int32_t f : {0, -1, closed, INT32_MAX}) {
    EXPECT_EQ(FileLength(f), -1) << f;
    EXPECT_FALSE(InsertFileBytes(f, {1})) << f;
    EXPECT_FALSE(SeekFile(f, kSeekStart, 0)) << f;
    EXPECT_TRUE(ReadFileRange(f, 10).empty()) << f;
    CloseFile(f);  // closing a number that names nothing is harmless
  }
}

TEST(MemoryFile, OpenFilesHaveDistinctNonZeroNumbersAndSeparateContents) {
  std::set<std::int32_t> numbers;
  std::vector<std::int32_t> files;
  for (int i = 0; i < 50; ++i) {
    const std::int32_t f = OpenMemoryFile();
    ASSERT_NE(f, 0);
    EXPECT_TRUE(numbers.insert(f).second) << "number " << f << " given twice";
    ASSERT_TRUE(InsertFileBytes(f, Bytes(static_cast<std::size_t>(i), static_cast<std::uint8_t>(i))));
    files.push_back(f);
  }
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(FileLength(files[static_cast<std::size_t>(i)]), i);
    EXPECT_EQ(ReadAll(files[static_cast<std::size_t>(i)]),
              Bytes(static_cast<std::size_t>(i), static_cast<std::uint8_t>(i)));
  }
  for (std::int32_t f : files) CloseFile(f);
}

}  // namespace
