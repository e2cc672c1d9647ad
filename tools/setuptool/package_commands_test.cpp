#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/memory_stream.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_reader.h"
#include "package/setup_package_scrambler.h"
#include "setuptool/commands.h"
#include "setuptool/tool_paths.h"

namespace nolu::tool {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& path, const std::string& content) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << content;
}

String Str(const fs::path& path) {
  return FromPath(path);
}

struct Outcome {
  int code;
  std::string out, err;
};

Outcome Call(int (*command)(const StringList&), const StringList& args) {
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int code = command(args);
  std::string out = ::testing::internal::GetCapturedStdout();
  std::string err = ::testing::internal::GetCapturedStderr();
  return {code, std::move(out), std::move(err)};
}

class PackageCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("nolu_setuptool_" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(root_);
    fs::create_directories(root_);
  }
  void TearDown() override { fs::remove_all(root_); }

  // A package made with the builder, for names that no file system would give.
  String PackageOf(const std::vector<std::pair<String, std::string>>& entries) {
    TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
    for (const auto& [name, content] : entries) {
      TMemoryStream source(Bytes(content.begin(), content.end()));
      builder.Add(source, name);
    }
    const String path = Str(root_ / "made.pkg");
    builder.SaveToFile(path, 0);
    return path;
  }

  fs::path root_;
};

TEST_F(PackageCommandsTest, PackListExtractRoundTrip) {
  const fs::path tree = root_ / "tree";
  const std::pair<fs::path, std::string> files[] = {
      {tree / "a.txt", "lower a"},
      {tree / "B.txt", "upper B"},
      {tree / "sub" / "x.bin", std::string(100000, 'x') + "end"},
      {tree / "sub2", ""},
      {tree / ToPath(u"\u00FCber") / ToPath(u"\u0444\u0430\u0439\u043B.lng"), "unicode"},
  };
  for (const auto& [path, content] : files)
    WriteAll(path, content);
  fs::create_directories(tree / "empty folder");

  const String pkg = Str(root_ / "out.pkg");
  const Outcome pack = Call(PackCommand, {pkg, Str(tree), u"--level", u"1"});
  ASSERT_EQ(pack.code, 0) << pack.err;
  EXPECT_NE(pack.out.find("5 entries"), std::string::npos) << pack.out;

  const Outcome list = Call(ListCommand, {pkg});
  ASSERT_EQ(list.code, 0) << list.err;
  // Ordinal order of UTF-16 code units; backslashes between folders.
  EXPECT_EQ(list.out,
            "B.txt\t7\t0\n"
            "a.txt\t7\t7\n"
            "sub2\t0\t14\n"
            "sub\\x.bin\t100003\t14\n"
            "\xC3\xBC"
            "ber\\\xD1\x84\xD0\xB0\xD0\xB9\xD0\xBB.lng\t7\t100017\n");

  const fs::path out = root_ / "extracted";
  const Outcome extract = Call(ExtractCommand, {pkg, Str(out)});
  ASSERT_EQ(extract.code, 0) << extract.err;
  for (const auto& [path, content] : files) {
    EXPECT_EQ(ReadAll(out / path.lexically_relative(tree)), content) << path;
  }

  const Outcome verify = Call(VerifyCommand, {pkg});
  EXPECT_EQ(verify.code, 0) << verify.err;
  EXPECT_NE(verify.out.find(": OK, 5 entries"), std::string::npos) << verify.out;
}

TEST_F(PackageCommandsTest, TableWritesTheEndOfTheBodyThatHoldsTheFileTable) {
  WriteAll(root_ / "t" / "one", "1");
  WriteAll(root_ / "t" / "d" / "two", std::string(5000, '2'));
  const String pkg = Str(root_ / "p.pkg");
  ASSERT_EQ(Call(PackCommand, {pkg, Str(root_ / "t")}).code, 0);
  const Outcome table = Call(TableCommand, {pkg, Str(root_ / "p.table")});
  ASSERT_EQ(table.code, 0) << table.err;

  const std::string package = ReadAll(root_ / "p.pkg");
  TMemoryStream source(Bytes(package.begin(), package.end()));
  const TSetupPackageReader reader(source);
  const std::string copy = ReadAll(root_ / "p.table");
  const Bytes& body = reader.Body().Bytes();
  ASSERT_LT(copy.size(), body.size());
  EXPECT_TRUE(std::equal(copy.begin(), copy.end(), body.end() - copy.size(),
                         [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }));
  const TSetupPackageFileTable read = TCustomSetupPackage::ReadFileTable(
      Bytes(copy.begin(), copy.end()), static_cast<int64_t>(body.size()));
  ASSERT_EQ(read.Count(), 2);
  EXPECT_EQ(read.Items(0).Name, u"d\\two");
  EXPECT_EQ(read.Items(1).Name, u"one");
  EXPECT_EQ(read.Items(1).Offset, 5000);

  const Outcome missing = Call(TableCommand, {Str(root_ / "none.pkg"), Str(root_ / "x")});
  EXPECT_NE(missing.code, 0);
  EXPECT_FALSE(fs::exists(root_ / "x"));
}

