#include "core/product_folder.h"

#include <gtest/gtest.h>

#include "base/path.h"
#include "core/setup.h"
#include "core/setup_extract_helper.h"
#include "core/testing/fake_setup_run.h"
#include "platform/error_codes.h"

namespace nolu {
namespace {

TEST(ProductFolderTest, OnlyANormalInstallationOutsideTheProgramFilesFoldersGetsTheirList) {
  TFakePlatform fake;
  PlatformScope scope(fake);
  struct Row {
    const char16_t* dest;
    bool portable;
    TFolderAccess access;
  } rows[] = {
      {u"C:\\Program Files (x86)\\Nolu\\", false, TFolderAccess::kInherited},
      {u"C:\\Program Files\\Nolu\\", false, TFolderAccess::kInherited},
      {u"c:\\program files (x86)\\Media\\Nolu\\", false, TFolderAccess::kInherited},
      {u"D:\\Apps\\Nolu\\", false, TFolderAccess::kProgramFiles},
      {u"C:\\Program Files Extra\\Nolu\\", false, TFolderAccess::kProgramFiles},  // begins alike
      {u"C:\\Users\\User\\Nolu\\", false, TFolderAccess::kProgramFiles},
      {u"D:\\Apps\\Nolu\\", true, TFolderAccess::kInherited},  // a portable copy is its user's
  };
  for (const Row& r : rows) {
    EXPECT_EQ(ProductFolderAccess(r.dest, r.portable), r.access) << StringToUtf8(r.dest);
  }
}

// The first file of an installation makes the product folder: outside the program-files
// folders it gets their list, so that ordinary users cannot change what runs elevated from it.
TEST(ProductFolderTest, TheExtractionMakesTheProductFolderWithItsList) {
  struct Row {
    const char16_t* params;
    const char16_t* dest;
    TAccessList expected;
  } rows[] = {
      {u"/AUTO=D:\\Apps\\Nolu /SILENT", u"D:\\Apps\\Nolu\\",
       AccessListOf(TFolderAccess::kProgramFiles)},
      {u"/AUTO=D:\\Apps\\Nolu /PORTABLE /SILENT", u"D:\\Apps\\Nolu\\", {}},
      {u"/AUTO=\"C:\\Program Files (x86)\\Nolu\" /SILENT", u"C:\\Program Files (x86)\\Nolu\\", {}},
  };
  for (const Row& r : rows) {
    TFakeSetupRun run;
    run.Platform().Files().AddDrive(u"D:");
    TSetup& setup = run.Create(r.params);
    ASSERT_EQ(setup.DestPath(), r.dest);
    setup.ExtractHelper().ExtractFile({u"$DEST\\Plugins\\PlugA\\plugin.dll", u"Nolu.exe", u""});
    TFakeFileSystem& files = run.Platform().Files();
    TAccessList list;
    ASSERT_EQ(files.ReadAccessList(r.dest, list), kErrorSuccess);
    EXPECT_EQ(list, r.expected) << StringToUtf8(r.params);
    // The folders above it are none of the setup's business; those below inherit.
    ASSERT_EQ(files.ReadAccessList(ExtractFilePath(ExcludeTrailingBackslash(r.dest)), list),
              kErrorSuccess);
    EXPECT_EQ(list, TAccessList{}) << StringToUtf8(r.params);
    ASSERT_EQ(files.ReadAccessList(String(r.dest) + u"Plugins\\PlugA\\", list), kErrorSuccess);
    EXPECT_FALSE(list.Protected) << StringToUtf8(r.params);
  }
}

TEST(ProductFolderTest, AFolderThatExistsKeepsItsList) {
  TFakeSetupRun run;
  run.Platform().Files().AddDrive(u"D:");
  run.Platform().Files().AddFolder(u"D:\\Apps\\Nolu");
  TSetup& setup = run.Create(u"/AUTO=D:\\Apps\\Nolu /SILENT");
  setup.ExtractHelper().ExtractFile({u"$DEST\\Nolu.exe", u"", u""});
  TAccessList list;
  ASSERT_EQ(run.Platform().Files().ReadAccessList(u"D:\\Apps\\Nolu\\", list), kErrorSuccess);
  EXPECT_EQ(list, TAccessList{});
}

}  // namespace
}  // namespace nolu
