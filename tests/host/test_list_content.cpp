#include "host/list_content.h"

#include <random>

#include <gtest/gtest.h>

namespace {

// One row, column-0 text "1", column-1 text "abc", no images, item data 0.
const Bytes kWorkedExample = {
    0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x31, 0x00, 0x00,  // row record, 20 bytes
    0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63, 0x00, 0x00,  // cell record, 22 bytes
};

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
  return out;
}

void ExpectSameRecord(const ContentRecord& a, const ContentRecord& b) {
  EXPECT_EQ(a.kind, b.kind);
  EXPECT_EQ(a.image, b.image);
  EXPECT_EQ(a.stateImage, b.stateImage);
  EXPECT_EQ(a.indent, b.indent);
  EXPECT_EQ(a.itemData, b.itemData);
  EXPECT_EQ(a.text, b.text);
  EXPECT_EQ(a.secondText, b.secondText);
}

TEST(ListContent, WorkedExampleIsWrittenByteExact) {
  const Bytes written = Concat({EncodeRowRecord(-1, 0, "1"), EncodeCellRecord(-1, "abc")});
  EXPECT_EQ(written.size(), 42u);
  EXPECT_EQ(written, kWorkedExample);
}

TEST(ListContent, WorkedExampleIsReadBack) {
  const std::vector<ContentRecord> records = DecodeListContent(kWorkedExample);
  ASSERT_EQ(records.size(), 2u);
  ContentRecord row;
  row.text = "1";
  ContentRecord cell;
  cell.kind = 1;
  cell.text = "abc";
  ExpectSameRecord(records[0], row);
  ExpectSameRecord(records[1], cell);
}

TEST(ListContent, EveryFieldRoundTripsLittleEndian) {
  ContentRecord record;
  record.kind = 0;
  record.image = 0x01020304;
  record.stateImage = -2;
  record.indent = 3;
  record.itemData = INT32_MIN;
  record.text = "\xB5\xEA\xC6\xCC\\x";  // double-byte text; texts are raw bytes
  record.secondText = "tip";
  const Bytes bytes = EncodeRecord(record);
  ASSERT_EQ(bytes.size(), 17u + 7u + 4u);
  EXPECT_EQ((Bytes(bytes.begin() + 1, bytes.begin() + 5)), (Bytes{0x04, 0x03, 0x02, 0x01}));
  EXPECT_EQ((Bytes(bytes.begin() + 13, bytes.begin() + 17)), (Bytes{0x00, 0x00, 0x00, 0x80}));
  const std::vector<ContentRecord> records = DecodeListContent(bytes);
  ASSERT_EQ(records.size(), 1u);
  ExpectSameRecord(records[0], record);
}

TEST(ListContent, EmptyBodyGivesNoRecords) {
  EXPECT_TRUE(DecodeListContent(Bytes{}).empty());
  EXPECT_TRUE(DecodeListContent(nullptr, 0).empty());
}

TEST(ListContent, AnyNonZeroKindIsKeptAsItIs) {
  for (std::uint8_t kind : {1, 2, 0x7F, 0xFF}) {
    ContentRecord record;
    record.kind = kind;
    record.text = "x";
    const std::vector<ContentRecord> records = DecodeListContent(EncodeRecord(record));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].kind, kind);
    EXPECT_EQ(records[0].text, "x");
  }
}

