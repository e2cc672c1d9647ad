#include "base/text_layout/text_link_rules.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(TextLinkRulesTest, HtmlEmailAddresses) {
  const String label63(63, u'a'), label64(64, u'a');
  struct Case {
    String text;
    bool valid;
  } cases[] = {
      {u"me@nolu.org", true},
      {u"a@b", true},  // the pattern asks for no dot in the domain
      {u"first.last+tag@mail.nolu.org", true},
      {u".!#$%&'*+/=?^_`{|}~-@x", true},  // every special character of the local part
      {u"me@a-b.org", true},
      {u"me@1.2.3.4", true},
      {u"me@" + label63 + u".org", true},
      {u"me@" + label64 + u".org", false},  // labels have 63 characters at most
      {u"@nolu.org", false},
      {u"me@", false},
      {u"me", false},
      {u"me@@nolu.org", false},
      {u"me@nolu..org", false},
      {u"me@nolu.org.", false},
      {u"me@.nolu.org", false},
      {u"me@-nolu.org", false},
      {u"me@nolu-.org", false},
      {u"me@no_lu.org", false},
      {u"m\u00E9@nolu.org", false},  // ASCII only, on both sides
      {u"me@n\u00F6lu.org", false},
      {u"m\"e@nolu.org", false},
      {u"me(x)@nolu.org", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsHtmlEmailAddress(c.text), c.valid) << StringToUtf8(c.text);
  }
}

TEST(TextLinkRulesTest, SchemesAndWebAddresses) {
  struct Case {
    const char16_t* word;
    bool scheme;
    const char16_t* target;  // nullptr: no web address
  } cases[] = {
      {u"https://nolu.example", true, u"https://nolu.example"},
      {u"ftp:\\\\nolu", true, u"ftp:\\\\nolu"},
      {u"a1://", true, u"a1://"},
      {u"http:/\\x", false, nullptr},  // the two characters must be equal
      {u"http:x//", false, nullptr},
      {u"://x", false, nullptr},
      {u"svn+ssh://x", false, nullptr},  // letters and digits only before the colon
      {u"mailto:me@nolu.org", false, nullptr},
      {u"time:83", false, nullptr},
      {u"www.nolu.org", false, u"https://www.nolu.org"},
      {u"www.a.", false, u"https://www.a."},
      {u"www.nolu", false, nullptr},
      {u"www.", false, nullptr},
      {u"www..", false, u"https://www.."},  // the rule asks for nothing more
      {u"Www.nolu.org", false, nullptr},
      {u"xwww.nolu.org", false, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HasLinkScheme(c.word), c.scheme) << StringToUtf8(c.word);
    const std::optional<String> target = WebAddressTarget(c.word);
    EXPECT_EQ(target.has_value(), c.target != nullptr) << StringToUtf8(c.word);
    if (target && c.target) {
      EXPECT_EQ(*target, c.target);
    }
  }
}

}  // namespace
}  // namespace nolu