TEST_F(PackageCommandsTest, SameTreeGivesTheSameBytes) {
  WriteAll(root_ / "t" / "one", "1");
  WriteAll(root_ / "t" / "d" / "two", std::string(5000, '2'));
  ASSERT_EQ(Call(PackCommand, {Str(root_ / "1.pkg"), Str(root_ / "t")}).code, 0);
  ASSERT_EQ(Call(PackCommand, {Str(root_ / "2.pkg"), Str(root_ / "t")}).code, 0);
  EXPECT_EQ(ReadAll(root_ / "1.pkg"), ReadAll(root_ / "2.pkg"));
}

TEST_F(PackageCommandsTest, PackIntoTheFolderItPacksLeavesItsOlderSelfOut) {
  WriteAll(root_ / "t" / "file", "content");
  const String pkg = Str(root_ / "t" / "self.pkg");
  ASSERT_EQ(Call(PackCommand, {pkg, Str(root_ / "t")}).code, 0);
  ASSERT_EQ(Call(PackCommand, {pkg, Str(root_ / "t")}).code, 0);
  const Outcome list = Call(ListCommand, {pkg});
  EXPECT_EQ(list.out, "file\t7\t0\n");
}

TEST_F(PackageCommandsTest, KeyMustMatchToRead) {
  WriteAll(root_ / "t" / "f", "secret");
  const String pkg = Str(root_ / "k.pkg");
  ASSERT_EQ(Call(PackCommand, {pkg, Str(root_ / "t"), u"--key=other"}).code, 0);
  EXPECT_EQ(Call(ListCommand, {pkg, u"--key", u"other"}).out, "f\t6\t0\n");
  const Outcome wrong = Call(VerifyCommand, {pkg});
  EXPECT_EQ(wrong.code, 1);
}

TEST_F(PackageCommandsTest, UsageErrorsExitWith2AndWriteNothing) {
  WriteAll(root_ / "t" / "f", "x");
  const String pkg = Str(root_ / "u.pkg");
  const String dir = Str(root_ / "t");
  struct Case {
    int (*command)(const StringList&);
    StringList args;
    const char* message;
  };
  const Case cases[] = {
      {PackCommand, {pkg}, "too few arguments"},
      {PackCommand, {pkg, dir, u"more"}, "too many arguments"},
      {PackCommand, {pkg, dir, u"--level", u"10"}, "--level must be a number from 0 to 9"},
      {PackCommand, {pkg, dir, u"--level", u"four"}, "--level must be a number from 0 to 9"},
      {PackCommand, {pkg, dir, u"--level"}, "--level needs a value"},
      {PackCommand, {pkg, dir, u"--key="}, "--key must not be empty"},
      {PackCommand, {pkg, dir, u"--fast"}, "unknown option \"--fast\""},
      {ListCommand, {pkg, u"--level", u"4"}, "unknown option \"--level\""},
      {ExtractCommand, {pkg}, "too few arguments"},
      {CatCommand, {pkg}, "too few arguments"},
      {VerifyCommand, {}, "too few arguments"},
  };
  for (const Case& c : cases) {
    const Outcome run = Call(c.command, c.args);
    EXPECT_EQ(run.code, 2) << c.message;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("(usage: setuptool "), std::string::npos) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
  }
  EXPECT_FALSE(fs::exists(root_ / "u.pkg"));
}

