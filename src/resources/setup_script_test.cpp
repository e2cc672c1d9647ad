#include "resources/setup_script.h"

#include <gtest/gtest.h>

#include "base/memory_stream.h"

namespace nolu {
namespace {

void Load(TSetupScript& script, std::string_view xml) {
  TMemoryStream stream(std::vector<uint8_t>(xml.begin(), xml.end()));
  script.LoadFromStream(stream);
}

std::vector<std::string> Files(const TSetupScriptGroup& group) {
  std::vector<std::string> out;
  for (size_t i = 0; i < group.Count(); ++i) {
    const TSetupScriptFile& f = group.Items(i);
    out.push_back(StringToUtf8(f.Name + u"|" + f.Value + u"|" + f.LangFamily));
  }
  return out;
}

using Lines = std::vector<std::string>;

TEST(SetupScriptTest, ReadsGroupsAndSettings) {
  TSetupScript script;
  Load(script,
       "<anything>\n"
       "  <SETUP><License>\n"
       "    <File name=\"License_DE.rtf\" lang-family=\"DE\"/>\n"
       "    <File name=\"License.rtf\"/>\n"
       "  </License></SETUP>\n"
       "  <Product>\n"
       "    <COMPONENTS>\n"
       "      <File name=\"$DEST\\Nolu.exe\" lang-family=\"DE\">Nolu_de.exe</File>\n"
       "      <Note name=\"skipped\"/>\n"
       "      <file name=\"$DEST\\Nolu.exe\">Nolu.exe</file>\n"
       "    </COMPONENTS>\n"
       "    <Settings>\n"
       "      <Setting name=\"ProductName\" value=\"Nolu\"/>\n"
       "      <Whatever name=\"NoValue\"/>\n"
       "      <Setting value=\"no name\"/>\n"
       "      <Setting name=\"productname\" value=\"Nolu 5\"/>\n"
       "    </Settings>\n"
       "    <Components><File name=\"$DEST\\Readme.txt\"/></Components>\n"
       "    <Actions><File name=\"$DEST\\Nolu.exe\">R1</File></Actions>\n"
       "    <Shortcuts><File name=\"$DESKTOP\\Nolu.lnk\">$DEST\\Nolu.exe</File></Shortcuts>\n"
       "    <Settings><Setting name=\"Publisher\" value=\"Nolu Team\"/></Settings>\n"
       "  </Product>\n"
       "</anything>");
  EXPECT_EQ(Files(script.License()), (Lines{"License_DE.rtf||DE", "License.rtf||"}));
  // Several Components elements append, in document order.
  EXPECT_EQ(Files(script.Components()),
            (Lines{"$DEST\\Nolu.exe|Nolu_de.exe|DE", "$DEST\\Nolu.exe|Nolu.exe|",
                   "$DEST\\Readme.txt||"}));
  EXPECT_EQ(Files(script.Actions()), (Lines{"$DEST\\Nolu.exe|R1|"}));
  EXPECT_EQ(Files(script.Shortcuts()), (Lines{"$DESKTOP\\Nolu.lnk|$DEST\\Nolu.exe|"}));
  EXPECT_EQ(script.Settings(), (StringList{u"ProductName=Nolu", u"NoValue=", u"=no name",
                                           u"productname=Nolu 5", u"Publisher=Nolu Team"}));
  EXPECT_EQ(script.GetSetting(u"ProductName"), u"Nolu 5");  // the last one wins
  EXPECT_EQ(script.GetSetting(u"PUBLISHER"), u"Nolu Team");
  EXPECT_EQ(script.GetSetting(u"NoValue"), u"");
  EXPECT_EQ(script.GetSetting(u"Missing"), u"");
  EXPECT_EQ(script.Components().Items(2).ValueOrFileName(), u"Readme.txt");
}

TEST(SetupScriptTest, GroupRule_TextOnlyElement) {
  TSetupScript script;
  Load(script,
       "<r><setup><license>\n  License.rtf\n</license></setup>"
       "<product><Components><Other/>ignored text</Components>"
       "<Actions></Actions></product></r>");
  EXPECT_EQ(Files(script.License()), (Lines{"License.rtf||"}));
  // A group with child elements takes nothing from its text, even when no child is a File.
  EXPECT_EQ(script.Components().Count(), 0u);
  EXPECT_EQ(script.Actions().Count(), 0u);
}

TEST(SetupScriptTest, Find_FirstOfFamilyOrNeutral) {
  TSetupScriptGroup group;
  group.Add({u"a.rtf", {}, u"DE"});
  group.Add({u"b.rtf", {}, {}});
  group.Add({u"c.rtf", {}, u"RU"});
  struct Case {
    const char16_t* family;
    const char16_t* found;  // nullptr: none
  } cases[] = {{u"DE", u"a.rtf"}, {u"de", u"a.rtf"}, {u"RU", u"b.rtf"}, {u"", u"b.rtf"}};
  for (const Case& c : cases) {
    const TSetupScriptFile* file = nullptr;
    EXPECT_TRUE(group.Find(c.family, file));
    EXPECT_EQ(file->Name, c.found);
  }
  TSetupScriptGroup only_ru;
  only_ru.Add({u"c.rtf", {}, u"RU"});
  const TSetupScriptFile* file = nullptr;
  EXPECT_FALSE(only_ru.Find(u"EN", file));
  EXPECT_EQ(file, nullptr);
}

TEST(SetupScriptTest, ValueOrFileName) {
  struct Case {
    const char16_t* name;
    const char16_t* value;
    const char16_t* expected;
  } cases[] = {
      {u"$DEST\\Plugins\\a.dll", u"", u"a.dll"},
      {u"$DEST\\Plugins\\a.dll", u"pkg\\a.dll", u"pkg\\a.dll"},
      {u"docs/readme.txt", u"", u"readme.txt"},
      {u"C:readme.txt", u"", u"readme.txt"},
      {u"plain.txt", u"", u"plain.txt"},
      {u"$DEST\\folder\\", u"", u""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TSetupScriptFile({c.name, c.value, {}}).ValueOrFileName(), c.expected)
        << StringToUtf8(c.name);
  }
}

TEST(SetupScriptTest, MissingPartsLeaveGroupsEmpty) {
  const char* documents[] = {
      "",                           // no root at all
      "<r/>",                       // no product, no setup
      "<r><setup/><product/></r>",  // both empty
      "<r><product><Components>",   // cut short
  };
  for (const char* xml : documents) {
    TSetupScript script;
    Load(script, xml);
    EXPECT_EQ(script.Components().Count() + script.License().Count() + script.Settings().size(), 0u)
        << xml;
  }
}

TEST(SetupScriptTest, MalformedText_KeepsWhatWasRead) {
  TSetupScript script;
  Load(script,
       "<r><product><Settings><S name=\"ProductName\" value=\"Nolu\"/></Settings>"
       "<Components><File name=\"a\"/><File name=\"b\" <broken></Components></product></r>");
  EXPECT_EQ(script.GetSetting(u"ProductName"), u"Nolu");
  EXPECT_EQ(Files(script.Components()), (Lines{"a||"}));
}

TEST(SetupScriptTest, SecondRootRaises) {
  TSetupScript script;
  try {
    Load(script, "<r><product/></r><r/>");
    FAIL() << "no error";
  } catch (const ERuxXMLDocument& e) {
    EXPECT_EQ(e.Message(), u"Only one Root available");
  }
}

}  // namespace
}  // namespace nolu
