#include "base/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "base/localization_info.h"
#include "base/memory_stream.h"

namespace nolu {
namespace {

void LoadBytes(TRuxIniFile& ini, const std::string& bytes) {
  TMemoryStream stream(std::vector<uint8_t>(bytes.begin(), bytes.end()));
  ini.LoadFromStream(stream);
}

// Loads text given as UTF-16LE with its mark, so the tests can write any character.
void LoadText(TRuxIniFile& ini, StringView text) {
  LoadBytes(ini, EncodeText(text, TextEncoding::kUtf16LE));
}

String SavedText(const TRuxIniFile& ini) {
  TMemoryStream stream;
  ini.SaveToStream(stream);
  const std::string bytes(stream.Bytes().begin(), stream.Bytes().end());
  TextEncoding encoding;
  String text = DecodeText(bytes, encoding);
  EXPECT_EQ(encoding, TextEncoding::kUtf16LE);
  return text;
}

// ----------------------------------------------------------------------------- dialect

struct RoundTrip {
  const char* what;
  const char16_t* input;
  const char16_t* saved;
};

const RoundTrip kRoundTrips[] = {
    {"reopened section", u"[A]\r\nx=1\r\n\r\n[a]\r\ny=2", u"[A]\r\nx=1\r\ny=2\r\n\r\n"},
    {"lines before the first section are lost", u"lost=1\r\n[S]\r\nk=v\r\n", u"[S]\r\nk=v\r\n\r\n"},
    {"last character of a header dropped whatever it is", u"[Main\r\nk=v", u"[Mai]\r\nk=v\r\n\r\n"},
    {"semicolon line is an ordinary entry", u"[S]\r\n;x\r\n", u"[S]\r\n;x\r\n\r\n"},
    {"lone CR and lone LF", u"[S]\rk=1\nj=2\r", u"[S]\r\nk=1\r\nj=2\r\n\r\n"},
    {"U+2028, also before CR LF", u"[S]\u2028k=1\u2028\r\nj=2\u2028\nl=3",
     u"[S]\r\nk=1\r\nj=2\r\nl=3\r\n\r\n"},
    {"empty sections are not written", u"[E]\r\n[S]\r\nk=v\r\n[F]", u"[S]\r\nk=v\r\n\r\n"},
    {"empty section name", u"[]\r\nk=v\r\n[\r\nj=w", u"[]\r\nk=v\r\nj=w\r\n\r\n"},
    {"nothing trimmed", u"[ S ]\r\n  k = v  ", u"[ S ]\r\n  k = v  \r\n\r\n"},
    {"no text at all", u"", u""},
};

TEST(IniFileTest, LoadAndSave_KeepsTheDialect) {
  for (const RoundTrip& c : kRoundTrips) {
    TRuxIniFile ini;
    LoadText(ini, c.input);
    EXPECT_EQ(StringToUtf8(SavedText(ini)), StringToUtf8(c.saved)) << c.what;
  }
}

TEST(IniFileTest, KeysAreNotTrimmed) {
  TRuxIniFile ini;
  LoadText(ini, u"[S]\r\nKey = value\r\n;x\r\n");
  EXPECT_FALSE(ini.ValueExists(u"S", u"Key"));
  EXPECT_EQ(ini.ReadString(u"S", u"Key", u"default"), u"default");
  EXPECT_EQ(ini.ReadString(u"S", u"Key ", u"default"), u" value");
  // A line without "=" has an empty key and is skipped by ReadKeys.
  StringList keys;
  ini.ReadKeys(u"S", keys);
  EXPECT_EQ(keys, StringList{u"Key "});
  EXPECT_EQ(ini.ReadSectionText(u"S"), u"Key = value\r\n;x");
}

TEST(IniFileTest, Lookups_IgnoreCaseAndUseTheFirstDuplicate) {
  TRuxIniFile ini;
  LoadText(ini, u"[Язык]\r\nИмя=1\r\nимя=2\r\nempty=\r\n");
  EXPECT_EQ(ini.ReadString(u"ЯЗЫК", u"ИМЯ", u"-"), u"1");
  EXPECT_EQ(ini.ReadString(u"язык", u"empty", u"-"), u"");
  EXPECT_EQ(ini.ReadString(u"язык", u"Им", u"-"), u"-");
  EXPECT_EQ(ini.ReadString(u"Missing", u"ИМЯ", u"-"), u"-");
  ini.WriteString(u"язык", u"ИМЯ", u"3");
  EXPECT_EQ(SavedText(ini), u"[Язык]\r\nИМЯ=3\r\nимя=2\r\nempty=\r\n\r\n");
}

// ----------------------------------------------------------------------------- encodings

struct Decoding {
  const char* what;
  std::string bytes;
  TextEncoding encoding;
  const char16_t* value;  // of [S] k
};

TEST(IniFileTest, LoadFromStream_DetectsTheEncoding) {
  const Decoding cases[] = {
      {"UTF-8 mark", "\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\xE2\x82\xAC", TextEncoding::kUtf8, u"é€"},
      {"UTF-16LE mark", std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0\xAC\x20", 16),
       TextEncoding::kUtf16LE, u"€"},
      {"UTF-16BE mark", std::string("\xFE\xFF\0[\0S\0]\0\n\0k\0=\x20\xAC", 16),
       TextEncoding::kUtf16BE, u"€"},
      // Without a mark the text is ANSI, even when it happens to be valid UTF-8.
      {"no mark", "[S]\r\nk=\xC3\xA9\x80", TextEncoding::kAnsi, u"Ã©€"},
      {"malformed UTF-8 falls back to ANSI", "\xEF\xBB\xBF[S]\r\nk=\xE9t\xE9", TextEncoding::kAnsi,
       u"été"},
      {"dangling byte of UTF-16 dropped", std::string("\xFF\xFE[\0S\0]\0\n\0k\0=\0v\0\x01", 17),
       TextEncoding::kUtf16LE, u"v"},
  };
  for (const Decoding& c : cases) {
    TRuxIniFile ini;
    LoadBytes(ini, c.bytes);
    EXPECT_EQ(ini.Encoding(), c.encoding) << c.what;
    EXPECT_EQ(StringToUtf8(ini.ReadString(u"S", u"k", u"-")), StringToUtf8(c.value)) << c.what;
  }
}

TEST(IniFileTest, SaveToStream_WritesMarkAndCrLf) {
  TRuxIniFile ini;
  ini.WriteString(u"S", u"k", u"é");
  struct Case {
    TextEncoding encoding;
    std::string bytes;
  } cases[] = {
      {TextEncoding::kUtf16LE,
       std::string("\xFF\xFE[\0S\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0\r\0\n\0", 26)},
      {TextEncoding::kUtf8, "\xEF\xBB\xBF[S]\r\nk=\xC3\xA9\r\n\r\n"},
      {TextEncoding::kAnsi, "[S]\r\nk=\xE9\r\n\r\n"},
  };
  for (const Case& c : cases) {
    TMemoryStream stream;
    ini.SaveToStream(stream, c.encoding);
    EXPECT_EQ(std::string(stream.Bytes().begin(), stream.Bytes().end()), c.bytes);
  }
  TMemoryStream plain;
  ini.SaveToStream(plain);
  EXPECT_EQ(plain.Bytes()[0], 0xFF);
  EXPECT_EQ(plain.Bytes()[1], 0xFE);
}

TEST(IniFileTest, SaveAnsi_TextOutsideTheCodePageIsWrittenAsUtf16) {
  TRuxIniFile ini;
  LoadBytes(ini, "[S]\r\nk=v\r\n");
  ASSERT_EQ(ini.Encoding(), TextEncoding::kAnsi);
  ini.WriteString(u"S", u"path", u"C:\\Программы\\");
  TMemoryStream stream;
  ini.SaveToStream(stream, ini.Encoding());
  stream.SetPosition(0);
  TRuxIniFile back;
  back.LoadFromStream(stream);
  EXPECT_EQ(back.Encoding(), TextEncoding::kUtf16LE);
  EXPECT_EQ(back.ReadString(u"S", u"path", {}), u"C:\\Программы\\");
}

// ----------------------------------------------------------------------------- typed values

TEST(IniFileTest, ReadInteger_AndReadBool) {
  struct Case {
    const char16_t* text;  // nullptr: key missing
    int32_t integer;       // default 7
    bool boolean;          // default true
  } cases[] = {
      {u"12", 12, true},        {u"-5", -5, true},
      {u"+3", 3, true},         {u"0", 0, false},
      {u"2", 2, true},          {u"true", 7, true},
      {u"", 7, true},           {u" 1", 7, true},
      {u"1x", 7, true},         {u"2147483647", 2147483647, true},
      {u"2147483648", 7, true}, {u"-2147483648", -2147483647 - 1, true},
      {nullptr, 7, true},
  };
  for (const Case& c : cases) {
    TRuxIniFile ini;
    if (c.text) ini.WriteString(u"S", u"k", c.text);
    const std::string what = c.text ? StringToUtf8(c.text) : "(missing)";
    EXPECT_EQ(ini.ReadInteger(u"S", u"k", 7), c.integer) << what;
    EXPECT_EQ(ini.ReadBool(u"S", u"k", true), c.boolean) << what;
  }
  TRuxIniFile ini;
  ini.WriteString(u"S", u"t", u"true");
  EXPECT_FALSE(ini.ReadBool(u"S", u"t", false));
  ini.WriteInteger(u"S", u"i", -42);
  ini.WriteBool(u"S", u"b", true);
  ini.WriteBool(u"S", u"c", false);
  EXPECT_EQ(ini.ReadSectionText(u"S"), u"t=true\r\ni=-42\r\nb=1\r\nc=0");
}

TEST(IniFileTest, ReadStream_DecodesHexOrWritesNothing) {
  struct Case {
    const char16_t* text;
    Bytes bytes;  // empty: not readable
  } cases[] = {
      {u"0a1B", {0x0A, 0x1B}}, {u"ff00", {0xFF, 0x00}}, {u"0a1", {}}, {u"0g", {}}, {u"", {}},
      {u"0a 1b", {}},
  };
  for (const Case& c : cases) {
    TRuxIniFile ini;
    ini.WriteString(u"S", u"k", c.text);
    TMemoryStream stream(Bytes{0xEE});
    stream.SetPosition(1);
    const bool ok = ini.ReadStream(u"S", u"k", stream);
    EXPECT_EQ(ok, !c.bytes.empty()) << StringToUtf8(c.text);
    Bytes expected{0xEE};
    expected.insert(expected.end(), c.bytes.begin(), c.bytes.end());
    EXPECT_EQ(stream.Bytes(), expected) << StringToUtf8(c.text);
    EXPECT_EQ(stream.Position(), ok ? 0 : 1);
  }
}

TEST(IniFileTest, WriteStream_LowerCaseHexAndEmptyDeletes) {
  TRuxIniFile ini;
  TMemoryStream data(Bytes{0x0A, 0xBC, 0xFF});
  data.SetPosition(2);
  ini.WriteStream(u"S", u"k", data);
  EXPECT_EQ(ini.ReadString(u"S", u"k", {}), u"0abcff");
  EXPECT_EQ(data.Position(), 2);
  TMemoryStream empty;
  ini.WriteStream(u"S", u"k", empty);
  EXPECT_FALSE(ini.ValueExists(u"S", u"k"));
}

// ----------------------------------------------------------------------------- changes

TEST(IniFileTest, WriteString_ReplacesTheFirstOrAppends) {
  TRuxIniFile ini;
  LoadText(ini, u"[S]\r\nA=1\r\nB=2\r\na=3\r\n[T]\r\nx=1\r\n");
  ini.WriteString(u"s", u"a", u"9");    // the key spelled as the caller spells it
  ini.WriteString(u"S", u"C", u"");     // appended at the end of the section
  ini.WriteString(u"New", u"k", u"v");  // a new section goes at the end
  EXPECT_EQ(SavedText(ini),
            u"[S]\r\na=9\r\nB=2\r\na=3\r\nC=\r\n\r\n[T]\r\nx=1\r\n\r\n[New]\r\nk=v\r\n\r\n");
}

TEST(IniFileTest, Writes_RefuseWhatTheTextCannotHold) {
  struct Case {
    const char16_t* section;
    const char16_t* key;
    const char16_t* value;
  } cases[] = {
      {u"S", u"k", u"line\r\n[Evil]"},
      {u"S", u"k", u"a\nb"},
      {u"S", u"k", u"a\u2028b"},
      {u"S", u"a=b", u"v"},
      {u"S", u"[x", u"v"},
      {u"S", u"k\r", u"v"},
      {u"S\n[T]", u"k", u"v"},
  };
  for (const Case& c : cases) {
    TRuxIniFile ini;
    EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), ERuxIniFileError)
        << StringToUtf8(c.key) << " " << StringToUtf8(c.value);
    EXPECT_TRUE(ini.IsEmpty());
  }
  TRuxIniFile ini;
  EXPECT_THROW(ini.WriteSectionText(u"S", u"a=1\r\n[T]\r\nb=2"), ERuxIniFileError);
  EXPECT_FALSE(ini.SectionExists(u"S"));
  try {
    ini.WriteString(u"S", u"k", u"x\ny");
  } catch (const ERuxIniFileError& e) {
    EXPECT_EQ(e.Message(), u"The INI value of \"k\" holds a line break");
  }
}

