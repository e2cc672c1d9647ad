#include "package/setup_package_scrambler.h"

#include <gtest/gtest.h>

#include <numeric>

namespace nolu {
namespace {

Bytes Sequence(size_t n) {
  Bytes bytes(n);
  std::iota(bytes.begin(), bytes.end(), uint8_t{0x40});
  return bytes;
}

TEST(SetupPackageScramblerTest, SetKeyTakesTheAnsiBytesAndRestartsThePosition) {
  TSetupPackageScrambler s;
  s.Position = 7;
  s.SetKey(TSetupPackageScrambler::kDefaultKey);
  EXPECT_EQ(s.Key, (Bytes{'7', '2', '9', '0', '3', '1', '8', '4', '6', '5'}));
  EXPECT_EQ(s.Position, 0);
  s.SetKey(u"\u00E9\u20AC");  // Windows-1252: e-acute 0xE9, euro sign 0x80
  EXPECT_EQ(s.Key, (Bytes{0xE9, 0x80}));
}

TEST(SetupPackageScramblerTest, XorsByteIWithKeyByteIModKeyLength) {
  TSetupPackageScrambler s;
  s.SetKey(u"abc");
  Bytes bytes(7, 0);
  s.Process(bytes.data(), 7);
  EXPECT_EQ(bytes, (Bytes{'a', 'b', 'c', 'a', 'b', 'c', 'a'}));
  EXPECT_EQ(s.Position, 1);
}

TEST(SetupPackageScramblerTest, PositionCarriesOverBetweenCalls) {
  const Bytes plain = Sequence(15);
  TSetupPackageScrambler one;
  one.SetKey(TSetupPackageScrambler::kDefaultKey);
  Bytes whole = plain;
  one.Process(whole.data(), 15);

  TSetupPackageScrambler two;
  two.SetKey(TSetupPackageScrambler::kDefaultKey);
  Bytes pieces = plain;
  two.Process(pieces.data(), 3);
  two.Process(pieces.data() + 3, 12);

  EXPECT_EQ(pieces, whole);
  EXPECT_EQ(two.Position, one.Position);
  EXPECT_EQ(whole[10], plain[10] ^ '7');  // key byte 0 again for byte 10 of the stream
}

TEST(SetupPackageScramblerTest, AnyKeyLengthAndAnyPiecesGiveTheBytewiseResult) {
  Bytes plain(5000);
  for (size_t i = 0; i < plain.size(); ++i)
    plain[i] = static_cast<uint8_t>(i * 131 + 7);
  const size_t pieces[] = {1, 63, 64, 65, 7, 1000, 9, 3791};  // adds up to 5000
  for (const size_t key_length : {1, 3, 7, 8, 9, 10, 13, 64, 100}) {
    String key;
    for (size_t k = 0; k < key_length; ++k)
      key += static_cast<Char>(u'A' + (k * 7) % 26);
    Bytes expected = plain;
    for (size_t i = 0; i < expected.size(); ++i) {
      expected[i] ^= static_cast<uint8_t>(key[i % key_length]);
    }
    TSetupPackageScrambler s;
    s.SetKey(key);
    Bytes bytes = plain;
    size_t offset = 0;
    for (const size_t piece : pieces) {
      s.Process(bytes.data() + offset, static_cast<int32_t>(piece));
      offset += piece;
    }
    ASSERT_EQ(offset, plain.size());
    EXPECT_EQ(bytes, expected) << "key length " << key_length;
    EXPECT_EQ(s.Position, static_cast<int32_t>(plain.size() % key_length)) << key_length;
  }
}

TEST(SetupPackageScramblerTest, ScramblingTwiceRestoresTheBytes) {
  const Bytes plain = Sequence(40);
  Bytes bytes = plain;
  TSetupPackageScrambler s;
  s.SetKey(u"key");
  s.Process(bytes.data(), 40);
  EXPECT_NE(bytes, plain);
  s.SetKey(u"key");
  s.Process(bytes.data(), 40);
  EXPECT_EQ(bytes, plain);
}

TEST(SetupPackageScramblerTest, EmptyKeyLeavesBytesAlone) {
  const Bytes plain = Sequence(5);
  Bytes bytes = plain;
  TSetupPackageScrambler s;
  s.SetKey(u"");
  s.Process(bytes.data(), 5);
  EXPECT_EQ(bytes, plain);
}

TEST(SetupPackageScramblerTest, PositionOutsideTheKeyWraps) {
  struct Case {
    int32_t position;
    uint8_t first_key_byte;
  };
  const Case cases[] = {{4, 'b'}, {-1, 'c'}, {-3, 'a'}, {2147483647, 'b'}};  // key "abc"
  for (const Case& c : cases) {
    TSetupPackageScrambler s;
    s.SetKey(u"abc");
    s.Position = c.position;
    uint8_t byte = 0;
    s.Process(&byte, 1);
    EXPECT_EQ(byte, c.first_key_byte) << c.position;
  }
}

}  // namespace
}  // namespace nolu
