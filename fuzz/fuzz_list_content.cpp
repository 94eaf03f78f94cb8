// Any bytes may reach the list decoder (a damaged or wrongly deciphered
// config.ini): it must not read past the end, and what it decodes must survive
// being written and read again unchanged.
#include <cstdint>
#include <algorithm>
#include <cstdlib>

#include "host/list_content.h"

namespace {

bool SameRecord(const ContentRecord& a, const ContentRecord& b) {
  return a.kind == b.kind && a.image == b.image && a.stateImage == b.stateImage && a.indent == b.indent &&
         a.itemData == b.itemData && a.text == b.text && a.secondText == b.secondText;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::vector<ContentRecord> records = DecodeListContent(data, size);

  Bytes encoded;
  for (const ContentRecord& record : records) {
    const Bytes bytes = EncodeRecord(record);
    encoded.insert(encoded.end(), bytes.begin(), bytes.end());
  }
  // The decoded records are exactly a prefix of the input.
  if (encoded.size() > size || !std::equal(encoded.begin(), encoded.end(), data)) std::abort();

  // The row count made ahead of a load is that of the decoded rows.
  const auto rows = static_cast<std::size_t>(
      std::count_if(records.begin(), records.end(), [](const ContentRecord& r) { return r.kind == 0; }));
  if (CountRowRecords(Bytes(data, data + size)) != rows) std::abort();

  const std::vector<ContentRecord> again = DecodeListContent(encoded);
  if (again.size() != records.size()) std::abort();
  for (std::size_t i = 0; i < records.size(); ++i) {
    if (!SameRecord(again[i], records[i])) std::abort();
  }
  return 0;
}