// Cutting a two-row body anywhere leaves exactly the records that end before
// the cut: a record missing even its last zero byte is dropped.
TEST(ListContent, EveryPrefixDecodesToTheWholeRecordsBeforeTheCut) {
  const std::vector<Bytes> parts = {EncodeRowRecord(-1, 7, "1"), EncodeCellRecord(-1, "13800138000"),
                                    EncodeRowRecord(2, 8, "2"), EncodeCellRecord(-1, "\xB5\xEA\xC6\xCC")};
  const std::vector<ContentRecord> all = DecodeListContent(Concat({parts[0], parts[1], parts[2], parts[3]}));
  ASSERT_EQ(all.size(), 4u);
  Bytes body;
  std::vector<std::size_t> ends;
  for (const Bytes& part : parts) {
    body.insert(body.end(), part.begin(), part.end());
    ends.push_back(body.size());
  }
  for (std::size_t cut = 0; cut <= body.size(); ++cut) {
    std::size_t whole = 0;
    while (whole < ends.size() && ends[whole] <= cut) ++whole;
    // A copy of exactly `cut` bytes, so ASan sees any read past the end.
    const Bytes prefix(body.begin(), body.begin() + static_cast<std::ptrdiff_t>(cut));
    const std::vector<ContentRecord> records = DecodeListContent(prefix);
    ASSERT_EQ(records.size(), whole) << "cut at " << cut;
    for (std::size_t i = 0; i < whole; ++i) ExpectSameRecord(records[i], all[i]);
  }
}

TEST(ListContent, TrailingBytesWithoutTheirZerosAreIgnored) {
  // 17 fixed bytes and a text with no zero at all: no record.
  Bytes damaged = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 'a', 'b', 'c'};
  EXPECT_TRUE(DecodeListContent(damaged).empty());
  // The first text ends, the second does not.
  damaged.push_back(0);
  damaged.push_back('t');
  EXPECT_TRUE(DecodeListContent(damaged).empty());
  damaged.push_back(0);
  EXPECT_EQ(DecodeListContent(damaged).size(), 1u);
}

TEST(ListContent, WriterCutsATextAtAZeroByte) {
  // A text ends at its zero byte, so one inside it must not split the record.
  const Bytes bytes = EncodeCellRecord(-1, std::string("ab\0cd", 5));
  const std::vector<ContentRecord> records = DecodeListContent(bytes);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].text, "ab");
  EXPECT_EQ(bytes.size(), 17u + 3u + 1u);
}

TEST(ListContent, RowRecordsAreCountedAmongTheWholeRecords) {
  const Bytes row = EncodeRowRecord(-1, 0, "1");
  const Bytes cell = EncodeCellRecord(-1, "a");
  const struct {
    const char* name;
    Bytes content;
    std::size_t rows;
  } cases[] = {
      {"nothing", {}, 0},
      {"the worked example", kWorkedExample, 1},
      {"cells only", Concat({cell, cell}), 0},
      {"rows with and without cells", Concat({row, cell, row, row, cell, cell}), 3},
      {"a row cut short", Concat({row, cell, Bytes(row.begin(), row.end() - 1)}), 1},
      {"a row after a damaged record", Concat({row, Bytes(17, 1), row}), 1},
  };
  for (const auto& c : cases) EXPECT_EQ(CountRowRecords(c.content), c.rows) << c.name;
}

TEST(ListContent, TheReaderStopsForGoodAtARecordCutShort) {
  const Bytes row = EncodeRowRecord(-1, 0, "1");
  const Bytes body = Concat({row, Bytes(row.begin(), row.end() - 1)});
  ContentReader reader(body);
  RecordView record;
  ASSERT_TRUE(reader.Next(record));
  EXPECT_EQ(record.text, "1");
  EXPECT_FALSE(reader.Next(record));
  EXPECT_FALSE(reader.Next(record));
}

TEST(ListContent, RandomBytesNeverReadPastTheEnd) {
  std::mt19937 random(20240601);
  for (int round = 0; round < 2000; ++round) {
    Bytes body(random() % 120);
    // Few zero bytes make long texts; many make many short records.
    const unsigned zeroEvery = 1 + random() % 30;
    for (std::uint8_t& b : body) b = random() % zeroEvery == 0 ? 0 : static_cast<std::uint8_t>(random());
    const std::vector<ContentRecord> records = DecodeListContent(body);
    std::size_t used = 0;
    for (const ContentRecord& r : records) used += 17 + r.text.size() + 1 + r.secondText.size() + 1;
    EXPECT_LE(used, body.size());
  }
}

}  // namespace