TEST(IniFileTest, DeleteKeyAndSection) {
  TRuxIniFile ini;
  LoadText(ini, u"[A]\r\nk=1\r\nk=2\r\n[B]\r\nj=1\r\n");
  EXPECT_TRUE(ini.DeleteKey(u"A", u"K"));
  EXPECT_EQ(ini.ReadString(u"A", u"k", {}), u"2");
  EXPECT_FALSE(ini.DeleteKey(u"A", u"missing"));
  EXPECT_FALSE(ini.DeleteKey(u"Missing", u"k"));
  EXPECT_TRUE(ini.DeleteKey(u"A", u"k"));
  EXPECT_TRUE(ini.SectionExists(u"A"));  // still there, but no longer written
  EXPECT_EQ(SavedText(ini), u"[B]\r\nj=1\r\n\r\n");

  // Deleting the section found last must not leave a dangling cache behind.
  EXPECT_EQ(ini.ReadString(u"B", u"j", {}), u"1");
  EXPECT_TRUE(ini.DeleteSection(u"b"));
  EXPECT_FALSE(ini.DeleteSection(u"B"));
  EXPECT_EQ(ini.ReadString(u"B", u"j", u"-"), u"-");
  ini.WriteString(u"B", u"j", u"2");
  EXPECT_EQ(ini.ReadString(u"B", u"j", u"-"), u"2");
  EXPECT_EQ(ini.SectionCount(), 2u);
  EXPECT_EQ(ini.SectionName(1), u"B");
}

