#include "base/path.h"

#include <gtest/gtest.h>

namespace nolu {
namespace {

TEST(PathTest, TrailingBackslash) {
  struct Row {
    const char16_t* in;
    const char16_t* included;
    const char16_t* excluded;
  };
  const Row rows[] = {
      {u"C:\\Nolu", u"C:\\Nolu\\", u"C:\\Nolu"},
      {u"C:\\Nolu\\", u"C:\\Nolu\\", u"C:\\Nolu"},
      {u"C:\\", u"C:\\", u"C:"},
      {u"", u"", u""},  // an unset folder never becomes the root
      {u"\\\\srv\\share\\", u"\\\\srv\\share\\", u"\\\\srv\\share"},
      {u"C:\\a\\\\", u"C:\\a\\\\", u"C:\\a\\"},  // only one is removed
  };
  for (const Row& r : rows) {
    EXPECT_EQ(IncludeTrailingBackslash(r.in), r.included) << StringToUtf8(r.in);
    EXPECT_EQ(ExcludeTrailingBackslash(r.in), r.excluded) << StringToUtf8(r.in);
  }
}

TEST(PathTest, FolderNameAndExtensionParts) {
  struct Row {
    const char16_t* in;
    const char16_t* folder;
    const char16_t* name;
    const char16_t* ext;
  };
  const Row rows[] = {
      {u"C:\\Program Files\\Nolu\\Uninstall.exe", u"C:\\Program Files\\Nolu\\", u"Uninstall.exe",
       u".exe"},
      {u"C:\\Nolu\\", u"C:\\Nolu\\", u"", u""},
      {u"Uninstall.exe", u"", u"Uninstall.exe", u".exe"},
      {u"C:file.txt", u"C:", u"file.txt", u".txt"},
      {u"C:\\a.b\\file", u"C:\\a.b\\", u"file", u""},  // the folder's dot is not an extension
      {u"C:\\a\\archive.tar.gz", u"C:\\a\\", u"archive.tar.gz", u".gz"},
      {u"C:\\a\\.hidden", u"C:\\a\\", u".hidden", u".hidden"},
      {u"", u"", u"", u""},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ExtractFilePath(r.in), r.folder) << StringToUtf8(r.in);
    EXPECT_EQ(ExtractFileName(r.in), r.name) << StringToUtf8(r.in);
    EXPECT_EQ(ExtractFileExt(r.in), r.ext) << StringToUtf8(r.in);
  }
}

TEST(PathTest, ChangeFileExt) {
  EXPECT_EQ(ChangeFileExt(u"C:\\Nolu\\Uninstall.exe", u".dat"), u"C:\\Nolu\\Uninstall.dat");
  EXPECT_EQ(ChangeFileExt(u"C:\\Nolu\\Uninstall", u".dat"), u"C:\\Nolu\\Uninstall.dat");
  EXPECT_EQ(ChangeFileExt(u"C:\\a.b\\file", u".dat"), u"C:\\a.b\\file.dat");
  EXPECT_EQ(ChangeFileExt(u"C:\\a\\x.tar.gz", u""), u"C:\\a\\x.tar");
}

TEST(PathTest, RelativeAndContainedPaths) {
  struct Row {
    const char16_t* in;
    bool relative;
    bool contained;
  };
  const Row rows[] = {
      {u"Plugins\\PlugA\\a.dll", true, true},
      {u"Uninstall.exe", true, true},
      {u"a\\..\\b", true, false},
      {u"..\\..\\Windows\\win.ini", true, false},
      {u".\\a", true, false},
      {u"a\\.. \\b", true, false},  // Windows strips the blank: still ".."
      {u"a\\...\\b", true, false},  // and the last dot of "..."
      {u"a\\x.y\\b", true, true},
      {u"a/../b", true, false},           // forward slashes separate too
      {u"file.txt:stream", true, false},  // an alternate data stream
      {u"a:stream", false, false},        // drive A:
      {u"", true, false},
      {u"\\Windows\\win.ini", false, false},
      {u"\\\\srv\\share\\x", false, false},
      {u"C:\\Windows", false, false},
      {u"C:Windows", false, false},
      {u"/etc", false, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(IsRelativePath(r.in), r.relative) << StringToUtf8(r.in);
    EXPECT_EQ(IsContainedRelativePath(r.in), r.contained) << StringToUtf8(r.in);
  }
}

TEST(PathTest, IsVolumeRootKnowsDrivesAndShares) {
  struct Row {
    const char16_t* folder;
    bool root;
  };
  const Row rows[] = {
      {u"C:", true},
      {u"C:\\", true},
      {u"\\\\server\\share", true},
      {u"\\\\server\\share\\", true},
      {u"\\\\server", true},
      {u"C:\\Nolu", false},
      {u"C:\\Nolu\\", false},
      {u"\\\\server\\share\\Nolu\\", false},
      {u"Nolu\\", false},
      {u"", false},
  };
  for (const Row& r : rows)
    EXPECT_EQ(IsVolumeRoot(r.folder), r.root) << StringToUtf8(r.folder);
}

TEST(PathTest, PathStartsWithIgnoresCase) {
  EXPECT_TRUE(PathStartsWith(u"C:\\PROGRAM FILES\\Nolu\\x.dll", u"c:\\program files\\"));
  EXPECT_TRUE(PathStartsWith(u"C:\\Nolu\\", u""));
  EXPECT_FALSE(PathStartsWith(u"C:\\Nol", u"C:\\Nolu\\"));
  EXPECT_FALSE(PathStartsWith(u"D:\\Nolu\\a", u"C:\\Nolu\\"));
}

TEST(PathTest, ExtendedLengthPathAppliesFromTheClassicLimitOn) {
  const String folder(250, u'a');
  const String at259 = u"C:\\" + String(256, u'x');  // 259 characters
  const String at260 = at259 + u"y";
  ASSERT_EQ(at259.size(), 259u);
  EXPECT_EQ(ExtendedLengthPath(at259), at259);
  EXPECT_EQ(ExtendedLengthPath(at260), u"\\\\?\\" + at260);

  const String unc = u"\\\\server\\share\\" + folder;
  EXPECT_EQ(ExtendedLengthPath(unc), u"\\\\?\\UNC\\server\\share\\" + folder);

  const String prefixed = u"\\\\?\\C:\\" + folder + folder;
  EXPECT_EQ(ExtendedLengthPath(prefixed), prefixed);
  const String device = u"\\\\.\\" + folder + folder;
  EXPECT_EQ(ExtendedLengthPath(device), device);
  EXPECT_EQ(ExtendedLengthPath(u"C:\\short"), u"C:\\short");
}

}  // namespace
}  // namespace nolu
