// Saving an INI file on the real file system (under Wine in our runs) while another handle
// holds it: the file is afterwards the old one or the new one, never missing, and no
// temporary file stays behind.
#include <gtest/gtest.h>

#include "base/path.h"
#include "core/ini_file_io.h"
#include "core/safe_removal.h"
#include "platform/error_codes.h"
#include "platform/win32/win32_platform.h"

namespace nolu {
namespace {

TEST(IniFileIoWin32Test, SaveIniFile_AHeldFileIsNeverLeftMissing) {
  struct Case {
    const char* what;
    FileMode holder;  // how the other handle has it open
  } cases[] = {
      {"a scanner that shares reading, writing and deletion", FileMode::kOpenRead},
      {"a program that shares reading only", FileMode::kOpenReadWrite},
  };
  TWin32Platform platform;
  PlatformScope scope(platform);
  IFileSystem& files = platform.Files();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    String unique;
    ASSERT_EQ(files.TempFileName(files.TempFolder(), u"nin", unique), kErrorSuccess);
    files.Delete(unique);
    const String folder = unique + u".d\\";
    ASSERT_EQ(files.CreateFolder(folder), kErrorSuccess);
    const String path = folder + u"Nolu.ini";
    TRuxIniFile ini;
    ini.WriteString(u"Player", u"Volume", u"80");
    ASSERT_TRUE(SaveIniFile(ini, path));
    ini.WriteString(u"System", u"Version", u"5401");

    TOpenResult holder = files.OpenFile(path, c.holder);
    ASSERT_TRUE(holder.Stream) << holder.Error;
    const bool saved = SaveIniFile(ini, path);
    holder.Stream.reset();

    TRuxIniFile after;
    ASSERT_TRUE(LoadIniFile(after, path));
    EXPECT_EQ(after.ReadString(u"Player", u"Volume", u""), u"80");
    EXPECT_EQ(after.ReadString(u"System", u"Version", u""), saved ? u"5401" : u"");
    std::vector<TFileEntry> entries;
    ASSERT_EQ(files.ListFolder(folder, entries), kErrorSuccess);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].Name, u"Nolu.ini");
    DeleteFolderTree(folder, folder);
  }
}

}  // namespace
}  // namespace nolu
