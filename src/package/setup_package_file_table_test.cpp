#include "package/setup_package_file_table.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/memory_stream.h"

namespace nolu {
namespace {

TEST(SetupPackageFileTableTest, RecordsRoundTripInOrder) {
  TSetupPackageFileTable table;
  struct Row {
    String name;
    int64_t offset, size;
  };
  const Row rows[] = {
      {u"Install.xml", 0, 1234},
      {u"", 1234, 0},  // an empty name is stored as length 0
      {u"lang\\\u0420\u0443\u0441\u0441\u043A\u0438\u0439.lng", 1234, 5},
      {String(TSetupPackageFileTableItem::kMaxNameLength, u'x'), 1239, 0x123456789A},
  };
  for (const Row& r : rows) {
    TSetupPackageFileTableItem& item = table.Add();
    item.Name = r.name;
    item.Offset = r.offset;
    item.Size = r.size;
  }
  TMemoryStream stream;
  table.SaveToStream(stream);
  stream.SetPosition(0);
  TSetupPackageFileTable loaded;
  loaded.LoadFromStream(stream);
  EXPECT_EQ(stream.Position(), stream.Size());
  ASSERT_EQ(loaded.Count(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(loaded.Items(i).Name, rows[i].name) << i;
    EXPECT_EQ(loaded.Items(i).Offset, rows[i].offset) << i;
    EXPECT_EQ(loaded.Items(i).Size, rows[i].size) << i;
  }
}

TEST(SetupPackageFileTableTest, RecordLayoutIsLittleEndianUtf16) {
  TSetupPackageFileTableItem item;
  item.Name = u"A\u00E9";
  item.Offset = 0x0102;
  item.Size = -2;
  TMemoryStream stream;
  item.SaveToStream(stream);
  EXPECT_EQ(stream.Bytes(), (Bytes{2,    0,    'A',  0,    0xE9, 0,                    // name
                                   0x02, 0x01, 0,    0,    0,    0,    0,    0,        // offset
                                   0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));  // size
}

TEST(SetupPackageFileTableTest, FindIgnoresCaseAndTheFirstMatchWins) {
  TSetupPackageFileTable table;
  const String names[] = {u"Readme.TXT", u"readme.txt", u"\u0424\u0430\u0439\u043B", u""};
  for (int i = 0; i < 4; ++i) {
    TSetupPackageFileTableItem& item = table.Add();
    item.Name = names[i];
    item.Offset = i;
  }
  struct Case {
    String query;
    int64_t offset;  // -1: not found
  };
  const Case cases[] = {
      {u"README.txt", 0},
      {u"readme.txt", 0},
      {u"\u0444\u0410\u0419\u043B", 2},  // Cyrillic, case folded
      {u"", 3},
      {u"readme.tx", -1},
      {u"readme.txt ", -1},
  };
  for (const Case& c : cases) {
    const TSetupPackageFileTableItem* item = table.Find(c.query);
    EXPECT_EQ(item ? item->Offset : -1, c.offset) << StringToUtf8(c.query);
  }
}

TEST(SetupPackageFileTableTest, NameLongerThan65535IsRefused) {
  TSetupPackageFileTableItem item;
  item.Name = String(TSetupPackageFileTableItem::kMaxNameLength + 1, u'x');
  TMemoryStream stream;
  EXPECT_THROW(item.SaveToStream(stream), EInvalidOperation);
  EXPECT_EQ(stream.Size(), 0);
}

TEST(SetupPackageFileTableTest, CountOfZeroOrLessGivesAnEmptyTable) {
  for (const int32_t count : {0, -1, INT32_MIN}) {
    Bytes bytes(4);
    for (int i = 0; i < 4; ++i)
      bytes[i] = static_cast<uint8_t>(static_cast<uint32_t>(count) >> (8 * i));
    TMemoryStream stream(bytes);
    TSetupPackageFileTable table;
    table.LoadFromStream(stream);
    EXPECT_EQ(table.Count(), 0) << count;
  }
}

TEST(SetupPackageFileTableTest, RecordsPastTheEndAreAStreamReadError) {
  struct Case {
    const char* what;
    Bytes bytes;
  };
  const Case cases[] = {
      {"no count", {1, 0}},
      {"count without records", {1, 0, 0, 0}},
      {"count larger than the bytes can hold", {0xFF, 0xFF, 0xFF, 0x7F, 0, 0}},
      {"name runs past the end",
       {1, 0, 0, 0, 5, 0, 'a', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"size cut short", {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    TMemoryStream stream(c.bytes);
    TSetupPackageFileTable table;
    try {
      table.LoadFromStream(stream);
      ADD_FAILURE() << c.what;
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), u"Stream read error") << c.what;
    }
  }
}

}  // namespace
}  // namespace nolu