TEST(IniFileTest, WriteSectionText_ReplacesAllLines) {
  TRuxIniFile ini;
  LoadText(ini, u"[Integration]\r\nold=1\r\n[Other]\r\nx=1\r\n");
  ini.WriteSectionText(u"integration", u"a=1\r\n\r\n;note\nb=2\r\n");
  EXPECT_EQ(ini.ReadSectionText(u"Integration"), u"a=1\r\n;note\r\nb=2");
  ini.WriteSectionText(u"Fresh", u"z=1");
  EXPECT_EQ(ini.SectionName(2), u"Fresh");
  ini.WriteSectionText(u"Other", u"");
  EXPECT_EQ(SavedText(ini), u"[Integration]\r\na=1\r\n;note\r\nb=2\r\n\r\n[Fresh]\r\nz=1\r\n\r\n");
  EXPECT_EQ(ini.ReadSectionText(u"Missing"), u"");
}

TEST(IniFileTest, Merge_BothWays) {
  TRuxIniFile source;
  LoadText(source, u"[S]\r\nold=new\r\nadded=1\r\nadded=2\r\n;note\r\n[Only]\r\n;x\r\nk=v\r\n");
  for (bool overwrite : {false, true}) {
    TRuxIniFile target;
    LoadText(target, u"[s]\r\nOLD=mine\r\nkeep=1\r\n");
    target.Merge(source, overwrite);
    EXPECT_EQ(target.ReadString(u"S", u"old", {}), overwrite ? u"new" : u"mine");
    EXPECT_EQ(target.ReadString(u"S", u"keep", {}), u"1");
    // The first occurrence of a key is its value; lines without a key are not merged into
    // an existing section, but a new section is copied whole.
    EXPECT_EQ(target.ReadSectionText(u"S"),
              overwrite ? u"old=new\r\nkeep=1\r\nadded=1" : u"OLD=mine\r\nkeep=1\r\nadded=1");
    EXPECT_EQ(target.ReadSectionText(u"Only"), u";x\r\nk=v");
  }
}

