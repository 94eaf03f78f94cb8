#include "host/cipher.h"

#include <gtest/gtest.h>

namespace {

Bytes FromHex(std::string_view hex) {
  Bytes out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    out.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
  }
  return out;
}

std::string KeyText(std::string_view hex) {
  const Bytes key = FromHex(hex);
  return std::string(key.begin(), key.end());
}

Bytes Slice(const Bytes& bytes, std::size_t offset, std::size_t count) {
  return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(offset),
               bytes.begin() + static_cast<std::ptrdiff_t>(offset + count));
}

// Published keystreams (RFC 6229): encrypting zero bytes yields the keystream.
TEST(Rc4, MatchesPublishedKeystreams) {
  struct Case {
    const char* keyHex;
    std::size_t offset;
    const char* streamHex;
  };
  const Case cases[] = {
      {"0102030405", 0, "b2396305f03dc027ccc3524a0a1118a8"},
      {"0102030405", 16, "6982944f18fc82d589c403a47a0d0919"},
      {"0102030405", 4096, "ff25b58995996707e51fbdf08b34d875"},
      {"0102030405060708090a0b0c0d0e0f10", 0, "9ac7cc9a609d1ef7b2932899cde41b97"},
      {"0102030405060708090a0b0c0d0e0f10", 16, "5248c4959014126a6e8a84f11d1a9e1c"},
      {"0102030405060708090a0b0c0d0e0f10", 4096, "a36a4c301ae8ac13610ccbc12256cacc"},
  };
  for (const Case& c : cases) {
    const Bytes zeros(c.offset + 16, 0);
    const Bytes stream = EncryptData(zeros, KeyText(c.keyHex), kRc4Algorithm);
    ASSERT_EQ(stream.size(), zeros.size());
    EXPECT_EQ(Slice(stream, c.offset, 16), FromHex(c.streamHex)) << "key " << c.keyHex << " offset " << c.offset;
  }
}

TEST(Rc4, MatchesTheClassicTextVector) {
  const std::string plain = "Plaintext";
  EXPECT_EQ(EncryptData(Bytes(plain.begin(), plain.end()), "Key", kRc4Algorithm), FromHex("bbf316e8d940af0ad3"));
  EXPECT_EQ(DecryptData(FromHex("bbf316e8d940af0ad3"), "Key", kRc4Algorithm), Bytes(plain.begin(), plain.end()));
}

TEST(Rc4, EmptyPasswordKeepsTheIdentityPermutation) {
  EXPECT_EQ(EncryptData(Bytes(8, 0), "", kRc4Algorithm), FromHex("0205070d0d171f28"));
}

TEST(Rc4, PasswordEndsAtItsZeroByte) {
  const Bytes data = {1, 2, 3, 4, 5};
  EXPECT_EQ(EncryptData(data, std::string_view("qeza\0xyz", 8), kRc4Algorithm), EncryptData(data, "qeza", 2));
}

TEST(Rc4, EmptyDataGivesEmptyResult) {
  EXPECT_TRUE(EncryptData({}, "qeza", kRc4Algorithm).empty());
  EXPECT_TRUE(DecryptData({}, "qeza", kRc4Algorithm).empty());
}

TEST(Rc4, RoundTripKeepsLengthAndDataAndEachCallStartsFresh) {
  const Bytes data = {'h', 'e', 'l', 'l', 'o'};
  const Bytes first = EncryptData(data, "qeza", kRc4Algorithm);
  ASSERT_EQ(first.size(), 5u);
  EXPECT_NE(first, data);
  EXPECT_EQ(EncryptData(data, "qeza", kRc4Algorithm), first);  // no state carried over
  EXPECT_EQ(EncryptData(first, "qeza", kRc4Algorithm), data);
  EXPECT_EQ(DecryptData(first, "qeza", kRc4Algorithm), data);
}

TEST(Rc4, SharedPrefixEncryptsToSharedPrefix) {
  const Bytes a = {10, 20, 30, 40, 50, 60};
  const Bytes b = {10, 20, 30, 99, 98};
  const Bytes ea = EncryptData(a, "qeza", kRc4Algorithm);
  const Bytes eb = EncryptData(b, "qeza", kRc4Algorithm);
  EXPECT_EQ(Slice(ea, 0, 3), Slice(eb, 0, 3));
  EXPECT_NE(ea[3], eb[3]);
}

TEST(Rc4, WrongPasswordGivesSameLengthButOtherBytes) {
  const Bytes data = {1, 2, 3, 4, 5, 6, 7};
  const Bytes stored = EncryptData(data, "qeza", kRc4Algorithm);
  const Bytes wrong = DecryptData(stored, "qezb", kRc4Algorithm);
  EXPECT_EQ(wrong.size(), data.size());
  EXPECT_NE(wrong, data);
}

TEST(Cipher, OtherAlgorithmsGiveEmptyResult) {
  const Bytes data = {1, 2, 3};
  for (std::int32_t algorithm : {0, 1, 3, -2}) {
    EXPECT_TRUE(EncryptData(data, "qeza", algorithm).empty()) << algorithm;
    EXPECT_TRUE(DecryptData(data, "qeza", algorithm).empty()) << algorithm;
  }
}

}  // namespace
