#include "stored_list.h"

#include "host/cipher.h"
#include "host/list_content.h"
#include "win_test_support.h"

namespace launcher_test {

Rows RowsOfContent(const Bytes& plain) {
  Rows rows;
  bool cellPending = false;
  for (const ContentRecord& record : DecodeListContent(plain)) {
    if (record.kind == 0) {
      rows.push_back({record.text, {}});
      cellPending = true;
    } else if (cellPending) {
      rows.back().second = record.text;
      cellPending = false;
    }
  }
  return rows;
}

Bytes StoredPlain(const std::string& path) {
  return DecryptData(test::AsBytes(test::ReadWholeFile(path)), kPassword, kRc4Algorithm);
}

Rows StoredRows(const std::string& path) { return RowsOfContent(StoredPlain(path)); }

bool WriteStored(const std::string& path, const Bytes& plain) {
  return test::WriteWholeFile(path, test::AsString(EncryptData(plain, kPassword, kRc4Algorithm)));
}

Bytes WorkedExampleContent() {
  return {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00,
          0x00, 0x00, 0x00, 0x31, 0x00, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
          0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x61, 0x62, 0x63, 0x00, 0x00};
}

}  // namespace launcher_test