TEST_F(PackageCommandsTest, HelpSaysHowEntriesAreNamedAndOrdered) {
  const Outcome help = Call(PackCommand, {u"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("ordinal order of their names' UTF-16 code units"), std::string::npos);
  EXPECT_NE(help.out.find("backslashes"), std::string::npos);
  for (auto* command : {ListCommand, ExtractCommand, CatCommand, VerifyCommand}) {
    const Outcome h = Call(command, {u"-h"});
    EXPECT_EQ(h.code, 0);
    EXPECT_EQ(h.out.rfind("usage: setuptool ", 0), 0u) << h.out;
  }
}

TEST_F(PackageCommandsTest, FailedPackKeepsTheOldPackage) {
  WriteAll(root_ / "old.pkg", "previous package");
  const Outcome run = Call(PackCommand, {Str(root_ / "old.pkg"), Str(root_ / "no such folder")});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(ReadAll(root_ / "old.pkg"), "previous package");
  EXPECT_FALSE(fs::exists(root_ / "old.pkg.partial"));
}

TEST_F(PackageCommandsTest, CatWritesTheEntryBytes) {
#ifdef _WIN32
  // The capture reads its file back in text mode here; the cross-build test checks the
  // binary bytes of setuptool.exe's output instead.
  const std::string binary("any text");
#else
  const std::string binary("\x00\r\n\x1A\xFF", 5);
#endif
  const String pkg = PackageOf({{u"dir\\Bin.dat", binary}, {u"empty", ""}});
  const Outcome cat = Call(CatCommand, {pkg, u"DIR\\bin.DAT"});
  EXPECT_EQ(cat.code, 0) << cat.err;
  EXPECT_EQ(cat.out, binary);
  const Outcome empty = Call(CatCommand, {pkg, u"empty"});
  EXPECT_EQ(empty.code, 0) << empty.err;
  EXPECT_EQ(empty.out, "");
  const Outcome missing = Call(CatCommand, {pkg, u"dir\\other"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("Cannot locate \"dir\\other\" file in setup archive"),
            std::string::npos)
      << missing.err;
}

TEST_F(PackageCommandsTest, ExtractNamedEntriesOnly) {
  const String pkg = PackageOf({{u"a", "A"}, {u"b\\c", "C"}, {u"d", "D"}});
  const fs::path out = root_ / "out";
  ASSERT_EQ(Call(ExtractCommand, {pkg, Str(out), u"B\\C", u"a", u"a"}).code, 0);
  EXPECT_EQ(ReadAll(out / "b" / "c"), "C");
  EXPECT_EQ(ReadAll(out / "a"), "A");
  EXPECT_FALSE(fs::exists(out / "d"));

  const Outcome missing = Call(ExtractCommand, {pkg, Str(root_ / "out2"), u"a", u"zzz"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_NE(missing.err.find("Cannot locate \"zzz\" file in setup archive"), std::string::npos);
  EXPECT_FALSE(fs::exists(root_ / "out2"));
}

TEST_F(PackageCommandsTest, ExtractWritesOnlyTheReachableEntryOfASharedName) {
  const String pkg = PackageOf({{u"Readme", "first"}, {u"README", "second"}});
  const fs::path out = root_ / "out";
  const Outcome run = Call(ExtractCommand, {pkg, Str(out)});
  EXPECT_EQ(run.code, 0);
  EXPECT_NE(run.err.find("warning: entry \"README\" is hidden by \"Readme\""), std::string::npos);
  EXPECT_EQ(ReadAll(out / "Readme"), "first");
  EXPECT_FALSE(fs::exists(out / "README") && ReadAll(out / "README") == "second");
}

TEST_F(PackageCommandsTest, ExtractRefusesNamesThatLeaveTheFolder) {
  const String hostile[] = {
      u"",         u"..\\evil", u"a\\..\\..\\evil", u"\\rooted",  u"/rooted",   u"a\\\\b",
      u"C:\\evil", u"C:evil",   u"a\\.\\b",         u"dir\\",     u".. \\evil", u"...\\evil",
      u"a:stream", u"NUL",      u"com1.txt",        u"new\nline", u"what?",     u"a/../../evil",
  };
  for (const String& name : hostile) {
    const String pkg = PackageOf({{u"good.txt", "fine"}, {name, "evil"}});
    const fs::path out = root_ / "out";
    const Outcome run = Call(ExtractCommand, {pkg, Str(out)});
    EXPECT_EQ(run.code, 1) << StringToUtf8(name);
    EXPECT_NE(run.err.find("cannot be extracted"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(out)) << StringToUtf8(name);  // nothing at all was written
    EXPECT_FALSE(fs::exists(root_ / "evil")) << StringToUtf8(name);
  }
}

TEST_F(PackageCommandsTest, VerifyNamesWhatIsWrong) {
  WriteAll(root_ / "t" / "f", std::string(1000, 'f'));
  const fs::path pkg = root_ / "v.pkg";
  ASSERT_EQ(Call(PackCommand, {Str(pkg), Str(root_ / "t")}).code, 0);
  std::string bytes = ReadAll(pkg);
  struct Case {
    const char* what;
    size_t index;
    std::string expected;
  };
  const Case cases[] = {
      {"magic", 0, "Package was corrupted (the file does not begin with \"IPK5\")"},
      {"checksum", 5, "Package was corrupted (the body's checksum is 0x"},
      {"size", 8, "Package was corrupted (the body decodes to "},
  };
  for (const Case& c : cases) {
    std::string broken = bytes;
    broken[c.index] ^= 0x01;
    WriteAll(root_ / "broken.pkg", broken);
    const Outcome run = Call(VerifyCommand, {Str(root_ / "broken.pkg")});
    EXPECT_EQ(run.code, 1) << c.what;
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
  }
  WriteAll(root_ / "short.pkg", "IPK5");
  const Outcome run = Call(VerifyCommand, {Str(root_ / "short.pkg")});
  EXPECT_EQ(run.code, 1);
  EXPECT_NE(run.err.find("short.pkg: Stream read error"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace nolu::tool
