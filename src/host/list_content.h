#pragma once
// The byte layout of a report list's whole content: for each row a row record
// (kind 0, column 0) followed by a cell record (kind other than 0) for each
// further column. Each record is 17 fixed bytes (kind, then image, state
// image, indent and item data as little-endian 32-bit signed values) and two
// zero-terminated texts. No header, count or padding.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/bytes.h"

struct ContentRecord {
  std::uint8_t kind = 0;  // 0 row record; anything else a cell record
  std::int32_t image = -1;
  std::int32_t stateImage = -1;
  std::int32_t indent = 0;
  std::int32_t itemData = 0;
  std::string text;
  std::string secondText;  // a row's info tip; skipped for cells
};

// The record as the account list writes it: state image -1, indent 0, empty
// second text; a cell record carries item data 0.
Bytes EncodeRowRecord(std::int32_t image, std::int32_t itemData, const std::string& text);
Bytes EncodeCellRecord(std::int32_t image, const std::string& text);
Bytes EncodeRecord(const ContentRecord& record);

// A record as it lies in the bytes: its texts point into them.
struct RecordView {
  std::uint8_t kind = 0;
  std::int32_t image = -1;
  std::int32_t stateImage = -1;
  std::int32_t indent = 0;
  std::int32_t itemData = 0;
  std::string_view text;
  std::string_view secondText;
};

// Walks the whole records from the start of the bytes without copying them;
// the bytes must outlive the reader.
class ContentReader {
 public:
  ContentReader(const std::uint8_t* data, std::size_t size) : at_(data), end_(data ? data + size : data) {}
  explicit ContentReader(const Bytes& content) : ContentReader(content.data(), content.size()) {}
  // The next record; false at the end or at a record that does not fit whole
  // before it (and from then on).
  bool Next(RecordView& record);

 private:
  const std::uint8_t* at_;
  const std::uint8_t* end_;
};

// The number of row records among the whole records of the content.
std::size_t CountRowRecords(const Bytes& content);

// The whole records from the start of `content`, in order. Reading stops at
// the first record that does not fit whole before the end; never reads past it.
std::vector<ContentRecord> DecodeListContent(const std::uint8_t* data, std::size_t size);
std::vector<ContentRecord> DecodeListContent(const Bytes& content);
