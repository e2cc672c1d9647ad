#include "json_writer.h"

#include <gtest/gtest.h>

namespace nolu::driver {
namespace {

TEST(JsonQuote, EscapesEverythingOutsidePrintableAscii) {
  struct Case {
    std::u16string text;
    std::string json;
  };
  const Case cases[] = {
      {u"", R"("")"},
      {u"Setup", R"("Setup")"},
      {u"say \"hi\"", R"("say \"hi\"")"},
      {u"C:\\Program Files (x86)\\Nolu\\", R"("C:\\Program Files (x86)\\Nolu\\")"},
      {u"line\r\nnext\ttab", R"("line\r\nnext\ttab")"},
      {u"\x01\x1f\x7f", R"("\u0001\u001f\u007f")"},
      {u"Gr\u00fc\u00dfe", R"("Gr\u00fc\u00dfe")"},
      {u"\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0430",
       R"("\u0423\u0441\u0442\u0430\u043d\u043e\u0432\u043a\u0430")"},
      // A character above U+FFFF travels as its surrogate pair; readers join it again.
      {u"\U0001F600", R"("\ud83d\ude00")"},
      // A lone surrogate (possible in window texts) is kept, not dropped or replaced.
      {std::u16string(1, char16_t(0xDC00)), R"("\udc00")"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JsonQuote(c.text), c.json) << c.json;
  }
}

TEST(JsonWriter, SeparatesMembersAndElementsAtEveryDepth) {
  JsonWriter w;
  w.BeginObject()
      .Field("caption", u"Setup")
      .Field("exit", int64_t{-1})
      .FlagField("visible", false)
      .Key("checked")
      .Null()
      .Key("controls")
      .BeginArray()
      .BeginObject()
      .Field("id", int64_t{1})
      .EndObject()
      .BeginObject()
      .Field("id", int64_t{2})
      .Key("list")
      .BeginArray()
      .String(u"a")
      .Int(3)
      .EndArray()
      .EndObject()
      .EndArray()
      .Key("empty")
      .BeginArray()
      .EndArray()
      .EndObject();
  EXPECT_EQ(w.Text(), R"({"caption":"Setup","exit":-1,"visible":false,"checked":null,)"
                      R"("controls":[{"id":1},{"id":2,"list":["a",3]}],"empty":[]})");
}

}  // namespace
}  // namespace nolu::driver
