// Throughput of the stored list's cipher and of reading a large list back.
#include <chrono>
#include <cstdio>

#include "host/cipher.h"
#include "host/text.h"
#include "host/list_content.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main() {
  const Bytes data(16 * 1024 * 1024, 0x5A);
  const int rounds = 4;
  std::size_t checksum = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < rounds; ++i) checksum += EncryptData(data, "qeza", kRc4Algorithm)[static_cast<std::size_t>(i)];
  const double cipherSeconds = SecondsSince(start);
  std::printf("bench_cipher: RC4 %.1f MB/s\n", rounds * data.size() / cipherSeconds / 1e6);

  const int rows = 10000;
  Bytes content;
  for (int r = 0; r < rows; ++r) {
    const Bytes row = EncodeRowRecord(-1, 0, ToText(r + 1));
    const Bytes cell = EncodeCellRecord(-1, JoinTexts({"138", ToText(10000000 + r)}));
    content.insert(content.end(), row.begin(), row.end());
    content.insert(content.end(), cell.begin(), cell.end());
  }
  const int decodes = 50;
  start = std::chrono::steady_clock::now();
  for (int i = 0; i < decodes; ++i) checksum += DecodeListContent(content).size();
  const double decodeSeconds = SecondsSince(start);
  std::printf("bench_cipher: decode of a %d-row list (%zu bytes) %.2f ms, %.0f rows/s (checksum %zu)\n", rows,
              content.size(), decodeSeconds / decodes * 1e3, rows * decodes / decodeSeconds, checksum);
  return 0;
}
