#include "host/list_content.h"

#include <cstring>
#include <new>
#include <string_view>
#include <utility>

namespace {

constexpr std::size_t kFixedBytes = 17;

void AppendInt32(Bytes& out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

// A text is stored up to its first zero byte, which is the zero that ends it.
void AppendText(Bytes& out, std::string_view text) {
  text = text.substr(0, text.find('\0'));
  out.insert(out.end(), text.begin(), text.end());
  out.push_back(0);
}

std::int32_t ReadInt32(const std::uint8_t* at) {
  const std::uint32_t bits = static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
                             static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
  return static_cast<std::int32_t>(bits);
}

// The zero-terminated text at `begin`, if its zero comes before `end`; moves
// `begin` past the zero.
bool ReadText(const std::uint8_t*& begin, const std::uint8_t* end, std::string_view& text) {
  const auto* zero = static_cast<const std::uint8_t*>(std::memchr(begin, 0, static_cast<std::size_t>(end - begin)));
  if (zero == nullptr) return false;
  text = std::string_view(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(zero - begin));
  begin = zero + 1;
  return true;
}

}  // namespace

Bytes EncodeRecord(const ContentRecord& record) {
  Bytes out;
  out.reserve(kFixedBytes + record.text.size() + record.secondText.size() + 2);
  out.push_back(record.kind);
  AppendInt32(out, record.image);
  AppendInt32(out, record.stateImage);
  AppendInt32(out, record.indent);
  AppendInt32(out, record.itemData);
  AppendText(out, record.text);
  AppendText(out, record.secondText);
  return out;
}

Bytes EncodeRowRecord(std::int32_t image, std::int32_t itemData, const std::string& text) {
  ContentRecord record;
  record.kind = 0;
  record.image = image;
  record.itemData = itemData;
  record.text = text;
  return EncodeRecord(record);
}

Bytes EncodeCellRecord(std::int32_t image, const std::string& text) {
  ContentRecord record;
  record.kind = 1;
  record.image = image;
  record.text = text;
  return EncodeRecord(record);
}

bool ContentReader::Next(RecordView& record) {
  if (at_ == nullptr || static_cast<std::size_t>(end_ - at_) < kFixedBytes) return false;
  RecordView next;
  next.kind = at_[0];
  next.image = ReadInt32(at_ + 1);
  next.stateImage = ReadInt32(at_ + 5);
  next.indent = ReadInt32(at_ + 9);
  next.itemData = ReadInt32(at_ + 13);
  const std::uint8_t* after = at_ + kFixedBytes;
  if (!ReadText(after, end_, next.text) || !ReadText(after, end_, next.secondText)) {
    at_ = end_;  // a record cut short ends the content
    return false;
  }
  record = next;
  at_ = after;
  return true;
}

std::size_t CountRowRecords(const Bytes& content) {
  std::size_t rows = 0;
  ContentReader reader(content);
  for (RecordView record; reader.Next(record);)
    if (record.kind == 0) ++rows;
  return rows;
}

std::vector<ContentRecord> DecodeListContent(const std::uint8_t* data, std::size_t size) {
  std::vector<ContentRecord> records;
  ContentReader reader(data, size);
  try {
    for (RecordView view; reader.Next(view);) {
      records.push_back(ContentRecord{view.kind, view.image, view.stateImage, view.indent, view.itemData,
                                      std::string(view.text), std::string(view.secondText)});
    }
  } catch (const std::bad_alloc&) {
    // Keep the whole records read so far, as for a damaged body.
  }
  return records;
}

std::vector<ContentRecord> DecodeListContent(const Bytes& content) {
  return DecodeListContent(content.data(), content.size());
}
