#include "base/xml_document.h"

#include <gtest/gtest.h>

#include "base/memory_stream.h"

namespace nolu {
namespace {

std::string U8(StringView text) {
  return StringToUtf8(text);
}

// Latin-1 text as UTF-16LE without a mark.
std::string Latin1ToUtf16Le(std::string_view latin1) {
  std::string out;
  for (char c : latin1)
    out += {c, '\0'};
  return out;
}

TRuxXMLDocument Parse(std::string_view bytes) {
  TRuxXMLDocument doc;
  doc.LoadFromBytes(bytes);
  return doc;
}

TEST(XmlDocumentTest, Tree_ElementsAttributesAndText) {
  TRuxXMLDocument doc = Parse(
      "<?xml version=\"1.0\"?>\n"
      "<!-- about -->\n"
      "<Root a=\"1\" B='2'>\n"
      "  <COMPONENTS>\n"
      "    <File name=\"$DEST\\x.exe\" lang-family=\"DE\">  x.exe  </File>\n"
      "    <?skip me?><!-- and me -->\n"
      "    <file name=\"y\"/>\n"
      "  </COMPONENTS>\n"
      "</Root>\n"
      "<!-- trailing -->\n");
  EXPECT_FALSE(doc.HasError()) << U8(doc.Error().Message);
  const TRuxXMLNode* root = doc.Root();
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->Name(), u"Root");
  ASSERT_EQ(root->Attributes().size(), 2u);
  EXPECT_EQ(root->Attributes()[1].Name, u"B");
  EXPECT_EQ(root->GetAttribute(u"b"), u"2");
  EXPECT_EQ(root->GetAttribute(u"c", u"none"), u"none");
  const TRuxXMLNode* components = root->FindNode(u"Components");
  ASSERT_NE(components, nullptr);
  ASSERT_EQ(components->Count(), 2u);
  EXPECT_EQ(components->Child(0).GetAttribute(u"NAME"), u"$DEST\\x.exe");
  EXPECT_EQ(components->Child(0).GetAttribute(u"Lang-Family"), u"DE");
  EXPECT_EQ(components->Child(0).Text(), u"x.exe");
  EXPECT_EQ(components->Child(1).Name(), u"file");
  EXPECT_EQ(components->Text(), u"");
  // Only the ASCII letters fold: a name with a different non-ASCII letter is another name.
  EXPECT_EQ(root->FindNode(u"COMPONENTſ"), nullptr);
}

TEST(XmlDocumentTest, TextContent) {
  struct Case {
    const char* xml;
    const char16_t* text;  // of the root
  } cases[] = {
      {"<a>&lt;&gt;&amp;&apos;&quot;&#65;&#x42;&#x1F600;</a>", u"<>&'\"AB\U0001F600"},
      {"<a>x<![CDATA[ <raw> & ]]></a>", u" <raw> & "},  // CDATA as written
      {"<a>first<b/>second<c/></a>", u"second"},        // the last text
      {"<a>first<b/>  \n </a>", u"first"},              // blank text does not count
      {"<a>\n  x.rtf\n</a>", u"x.rtf"},
      {"<a>1\r\n2\r3</a>", u"1\n2\n3"},  // line ends normalised
      {"<a>1&#13;2</a>", u"1\r2"},       // but not those given as references
      {"<a>one<!-- c -->two</a>", u"two"},
      {"<a/>", u""},
      {"<a><![CDATA[]]></a>", u""},
  };
  for (const Case& c : cases) {
    TRuxXMLDocument doc = Parse(c.xml);
    EXPECT_FALSE(doc.HasError()) << c.xml << ": " << U8(doc.Error().Message);
    ASSERT_NE(doc.Root(), nullptr) << c.xml;
    EXPECT_EQ(U8(doc.Root()->Text()), U8(c.text)) << c.xml;
  }
}

TEST(XmlDocumentTest, AttributeValues) {
  TRuxXMLDocument doc = Parse("<a v=\"1\t2\r\n3&#10;4&amp;&#x20AC;\" w='\"' x=\"'\"/>");
  ASSERT_NE(doc.Root(), nullptr);
  EXPECT_EQ(doc.Root()->GetAttribute(u"v"), u"1 2 3\n4&€");
  EXPECT_EQ(doc.Root()->GetAttribute(u"w"), u"\"");
  EXPECT_EQ(doc.Root()->GetAttribute(u"x"), u"'");
}

TEST(XmlDocumentTest, Encodings) {
  struct Case {
    const char* what;
    std::string bytes;
    const char16_t* text;
  } cases[] = {
      {"UTF-8 by default", "<a>\xC3\xA9\xE2\x82\xAC</a>", u"é€"},
      {"UTF-8 mark", "\xEF\xBB\xBF<a>\xC3\xA9</a>", u"é"},
      {"UTF-16LE mark", std::string("\xFF\xFE<\0a\0>\0\xAC\x20<\0/\0a\0>\0", 18), u"€"},
      {"UTF-16BE mark", std::string("\xFE\xFF\0<\0a\0>\x20\xAC\0<\0/\0a\0>", 18), u"€"},
      {"UTF-16LE without mark", Latin1ToUtf16Le("<?xml version=\"1.0\"?><a>\xE9</a>"), u"é"},
      {"windows-1252", "<?xml version=\"1.0\" encoding=\"Windows-1252\"?><a>\x80\xE9</a>", u"€é"},
      {"ISO-8859-1", "<?xml version='1.0' encoding='iso-8859-1' ?><a>\xE9</a>", u"é"},
      {"mark beats declaration",
       "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a>\xC3\xA9</a>", u"é"},
      // Russian texts, in the code pages they are commonly written in.
      {"windows-1251",
       "<?xml version=\"1.0\" encoding=\"windows-1251\"?><a>\xCF\xF0\xE8\xE2\xE5\xF2</a>",
       u"Привет"},
      {"cp1251", "<?xml version=\"1.0\" encoding=\"CP1251\"?><a>\xCC\xE8\xF0</a>", u"Мир"},
      {"KOI8-R", "<?xml version=\"1.0\" encoding=\"koi8-r\"?><a>\xED\xC9\xD2</a>", u"Мир"},
      {"ISO-8859-5", "<?xml version=\"1.0\" encoding=\"ISO-8859-5\"?><a>\xBC\xD8\xE0</a>", u"Мир"},
      {"IBM866", "<?xml version=\"1.0\" encoding=\"ibm866\"?><a>\x8C\xA8\xE0</a>", u"Мир"},
      {"windows-1250", "<?xml version=\"1.0\" encoding=\"windows-1250\"?><a>\x8A\xE8</a>", u"Šč"},
      {"Shift_JIS", "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\x93\xFA\x96\x7B</a>",
       u"日本"},
  };
  for (const Case& c : cases) {
    TRuxXMLDocument doc = Parse(c.bytes);
    EXPECT_FALSE(doc.HasError()) << c.what << ": " << U8(doc.Error().Message);
    ASSERT_NE(doc.Root(), nullptr) << c.what;
    EXPECT_EQ(U8(doc.Root()->Text()), U8(c.text)) << c.what;
  }
}

// A declared encoding that the system cannot convert is named: a document read as nothing
// would end in a message about something else.
TEST(XmlDocumentTest, UnknownEncoding_RaisesNamingIt) {
  for (std::string_view name : {"x-klingon", "windows-99999", "cp", "koi7", "EBCDIC"}) {
    SCOPED_TRACE(name);
    try {
      Parse("<?xml version=\"1.0\" encoding=\"" + std::string(name) + "\"?><a/>");
      ADD_FAILURE() << "no error";
    } catch (const ERuxXMLDocument& e) {
      EXPECT_NE(e.Message().find(u"\"" + AsciiToString(name) + u"\""), String::npos)
          << U8(e.Message());
    }
  }
}

// Malformed text ends the parse quietly; what was read stays and the first error is kept
// with its position.
TEST(XmlDocumentTest, Malformed_StopsQuietlyWithPosition) {
  struct Case {
    std::string xml;
    const char* message;  // a part of the message
    int64_t line, column;
    const char* survivor;  // name of the root's last child, or "" for none, or nullptr: no root
  } cases[] = {
      {"<a><b>text</a>", "does not match <b>", 1, 11, "b"},
      {"<a>\n<b/><c x=1/></a>", "must be quoted", 2, 10, "b"},  // no half-read <c>,
      {"<a>&foo;</a>", "\"&foo;\" is not defined", 1, 4, ""},
      {"<a>&#0;</a>", "not a character", 1, 4, ""},
      {"<a>&#xD800;</a>", "not a character", 1, 4, ""},
      {"<a>& b</a>", "must start", 1, 4, ""},
      {"<a><b>", "<b> is not closed", 1, 7, "b"},
      {"", "no root element", 1, 1, nullptr},
      {"  \n ", "no root element", 2, 2, nullptr},
      {"text<a/>", "before the root", 1, 1, nullptr},
      {"<a/>junk", "after the root", 1, 5, ""},
      {"<a x=\"1\" x=\"2\"/>", "given twice", 1, 10, nullptr},
      {"<a x=\"<\"/>", "\"<\" is not allowed", 1, 7, nullptr},
      {"<a b=\"1\"c=\"2\"/>", "white space is required", 1, 9, nullptr},
      {"<a><!-- x -- y --></a>", "\"--\"", 1, 11, ""},
      {"<a>]]></a>", "\"]]>\"", 1, 4, ""},
      {"<a><b/>\n\x01</a>", "U+0001", 2, 1, "b"},
      {"<a><b/>\xFF</a>", "invalid UTF-8", 1, 8, "b"},
      {"<a><?xml version=\"1.0\"?></a>", "only at the very start", 1, 4, ""},
      // A code page that the text does not hold ends the parse too.
      {"<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><a>\x93</a>", "not valid \"Shift_JIS\"", 1, 1,
       nullptr},
      {"<a><1/></a>", "a name was expected", 1, 5, ""},
      {"<?xml encoding=\"utf-8\"?><a/>", "\"encoding\" is not expected", 1, 7, nullptr},
      {"<?xml ?><a/>", "lacks its version", 1, 7, nullptr},
      {"<?xml version=\"2.0\"?><a/>", "unknown version", 1, 15, nullptr},
      {"<?xml version=\"1.0\"standalone=\"yes\"?><a/>", "malformed", 1, 20, nullptr},
      {"<?xml version=\"1.0\" standalone=\"no\" encoding=\"utf-8\"?><a/>",
       "\"encoding\" is not expected", 1, 37, nullptr},
      {"<a><!DOCTYPE a></a>", "after \"<!\"", 1, 4, ""},
      {std::string("<a>x</a>\0", 9), "U+0000", 1, 9, ""},
  };
  for (const Case& c : cases) {
    TRuxXMLDocument doc;
    ASSERT_NO_THROW(doc.LoadFromBytes(c.xml)) << c.xml;
    EXPECT_TRUE(doc.HasError()) << c.xml;
    EXPECT_NE(U8(doc.Error().Message).find(c.message), std::string::npos)
        << c.xml << ": " << U8(doc.Error().Message);
    EXPECT_EQ(doc.Error().Line, c.line) << c.xml;
    EXPECT_EQ(doc.Error().Column, c.column) << c.xml;
    if (!c.survivor) {
      EXPECT_EQ(doc.Root(), nullptr) << c.xml;
      continue;
    }
    if (!doc.Root()) {
      ADD_FAILURE() << c.xml << ": no root";
      continue;
    }
    const size_t n = doc.Root()->Count();
    EXPECT_EQ(n ? U8(doc.Root()->Child(n - 1).Name()) : "", c.survivor) << c.xml;
  }
}

TEST(XmlDocumentTest, Doctype_SkippedAndNothingExpanded) {
  // Internal subset with declarations, a "]" and ">" in a comment and in quotes: skipped
  // whole. Its entities are not expanded, nor is anything loaded from outside.
  TRuxXMLDocument doc = Parse(
      "<!DOCTYPE a SYSTEM \"file:///etc/passwd\" [\n"
      "  <!ENTITY lol \"lol\"> <!ENTITY lol2 \"&lol;&lol;&lol;\">\n"
      "  <!-- ] > --> <!ATTLIST a x CDATA \"]>\">\n"
      "]>\n"
      "<a><b>kept</b>&lol2;</a>");
  EXPECT_EQ(U8(doc.Error().Message), "the entity \"&lol2;\" is not defined");
  EXPECT_EQ(doc.Error().Line, 5);
  ASSERT_NE(doc.Root(), nullptr);
  EXPECT_EQ(doc.Root()->FindNode(u"b")->Text(), u"kept");
}

TEST(XmlDocumentTest, DeepNesting_StopsInsteadOfOverflowing) {
  std::string xml;
  for (int i = 0; i < 100000; ++i)
    xml += "<e>";
  TRuxXMLDocument doc = Parse(xml);
  EXPECT_NE(U8(doc.Error().Message).find("deeper than 256"), std::string::npos);
  int depth = 0;
  for (const TRuxXMLNode* node = doc.Root(); node;
       node = node->Count() ? &node->Child(0) : nullptr) {
    ++depth;
  }
  EXPECT_EQ(depth, TRuxXMLDocument::kMaxDepth);
}

TEST(XmlDocumentTest, SecondRoot_Raises) {
  struct Case {
    const char* xml;
    int64_t line, column;  // of the second root, for tools that report it
  } cases[] = {{"<a/><b/>", 1, 5}, {"<a></a>\n<!-- c -->\n<b>", 3, 1}, {"<a/> <a/>", 1, 6}};
  for (const Case& c : cases) {
    TRuxXMLDocument doc;
    try {
      doc.LoadFromBytes(c.xml);
      ADD_FAILURE() << c.xml << " did not raise";
    } catch (const ERuxXMLDocument& e) {
      EXPECT_EQ(e.Message(), u"Only one Root available");
    }
    EXPECT_EQ(doc.Error().Message, u"Only one Root available") << c.xml;
    EXPECT_EQ(doc.Error().Line, c.line) << c.xml;
    EXPECT_EQ(doc.Error().Column, c.column) << c.xml;
  }
}

TEST(XmlDocumentTest, BinaryForms_AreNotSupported) {
  for (const char* bytes : {"SXML\x01\x02", "BXML"}) {
    TRuxXMLDocument doc;
    try {
      doc.LoadFromBytes(bytes);
      ADD_FAILURE() << bytes << " did not raise";
    } catch (const ERuxXMLDocument& e) {
      EXPECT_NE(U8(e.Message()).find("not supported"), std::string::npos);
      EXPECT_NE(U8(e.Message()).find(std::string(bytes, 4)), std::string::npos);
    }
  }
}

TEST(XmlDocumentTest, LoadFromStream_ReadsFromThePositionAndReplaces) {
  const std::string bytes = "junk<a><b/></a>";
  TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  stream.SetPosition(4);
  TRuxXMLDocument doc;
  doc.LoadFromBytes("<old/>x");
  ASSERT_TRUE(doc.HasError());
  doc.LoadFromStream(stream);
  EXPECT_FALSE(doc.HasError());
  ASSERT_NE(doc.Root(), nullptr);
  EXPECT_EQ(doc.Root()->Name(), u"a");
}

}  // namespace
}  // namespace nolu
