#include "core/file_operations.h"

#include <gtest/gtest.h>

#include <atomic>

#include "base/path.h"
#include "core/testing/fake_setup_run.h"
#include "platform/error_codes.h"

namespace nolu {
namespace {

constexpr char16_t kTemp[] = u"C:\\Users\\User\\AppData\\Local\\Temp\\";

class FileOperationsTest : public ::testing::Test {
 protected:
  TFakeFileSystem& Files() { return run_.Platform().Files(); }
  TFakeSetupRun run_;
};

TEST_F(FileOperationsTest, DeleteFileOrDefer) {
  enum Outcome { kGone, kMovedAside, kDeferred };
  struct Case {
    const char* what;
    uint32_t attributes;
    bool in_use;
    TFakeFileLock lock;
    Outcome outcome;
  } cases[] = {
      {"plain file", kAttrArchive, false, {}, kGone},
      {"read-only, hidden, system", kAttrReadOnly | kAttrHidden | kAttrSystem, false, {}, kGone},
      {"in use but renamable", kAttrArchive, true, {.Renamable = true}, kMovedAside},
      {"in use and locked", kAttrArchive, true, {}, kDeferred},
  };
  for (const Case& c : cases) {
    TFakeSetupRun run;
    TFakeFileSystem& files = run.Platform().Files();
    const String path = u"C:\\Nolu\\Nolu.exe";
    files.AddFile(path, "MZ", c.attributes);
    if (c.in_use) files.SetInUse(path, c.lock);
    DeleteFileOrDefer(path);
    EXPECT_EQ(files.FileExists(path), c.outcome == kDeferred) << c.what;
    const std::vector<TRebootOperation> reboot = files.RebootOperations();
    if (c.outcome == kMovedAside) {
      ASSERT_EQ(reboot.size(), 1u) << c.what;
      EXPECT_TRUE(StartsWith(reboot[0].Source, String(kTemp) + u"del")) << c.what;
      EXPECT_EQ(files.FileText(reboot[0].Source), "MZ") << c.what;
      EXPECT_EQ(reboot[0].Target, u"") << c.what;
    } else if (c.outcome == kDeferred) {
      EXPECT_EQ(reboot, (std::vector<TRebootOperation>{{path, u""}})) << c.what;
    } else {
      EXPECT_TRUE(reboot.empty()) << c.what;
    }
    // No temporary file is left behind either way.
    std::vector<TFileEntry> temp;
    files.ListFolder(kTemp, temp);
    EXPECT_EQ(temp.size(), c.outcome == kMovedAside ? 1u : 0u) << c.what;
  }
}

// Whatever holds a file, it is gone after the next restart, and nothing of it is left
// anywhere else: no copy in the temporary folder, no renamed file beside it.
TEST_F(FileOperationsTest, DeleteFileOrDefer_WhatCannotGoNowGoesAtTheNextRestart) {
  struct Case {
    const char* what;
    const char16_t* path;
    TFakeFileLock lock;
  } cases[] = {
      {"loaded program, same volume as the temporary folder",
       u"C:\\Nolu\\Nolu.exe",
       {.Renamable = true}},
      {"loaded program on another volume", u"D:\\Nolu\\Nolu.exe", {.Renamable = true}},
      {"held without sharing, same volume", u"C:\\Nolu\\Nolu.exe", {}},
      {"held without sharing, another volume", u"D:\\Nolu\\Nolu.exe", {}},
      {"held by a program that lets others delete it", u"D:\\Nolu\\Nolu.exe", {.Deletable = true}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    TFakeFileSystem& files = run.Platform().Files();
    files.AddDrive(u"D:");
    files.AddFile(c.path, "MZ");
    files.SetInUse(c.path, c.lock);
    DeleteFileOrDefer(c.path);
    files.SimulateReboot();
    const String folder = ExtractFilePath(c.path);
    EXPECT_EQ(files.ListTree(folder), StringList{});
    EXPECT_EQ(files.ListTree(kTemp), StringList{});
  }
}

TEST_F(FileOperationsTest, DeleteFileOrDefer_LeavesMissingFilesAndFoldersAlone) {
  Files().AddFolder(u"C:\\Nolu\\Skins");
  DeleteFileOrDefer(u"C:\\Nolu\\Skins");
  DeleteFileOrDefer(u"C:\\Nolu\\Missing.dll");
  EXPECT_TRUE(Files().FolderExists(u"C:\\Nolu\\Skins"));
  EXPECT_TRUE(Files().RebootOperations().empty());
}

TEST_F(FileOperationsTest, CopyFileOrRaise_OverwritesOrNamesBothPaths) {
  Files().AddFile(u"C:\\A\\Source.txt", "new");
  Files().AddFile(u"C:\\B\\Target.txt", "old");
  CopyFileOrRaise(u"C:\\A\\Source.txt", u"C:\\B\\Target.txt");
  EXPECT_EQ(Files().FileText(u"C:\\B\\Target.txt"), "new");
  try {
    CopyFileOrRaise(u"C:\\A\\Missing.txt", u"C:\\B\\Target.txt");
    FAIL();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), kErrorFileNotFound);
    EXPECT_EQ(e.Message(),
              u"System Error.  Code: 2.\r\nThe system cannot find the file specified.\r\n"
              u"C:\\A\\Missing.txt -> C:\\B\\Target.txt");
  }
}

TEST_F(FileOperationsTest, RunAndWait_WaitsForTheProgramInItsFolder) {
  std::atomic<bool> ended{false};
  run_.Platform().Processes().SetProgram(u"C:\\Nolu\\Elevator.exe", [&](const TFakeLaunch&) {
    ended = true;
    return 3u;
  });
  run_.Platform().Files().SetCurrentFolder(u"C:\\Users\\User\\Downloads");
  RunAndWait(u"\"C:\\Nolu\\Elevator.exe\" /REG=U", u"C:\\Nolu\\");
  EXPECT_TRUE(ended);
  const std::vector<TFakeLaunch> launches = run_.Platform().Processes().Launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].Parameters, u"/REG=U");
  EXPECT_EQ(launches[0].Show, kSwShow);
  // Never in the caller's folder, where anyone may have put a library.
  EXPECT_EQ(launches[0].Folder, u"C:\\Nolu\\");
  // A program that does not start is not reported.
  EXPECT_NO_THROW(RunAndWait(u"C:\\Nolu\\Missing.exe", u"C:\\Nolu\\"));
}

TEST_F(FileOperationsTest, AddError_AppendsInOrder) {
  TSetup& setup = run_.Create();
  AddError(u"one");
  AddError(u"two");
  EXPECT_EQ(setup.Errors(), (StringList{u"one", u"two"}));
}

}  // namespace
}  // namespace nolu