TEST(IniFileTest, Assign_CopiesAndReplaces) {
  TRuxIniFile source;
  LoadText(source, u"[A]\r\nk=1\r\n;x\r\n");
  TRuxIniFile copy;
  copy.WriteString(u"Gone", u"k", u"v");
  copy.Assign(source);
  EXPECT_FALSE(copy.SectionExists(u"Gone"));
  EXPECT_EQ(copy.ReadSectionText(u"A"), u"k=1\r\n;x");
  source.WriteString(u"A", u"k", u"2");
  EXPECT_EQ(copy.ReadString(u"A", u"k", {}), u"1");
}

TEST(IniFileTest, Modified_AndUpdateCounting) {
  TRuxIniFile ini;
  int notified = 0;
  ini.SetOnChange([&] { ++notified; });
  EXPECT_FALSE(ini.Modified());
  ini.WriteString(u"S", u"k", u"v");
  EXPECT_TRUE(ini.Modified());
  const int after_write = notified;
  EXPECT_GT(after_write, 0);

  ini.SetModified(false);
  ini.BeginUpdate();
  ini.BeginUpdate();
  ini.WriteString(u"S", u"k", u"w");
  ini.DeleteKey(u"S", u"k");
  ini.EndUpdate();
  EXPECT_EQ(notified, after_write);
  EXPECT_TRUE(ini.Modified());
  ini.EndUpdate();
  EXPECT_EQ(notified, after_write + 1);

  // Lookups change nothing.
  ini.SetModified(false);
  ini.ReadString(u"S", u"k", {});
  ini.SectionExists(u"T");
  EXPECT_FALSE(ini.Modified());
}

