// The backup archive of the preparation action as outside readers see it: Info-ZIP's unzip and
// Python's zipfile open the bytes the action wrote to the fake file system and find the names,
// contents and times of the backup.
#include <gtest/gtest.h>

#include <fstream>

#include "base/testing/outside_zip_readers.h"
#include "core/setup.h"
#include "core/testing/fake_setup_run.h"
#include "product/actions/setup_action_prepare.h"

namespace nolu {
namespace {

using testing::ReadWithPython;
using testing::RunCommand;
using testing::TTempFolder;

TEST(PrepareArchiveReadersTest, BackupOpensInUnzipAndPythonWithNamesAndTimes) {
  TFakeSetupRun run;
  run.Product().install_actions = {&ActionClassOf<TSetupActionPrepare>()};
  run.Product().Installed(u"C:\\Nolu\\", {5010, false, /*Updatable=*/false});
  run.Platform().System().SetLocalTime({2024, 3, 5, 14, 7, 9, 0});
  TFakeFileSystem& files = run.Platform().Files();
  const std::string big(300000, 'x');  // compresses; several entries share no state
  files.AddFile(u"C:\\Users\\User\\AppData\\Roaming\\Nolu\\Плейлисты\\Рок.m3u8", "#EXTM3U");
  files.AddFile(u"C:\\Users\\User\\AppData\\Roaming\\Nolu\\Größe & Maße.ini", "[Größe]");
  files.AddFile(u"C:\\Nolu\\Skins\\音楽\\skin.xml", big);
  files.AddFile(u"C:\\Nolu\\Nolu.exe", "MZ old program");
  files.AddFile(u"C:\\Nolu\\Empty.txt", "");

  TSetup& setup = run.Create(u"/AUTO=C:\\Nolu /SILENT");
  setup.Start(true);
  ASSERT_FALSE(setup.HasErrors()) << StringToUtf8(setup.Errors()[0]);

  const std::optional<Bytes> bytes =
      files.FileBytes(u"C:\\Nolu\\!Backup\\z Before install 5.40 [2024.03.05 14-07-09].zip");
  ASSERT_TRUE(bytes.has_value());
  TTempFolder temp;
  const auto archive = temp.Path() / "backup.zip";
  {
    std::ofstream out(archive, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
  }

  const auto unzip = RunCommand({"unzip", "-t", archive.string()});
  EXPECT_EQ(unzip.exit_code, 0) << unzip.output;
  EXPECT_NE(unzip.output.find("No errors detected"), std::string::npos) << unzip.output;

  const testing::TPythonZipReport report = ReadWithPython(archive);
  ASSERT_TRUE(report.opened) << report.errors;
  EXPECT_EQ(report.bad_entry, "None");
  std::vector<std::string> names;
  for (const auto& entry : report.entries) {
    names.push_back(entry.name);
    // The time of the backup, in the two-second steps of the format.
    EXPECT_EQ(entry.date_time, "2024-03-05 14:07:08") << entry.name;
    EXPECT_NE(entry.flags & 0x800, 0) << entry.name;
  }
  EXPECT_EQ(names, (std::vector<std::string>{
                       "Profiles/User/Größe & Maße.ini",
                       "Profiles/User/Плейлисты/Рок.m3u8",
                       "Program/Empty.txt",
                       "Program/Nolu.exe",
                       "Program/Skins/音楽/skin.xml",
                   }));
  EXPECT_EQ(report.entries[4].size, big.size());
  EXPECT_LT(report.entries[4].compressed_size, big.size() / 100);
}

}  // namespace
}  // namespace nolu
