#include "arguments.h"

#include <gtest/gtest.h>

namespace nolu::driver {
namespace {

Arguments Parse(const StringList& args) {
  const OptionNames window{{u"title"}, {u"gone"}};
  return Arguments(args, window + OptionNames{{u"timeout", u"cmdline", u"id"}, {}});
}

TEST(Arguments, SplitsOptionsFlagsAndPositionalValues) {
  const Arguments a = Parse({u"--title", u"Nolu Setup", u"--timeout=2.5", u"--gone", u"C:\\x.lnk",
                             u"--cmdline", u"--not-an-option \"x\""});
  EXPECT_EQ(a.Get(u"title"), u"Nolu Setup");
  EXPECT_EQ(a.GetMilliseconds(u"timeout", 10), 2500u);
  EXPECT_TRUE(a.Has(u"gone"));
  EXPECT_FALSE(a.Has(u"id"));
  EXPECT_EQ(a.GetInt(u"id", 7), 7);
  // A value is taken as it stands, even when it starts with dashes.
  EXPECT_EQ(a.Get(u"cmdline"), u"--not-an-option \"x\"");
  EXPECT_EQ(a.Positional(), StringList{u"C:\\x.lnk"});
}

TEST(Arguments, EmptyValueAfterEqualsIsAValue) {
  const Arguments a = Parse({u"--title="});
  ASSERT_TRUE(a.Find(u"title").has_value());
  EXPECT_EQ(*a.Find(u"title"), u"");
}

TEST(Arguments, RejectsWhatTheDriverCannotActOn) {
  struct Case {
    StringList args;
    std::u16string message;
  };
  const Case cases[] = {
      {{u"--titel", u"x"}, u"unknown option --titel"},
      {{u"--title"}, u"option --title needs a value"},
      {{u"--gone=yes"}, u"option --gone takes no value"},
      {{u"--title", u"a", u"--title=b"}, u"option --title given twice"},
  };
  for (const Case& c : cases) {
    try {
      Parse(c.args);
      ADD_FAILURE() << StringToUtf8(c.message) << ": no error";
    } catch (const UsageError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(Arguments, RejectsValuesOfTheWrongKindWhenRead) {
  const Arguments a = Parse({u"--id", u"12x", u"--timeout", u"1,5"});
  EXPECT_THROW(a.GetInt(u"id", 0), UsageError);
  EXPECT_THROW(a.GetMilliseconds(u"timeout", 1), UsageError);
}

TEST(ParseInteger, ReadsDecimalAndHexadecimal) {
  struct Case {
    std::u16string text;
    std::optional<int64_t> value;
  };
  const Case cases[] = {
      {u"0", 0},
      {u"-3", -3},
      {u"65535", 65535},
      {u"0x1A2b", 0x1a2b},
      // Window handles print with all 16 digits on 64-bit Windows.
      {u"0xffffffffffffffff", -1},
      {u"0x", std::nullopt},
      {u"0x10000000000000000", std::nullopt},
      {u"0xg", std::nullopt},
      {u"", std::nullopt},
      {u" 1", std::nullopt},
      {u"1.0", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseInteger(c.text), c.value) << StringToUtf8(c.text);
  }
}

TEST(ParseSeconds, ReadsPlainDecimals) {
  struct Case {
    std::u16string text;
    std::optional<double> value;
  };
  const Case cases[] = {
      {u"10", 10.0},         {u"0.25", 0.25},        {u".5", 0.5},
      {u"3.", 3.0},          {u"", std::nullopt},    {u".", std::nullopt},
      {u"-1", std::nullopt}, {u"1e3", std::nullopt}, {u"1.2.3", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseSeconds(c.text), c.value) << StringToUtf8(c.text);
  }
}

TEST(Arguments, HugeWaitsAreCappedInsteadOfWrappingAround) {
  const Arguments a = Parse({u"--timeout", u"99999999999"});
  EXPECT_EQ(a.GetMilliseconds(u"timeout", 1), 86400000u);
}

}  // namespace
}  // namespace nolu::driver