// ----------------------------------------------------------------------------- files

class IniFileFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("nolu-ini-" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(dir_ / "ro.ini", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(dir_, ignored);
  }
  String Path(const char* name) const { return (dir_ / name).u16string(); }
  std::string FileBytes(const char* name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  void WriteFile(const char* name, const std::string& bytes) const {
    std::ofstream(dir_ / name, std::ios::binary) << bytes;
  }

  std::filesystem::path dir_;
};

TEST_F(IniFileFilesTest, LoadFromFile_MissingFileGivesAnEmptyObject) {
  TRuxIniFile ini;
  ini.WriteString(u"S", u"k", u"v");
  ini.LoadFromFile(Path("missing.ini"));
  EXPECT_TRUE(ini.IsEmpty());
  EXPECT_FALSE(ini.Modified());
}

TEST_F(IniFileFilesTest, CreateWithFileName_LoadsAndAutoSavesOnlyWhenModified) {
  WriteFile("a.ini", "[S]\r\nk=1\r\n");
  {
    TRuxIniFile ini(Path("a.ini"), true);
    EXPECT_EQ(ini.ReadInteger(u"S", u"k", 0), 1);
    EXPECT_EQ(ini.Encoding(), TextEncoding::kAnsi);
    EXPECT_FALSE(ini.Modified());
  }
  EXPECT_EQ(FileBytes("a.ini"), "[S]\r\nk=1\r\n");  // untouched
  {
    TRuxIniFile ini(Path("a.ini"), true);
    ini.WriteInteger(u"S", u"k", 2);
  }
  EXPECT_EQ(FileBytes("a.ini"), "[S]\r\nk=2\r\n\r\n");  // back in its own encoding
}

TEST_F(IniFileFilesTest, SaveToFile_ReplacesReadOnlyAndReportsFailure) {
  WriteFile("ro.ini", "old");
  std::filesystem::permissions(
      dir_ / "ro.ini", std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  TRuxIniFile ini;
  ini.WriteString(u"S", u"k", u"v");
  EXPECT_TRUE(ini.SaveToFile(Path("ro.ini"), TextEncoding::kUtf8));
  EXPECT_EQ(FileBytes("ro.ini"), "\xEF\xBB\xBF[S]\r\nk=v\r\n\r\n");
  EXPECT_FALSE(ini.SaveToFile(Path("no-such-folder/x.ini"), TextEncoding::kUtf8));
}

TEST_F(IniFileFilesTest, UpdateFile) {
  TRuxIniFile unnamed;
  unnamed.WriteString(u"S", u"k", u"v");
  EXPECT_FALSE(unnamed.UpdateFile());

  TRuxIniFile ini(Path("new.ini"));
  EXPECT_TRUE(ini.UpdateFile());  // not modified: nothing to write
  EXPECT_FALSE(std::filesystem::exists(dir_ / "new.ini"));
  ini.WriteString(u"S", u"k", u"v");
  EXPECT_TRUE(ini.UpdateFile());
  EXPECT_FALSE(ini.Modified());
  EXPECT_EQ(FileBytes("new.ini").substr(0, 2), "\xFF\xFE");

  ini.SetFileName(Path("no-such-folder/x.ini"));
  ini.WriteString(u"S", u"k", u"w");
  EXPECT_FALSE(ini.UpdateFile());
  EXPECT_TRUE(ini.Modified());
}

// ----------------------------------------------------------------------------- threads

// The run's string table is read by the main thread and the worker at once. Both threads
// here alternate between sections so that the section cache changes hands constantly; under
// ThreadSanitizer (the tsan preset) a race in the lookups is reported.
TEST(IniFileTest, ConcurrentLookups_OnOneObject) {
  TRuxIniFile strings;
  String text;
  // Built by appending: GCC 12 warns (-Wrestrict) falsely on a literal + String.
  for (int s = 0; s < 8; ++s) {
    text += u"[Section";
    text += IntToStr(s);
    text += u"]\r\n";
    for (int k = 0; k < 50; ++k) {
      text += u"K";
      text += IntToStr(k);
      text += u"=";
      text += IntToStr(s * 100 + k);
      text += u"\r\n";
    }
  }
  LoadText(strings, text);
  auto hammer = [&strings](int offset, int& wrong) {
    for (int round = 0; round < 2000; ++round) {
      const int s = (round + offset) % 8, k = (round * 7 + offset) % 50;
      String section = u"section", key = u"k";
      section += IntToStr(s);
      key += IntToStr(k);
      if (strings.ReadInteger(section, key, -1) != s * 100 + k) {
        ++wrong;
      }
    }
  };
  int wrong_a = 0, wrong_b = 0;
  std::thread a(hammer, 0, std::ref(wrong_a));
  std::thread b(hammer, 3, std::ref(wrong_b));
  a.join();
  b.join();
  EXPECT_EQ(wrong_a, 0);
  EXPECT_EQ(wrong_b, 0);
}

// ----------------------------------------------------------------------------- languages

TEST(LangGetInfoTest, ReadsFileSectionAndIcon) {
  TRuxIniFile lng;
  LoadText(lng,
           u"[File]\r\nName=Deutsch\r\nAuthor=A. Autor\r\nLangId=1031\r\nVersionId=7\r\n"
           u"Icon=00010a\r\n[Common]\r\nE4=Fehler\r\n");
  TRuxLocalizationInfo info;
  Bytes icon{1, 2, 3, 4};
  LangGetInfo(lng, info, &icon);
  EXPECT_EQ(info.Name, u"Deutsch");
  EXPECT_EQ(info.Author, u"A. Autor");
  EXPECT_EQ(info.LangId, 1031);
  EXPECT_EQ(info.VersionId, 7);
  EXPECT_EQ(icon, (Bytes{0x00, 0x01, 0x0A}));

  TRuxIniFile bare;
  LoadText(bare, u"[File]\r\nLangId=x\r\nIcon=abc\r\n");
  LangGetInfo(bare, info, &icon);
  EXPECT_EQ(info.Name, u"");
  EXPECT_EQ(info.LangId, 0);
  EXPECT_TRUE(icon.empty());
}

}  // namespace
}  // namespace nolu
