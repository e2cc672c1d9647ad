#include "registry_text.h"

#include <gtest/gtest.h>

namespace nolu::driver {
namespace {

TEST(SplitMultiString, KeepsEmptyStringsInsideTheList) {
  using namespace std::string_view_literals;
  struct Case {
    StringView data;
    StringList strings;
  };
  const Case cases[] = {
      {u"a\0b\0\0"sv, {u"a", u"b"}},
      // Deletions at the next restart: each source is followed by an empty target.
      {u"\\??\\C:\\t\\x.exe\0\0\\??\\C:\\t\\x.dat\0\0\0"sv,
       {u"\\??\\C:\\t\\x.exe", u"", u"\\??\\C:\\t\\x.dat", u""}},
      {u"\\??\\C:\\a\0\\??\\C:\\b\0\0"sv, {u"\\??\\C:\\a", u"\\??\\C:\\b"}},
      // Written without the list's terminator, or without any terminator.
      {u"a\0b\0"sv, {u"a", u"b"}},
      {u"a\0b"sv, {u"a", u"b"}},
      {u"\0"sv, {}},
      {u"\0\0"sv, {}},
      {u""sv, {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SplitMultiString(c.data), c.strings) << StringToUtf8(c.data);
  }
}

}  // namespace
}  // namespace nolu::driver
