#include "package/setup_package_builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <span>

#include "base/errors.h"
#include "base/file_stream.h"
#include "base/memory_stream.h"
#include "package/package_crc.h"
#include "package/package_test_data.h"
#include "package/setup_package_reader.h"

namespace nolu {
namespace {

using testing::MixedBytes;

struct Entry {
  String name;
  Bytes content;
};

Bytes Build(const std::vector<Entry>& entries, int level = 4,
            StringView key = TSetupPackageScrambler::kDefaultKey) {
  TSetupPackageBuilder builder(key);
  for (const Entry& e : entries) {
    TMemoryStream source(e.content);
    builder.Add(source, e.name);
  }
  TMemoryStream dest;
  builder.Commit(dest, level);
  return dest.TakeBytes();
}

Bytes ExtractBytes(const TCustomSetupPackage& package, StringView name) {
  std::unique_ptr<TMemoryStream> stream;
  EXPECT_TRUE(package.Extract(name, stream)) << StringToUtf8(name);
  if (!stream) return {};
  EXPECT_EQ(stream->Position(), 0);
  return stream->TakeBytes();
}

const std::vector<Entry>& SampleEntries() {
  static const std::vector<Entry> entries = {
      {u"Install.xml", MixedBytes(5000, 1)},
      {u"lang\\Deutsch.lng", MixedBytes(70000, 2)},
      {u"empty.txt", {}},
      {u"lang\\\u0420\u0443\u0441\u0441\u043A\u0438\u0439.lng", MixedBytes(300, 3)},
      {u"Nolu.exe", MixedBytes(250000, 4)},
  };
  return entries;
}

TEST(SetupPackageBuilderTest, PackagesRoundTripThroughTheReader) {
  for (const int level : {0, 4}) {
    TMemoryStream file(Build(SampleEntries(), level));
    const TSetupPackageReader reader(file);
    ASSERT_EQ(reader.FileTable().Count(), 5) << level;
    int64_t offset = 0;
    for (int i = 0; i < 5; ++i) {
      const Entry& e = SampleEntries()[i];
      const TSetupPackageFileTableItem& item = reader.FileTable().Items(i);
      EXPECT_EQ(item.Name, e.name);
      EXPECT_EQ(item.Offset, offset);  // back to back, in the order of Add
      EXPECT_EQ(item.Size, static_cast<int64_t>(e.content.size()));
      EXPECT_EQ(ExtractBytes(reader, e.name), e.content) << StringToUtf8(e.name);
      offset += item.Size;
    }
  }
}

TEST(SetupPackageBuilderTest, HeaderHoldsMagicChecksumAndBodySize) {
  const Bytes file = Build(SampleEntries());
  TMemoryStream stream(file);
  const TSetupPackageReader reader(stream);
  const Bytes& body = reader.Body().Bytes();
  const uint32_t crc = PackageCrc(body.data(), body.size());
  const auto size = static_cast<uint32_t>(body.size());
  EXPECT_EQ(Bytes(file.begin(), file.begin() + 12),
            (Bytes{'I', 'P', 'K', '5', static_cast<uint8_t>(crc), static_cast<uint8_t>(crc >> 8),
                   static_cast<uint8_t>(crc >> 16), static_cast<uint8_t>(crc >> 24),
                   static_cast<uint8_t>(size), static_cast<uint8_t>(size >> 8),
                   static_cast<uint8_t>(size >> 16), static_cast<uint8_t>(size >> 24)}));
}

TEST(SetupPackageBuilderTest, EmptyBuilderCommitsAnEightByteBody) {
  TMemoryStream file(Build({}));
  const TSetupPackageReader reader(file);
  EXPECT_EQ(reader.Body().Bytes(), (Bytes{0, 0, 0, 0, 4, 0, 0, 0}));
  EXPECT_EQ(reader.FileTable().Count(), 0);
  EXPECT_FALSE(reader.Contains(u""));
}

TEST(SetupPackageBuilderTest, LookupsFollowThePackageRules) {
  TMemoryStream file(Build({{u"Setup.ini", {'1'}},
                            {u"SETUP.INI", {'2'}},  // equal but for case: shadowed
                            {u"", {'3'}},
                            {u"zero", {}},
                            {u"after", {'4', '5'}}}));
  const TSetupPackageReader reader(file);
  struct Case {
    String name;
    bool found;
    Bytes content;
  };
  const Case cases[] = {
      {u"setup.ini", true, {'1'}},  {u"SETUP.INI", true, {'1'}}, {u"", true, {'3'}},
      {u"ZERO", true, {}},  // an empty entry is empty, not its neighbours' bytes
      {u"after", true, {'4', '5'}}, {u"missing", false, {}},     {u"setup.ini\\", false, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(reader.Contains(c.name), c.found) << StringToUtf8(c.name);
    std::unique_ptr<TMemoryStream> stream;
    EXPECT_EQ(reader.Extract(c.name, stream), c.found) << StringToUtf8(c.name);
    if (c.found) {
      ASSERT_TRUE(stream);
      EXPECT_EQ(stream->Bytes(), c.content) << StringToUtf8(c.name);
    } else {
      EXPECT_FALSE(stream);
    }
    // The view finds the same entry, inside the body, not a copy of it.
    std::span<const uint8_t> bytes;
    EXPECT_EQ(reader.ExtractBytes(c.name, bytes), c.found) << StringToUtf8(c.name);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), c.content) << StringToUtf8(c.name);
    const uint8_t* body = reader.Body().Data();
    if (!bytes.empty()) {
      EXPECT_TRUE(bytes.data() >= body &&
                  bytes.data() + bytes.size() <= body + reader.Body().Bytes().size())
          << StringToUtf8(c.name);
    }
  }
}

TEST(SetupPackageBuilderTest, Level4PropertiesReadBackAfterDescrambling) {
  Bytes file = Build(SampleEntries(), 4);
  TSetupPackageScrambler scrambler;
  scrambler.SetKey(TSetupPackageScrambler::kDefaultKey);
  scrambler.Process(file.data() + 12, 5);
  EXPECT_EQ(Bytes(file.begin() + 12, file.begin() + 17), (Bytes{0x5D, 0x00, 0x00, 0x40, 0x00}));
}

// Same input and level give the same bytes on every build: this value is checked by the host
// build and again by the Windows build.
TEST(SetupPackageBuilderTest, OutputIsTheSameOnEveryBuild) {
  const Bytes file = Build(SampleEntries(), 4);
  EXPECT_EQ(file.size(), 100965u);
  EXPECT_EQ(PackageCrc(file.data(), file.size()), 0xE10C4E70u);
}

TEST(SetupPackageBuilderTest, CommitCanBeRepeatedAndEntriesAddedAfterwards) {
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  TMemoryStream a(Bytes{'a'});
  builder.Add(a, u"a");
  TMemoryStream first, second;
  builder.Commit(first, 4);
  builder.Commit(second, 4);
  EXPECT_EQ(first.Bytes(), second.Bytes());
  EXPECT_EQ(builder.Body().Bytes(), Bytes{'a'});

  TMemoryStream b(Bytes{'b', 'b'});
  builder.Add(b, u"b");
  TMemoryStream third;
  builder.Commit(third, 4);
  third.SetPosition(0);
  const TSetupPackageReader reader(third);
  EXPECT_EQ(ExtractBytes(reader, u"a"), Bytes{'a'});
  EXPECT_EQ(ExtractBytes(reader, u"b"), (Bytes{'b', 'b'}));
}

TEST(SetupPackageBuilderTest, AddTakesTheSourceFromItsPosition) {
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  TMemoryStream source(Bytes{'x', 'y', 'z'});
  source.SetPosition(1);
  builder.Add(source, u"yz");
  EXPECT_EQ(builder.FileTable().Items(0).Size, 2);
  EXPECT_EQ(builder.Body().Bytes(), (Bytes{'y', 'z'}));
}

TEST(SetupPackageBuilderTest, FailedAddLeavesTheBuilderAsItWas) {
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  TMemoryStream good(Bytes{'g'});
  builder.Add(good, u"good");
  testing::TFailingStream bad(MixedBytes(3 << 20), 1 << 20);
  EXPECT_THROW(builder.Add(bad, u"bad"), EStreamError);
  String long_name(TSetupPackageFileTableItem::kMaxNameLength + 1, u'n');
  EXPECT_THROW(builder.Add(good, long_name), EInvalidOperation);
  EXPECT_EQ(builder.FileTable().Count(), 1);
  EXPECT_EQ(builder.Body().Bytes(), Bytes{'g'});
}

TEST(SetupPackageBuilderTest, DestinationThatFillsUpIsLZMAError9) {
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  TMemoryStream source(MixedBytes(200000));
  builder.Add(source, u"big");
  testing::TLimitedStream dest(1000);
  try {
    builder.Commit(dest, 4);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), u"LZMA Error (9)");
  }
  EXPECT_EQ(builder.Body().Bytes().size(), 200000u);
}

