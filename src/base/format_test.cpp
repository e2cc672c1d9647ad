#include "base/format.h"

#include <gtest/gtest.h>

#include "base/errors.h"

namespace nolu {
namespace {

TEST(FormatTest, FillsTextsIntegersAndPercentSigns) {
  EXPECT_EQ(Format(u"Cannot install update on v%s", {u"5.40"}), u"Cannot install update on v5.40");
  EXPECT_EQ(Format(u"LZMA Error (%d)", {9}), u"LZMA Error (9)");
  EXPECT_EQ(Format(u"%d%% of %s", {-5, u"Nolu"}), u"-5% of Nolu");
  EXPECT_EQ(Format(u"/%s=%d %s", {u"SKIPUAC", 123, u""}), u"/SKIPUAC=123 ");
  EXPECT_EQ(Format(u"no placeholders", {}), u"no placeholders");
  // A translation may leave a placeholder out.
  EXPECT_EQ(Format(u"Datei kann nicht geschrieben werden", {u"C:\\x"}),
            u"Datei kann nicht geschrieben werden");
  EXPECT_EQ(Format(u"%d", {int64_t{-9223372036854775807LL}}), u"-9223372036854775807");
}

TEST(FormatTest, RejectsTemplatesThatDoNotFitTheirArguments) {
  struct Case {
    const char16_t* pattern;
    std::initializer_list<FormatArg> args;
  };
  const Case cases[] = {
      {u"%s", {}},             // too few arguments
      {u"%s and %s", {u"a"}},  // too few arguments
      {u"%d", {u"text"}},      // text for an integer
      {u"%s", {42}},           // integer for a text
      {u"%x", {1}},            // unknown specifier
      {u"100%", {}},           // lone percent sign at the end
      {u"%5s", {u"a"}},        // widths are not part of the dialect
  };
  for (const Case& c : cases) {
    try {
      Format(c.pattern, c.args);
      ADD_FAILURE() << "no error for " << StringToUtf8(c.pattern);
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(),
                u"Format \"" + String(c.pattern) + u"\" invalid or incompatible with argument");
    }
  }
}

TEST(FormatTest, OsErrorMessageHasTheSystemLayout) {
  EOSError e(5, u"Access is denied.", u"C:\\a -> C:\\b");
  EXPECT_EQ(e.Message(), u"System Error.  Code: 5.\r\nAccess is denied.\r\nC:\\a -> C:\\b");
  EXPECT_EQ(e.ErrorCode(), 5u);
  EXPECT_STREQ(EOSError(2, u"x").what(), "System Error.  Code: 2.\r\nx");
}

}  // namespace
}  // namespace nolu
