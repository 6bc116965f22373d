// The store carries its own CRC-32 in place of zlib's (store/DataBuf.cpp).
// zlib only calls it for gzip streams, so it is checked through one: a wrong
// CRC would make a sound gzip stream fail its trailer check, and a damaged
// one pass.
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Gzip(const std::string& text) {
  z_stream z{};
  EXPECT_EQ(deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&z, text.size()) + 32, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

int Gunzip(const std::string& packed, std::string& text) {
  z_stream z{};
  EXPECT_EQ(inflateInit2(&z, 15 + 16), Z_OK);
  text.assign(4096, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
  z.avail_in = static_cast<uInt>(packed.size());
  z.next_out = reinterpret_cast<Bytef*>(text.data());
  z.avail_out = static_cast<uInt>(text.size());
  int result = inflate(&z, Z_FINISH);
  text.resize(z.total_out);
  inflateEnd(&z);
  return result;
}

TEST(ZlibCrcTest, KnownValuesAndGzipTrailersAgree) {
  const std::string check = "123456789";
  EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef*>(check.data()), 9), 0xCBF43926u);
  EXPECT_EQ(crc32(0, nullptr, 0), 0u);
  EXPECT_EQ(crc32(0, reinterpret_cast<const Bytef*>(""), 0), 0u);
  // Piecewise equals whole.
  uLong part = crc32(0, reinterpret_cast<const Bytef*>(check.data()), 4);
  EXPECT_EQ(crc32(part, reinterpret_cast<const Bytef*>(check.data() + 4), 5), 0xCBF43926u);

  const std::string text = "default\xFFmessage, folded a few times over and over and over";
  std::string packed = Gzip(text), back;
  ASSERT_GT(packed.size(), 8u);
  // The trailer is the CRC of the text, little-endian, then its length.
  uLong expected = crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size()));
  uLong stored = 0;
  for (int i = 3; i >= 0; --i) stored = (stored << 8) | static_cast<unsigned char>(packed[packed.size() - 8 + i]);
  EXPECT_EQ(stored, expected);
  EXPECT_EQ(Gunzip(packed, back), Z_STREAM_END);
  EXPECT_EQ(back, text);

  packed[packed.size() - 8] ^= 0x01;  // a damaged CRC is noticed
  EXPECT_EQ(Gunzip(packed, back), Z_DATA_ERROR);
}

}  // namespace