TEST(SetupPackageBuilderTest, KeyScramblesTheEncodedBody) {
  const std::vector<Entry> entries = {{u"a.txt", MixedBytes(1000)}};
  const Bytes plain_key = Build(entries, 4, u"other key");
  const Bytes default_key = Build(entries, 4);
  ASSERT_EQ(plain_key.size(), default_key.size());
  EXPECT_TRUE(std::equal(plain_key.begin(), plain_key.begin() + 12, default_key.begin()));
  EXPECT_NE(plain_key, default_key);

  TMemoryStream file(plain_key);
  const TSetupPackageReader reader(file, u"other key");
  EXPECT_EQ(ExtractBytes(reader, u"a.txt"), entries[0].content);
}

TEST(SetupPackageBuilderTest, SaveToFileWritesTheSamePackage) {
  const auto dir = std::filesystem::temp_directory_path() / "nolu_package_builder_test";
  std::filesystem::create_directories(dir);
  const String path = testing::PathToString(dir / "out.dat");
  TSetupPackageBuilder builder(u"7290318465");
  TMemoryStream ini(Bytes{'[', 'A', ']'});
  builder.Add(ini, u"Uninstall.ini");
  builder.SaveToFile(path, 4);
  TMemoryStream expected;
  builder.Commit(expected, 4);
  {
    TFileStream file(path, FileMode::kOpenRead);
    TMemoryStream copy;
    copy.CopyRemainingFrom(file);
    EXPECT_EQ(copy.Bytes(), expected.Bytes());
  }
  std::filesystem::remove_all(dir);
  EXPECT_THROW(builder.SaveToFile(path, 4), EFOpenError);  // its folder is gone
}

}  // namespace
}  // namespace nolu
