// The Win32 file system under Wine, in a fresh temporary folder per test.
#include "platform/win32/file_system_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/errors.h"
#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_win32.h"
#include "platform/win32/win32_pending_renames.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_test_folder.h"

namespace nolu {
namespace {

class Win32FileSystemTest : public ::testing::Test {
 protected:
  void WriteFile(const String& path, std::string_view text) {
    auto out = fs.OpenFile(path, FileMode::kCreate);
    ASSERT_TRUE(out.Stream) << "error " << out.Error;
    out.Stream->WriteBuffer(text.data(), text.size());
  }
  std::string ReadFile(const String& path) {
    auto in = fs.OpenFile(path, FileMode::kOpenRead);
    if (!in.Stream) return "<error " + std::to_string(in.Error) + ">";
    std::string text(static_cast<size_t>(in.Stream->Size()), '\0');
    in.Stream->ReadBuffer(text.data(), text.size());
    return text;
  }

  TWin32TestFolder folder;
  TWin32FileSystem fs;
};

TEST_F(Win32FileSystemTest, PathsLongerThanTheClassicLimitWork) {
  String deep = folder.Path();
  while (deep.size() < 400)
    deep += String(60, u'd') + u"\\";
  ASSERT_GT(deep.size(), kMaxPath);
  ASSERT_EQ(fs.ForceFolders(deep), kErrorSuccess);
  EXPECT_TRUE(fs.FolderExists(deep));

  const String file = deep + u"payload.bin";
  WriteFile(file, "long");
  EXPECT_EQ(ReadFile(file), "long");
  EXPECT_TRUE(fs.FileExists(file));
  EXPECT_EQ(fs.SetAttributes(file, kAttrReadOnly), kErrorSuccess);
  EXPECT_EQ(fs.Attributes(file) & kAttrReadOnly, kAttrReadOnly);
  EXPECT_EQ(fs.SetAttributes(file, 0), kErrorSuccess);

  const String copy = deep + u"copy.bin";
  EXPECT_EQ(fs.Copy(file, copy, true), kErrorSuccess);
  EXPECT_EQ(fs.Move(copy, deep + u"moved.bin"), kErrorSuccess);
  std::vector<TFileEntry> entries;
  ASSERT_EQ(fs.ListFolder(deep, entries), kErrorSuccess);
  ASSERT_EQ(entries.size(), 2u);
  String long_path;
  EXPECT_EQ(fs.LongPathName(file, long_path), kErrorSuccess);
  EXPECT_TRUE(EqualsIgnoreCase(long_path, file));
  EXPECT_EQ(fs.Delete(file), kErrorSuccess);
  EXPECT_EQ(fs.Delete(deep + u"moved.bin"), kErrorSuccess);
  EXPECT_EQ(fs.RemoveFolder(deep), kErrorSuccess);
  EXPECT_FALSE(fs.FolderExists(deep));
}

TEST_F(Win32FileSystemTest, ReadOnlyFilesAreNotDeletedUntilTheirAttributesAreCleared) {
  const String file = folder.Path() + u"ro.txt";
  WriteFile(file, "x");
  ASSERT_EQ(fs.SetAttributes(file, kAttrReadOnly | kAttrHidden), kErrorSuccess);
  EXPECT_EQ(fs.Attributes(file) & (kAttrReadOnly | kAttrHidden), kAttrReadOnly | kAttrHidden);
  EXPECT_EQ(fs.Delete(file), kErrorAccessDenied);
  ASSERT_EQ(fs.SetAttributes(file, 0), kErrorSuccess);
  EXPECT_EQ(fs.Attributes(file) & (kAttrReadOnly | kAttrHidden), 0u);
  EXPECT_EQ(fs.Delete(file), kErrorSuccess);
  EXPECT_EQ(fs.Attributes(file), kInvalidAttributes);
}

TEST_F(Win32FileSystemTest, AFileAnotherHandleWritesCanBeReadButNotReplaced) {
  const String file = folder.Path() + u"log.txt";
  TFileHandle writer(::CreateFileW(W(file), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(writer);
  DWORD written = 0;
  ASSERT_TRUE(::WriteFile(writer.Get(), "in use", 6, &written, nullptr));
  EXPECT_EQ(ReadFile(file), "in use");
  EXPECT_EQ(fs.OpenFile(file, FileMode::kCreate).Error, kErrorSharingViolation);
  EXPECT_EQ(fs.OpenFile(file, FileMode::kOpenReadWrite).Error, kErrorSharingViolation);
  EXPECT_EQ(fs.Delete(file), kErrorSharingViolation);
}

TEST_F(Win32FileSystemTest, AppendingHandlesWriteAtTheEndOneAfterTheOther) {
  const String file = folder.Path() + u"run.log";
  WriteFile(file, "start\n");
  auto first = fs.OpenFile(file, FileMode::kAppend);
  auto second = fs.OpenFile(file, FileMode::kAppend);
  ASSERT_TRUE(first.Stream && second.Stream) << first.Error << " " << second.Error;
  first.Stream->WriteBuffer("one\n", 4);
  second.Stream->WriteBuffer("two\n", 4);
  first.Stream->WriteBuffer("three\n", 6);
  EXPECT_EQ(ReadFile(file), "start\none\ntwo\nthree\n");
  EXPECT_EQ(first.Stream->Size(), 20);
  // Readable while written; not replaced or deleted under its writers.
  EXPECT_EQ(fs.OpenFile(file, FileMode::kCreate).Error, kErrorSharingViolation);
  EXPECT_EQ(fs.Delete(file), kErrorSharingViolation);

  const String fresh = folder.Path() + u"fresh.log";
  auto created = fs.OpenFile(fresh, FileMode::kAppendNew);
  ASSERT_TRUE(created.Stream) << created.Error;
  created.Stream->WriteBuffer("x", 1);
  EXPECT_EQ(fs.OpenFile(fresh, FileMode::kAppendNew).Error, kErrorFileExists);
  created.Stream.reset();
  EXPECT_EQ(ReadFile(fresh), "x");
}

TEST_F(Win32FileSystemTest, CopyMoveAndFolderErrorsAreWindowsCodes) {
  const String a = folder.Path() + u"a.txt";
  const String b = folder.Path() + u"b.txt";
  WriteFile(a, "alpha");
  WriteFile(b, "beta");
  EXPECT_EQ(fs.Copy(a, b, true), kErrorFileExists);
  EXPECT_EQ(ReadFile(b), "beta");
  EXPECT_EQ(fs.Copy(a, b, false), kErrorSuccess);
  EXPECT_EQ(ReadFile(b), "alpha");
  EXPECT_EQ(fs.Move(a, b), kErrorAlreadyExists);
  EXPECT_EQ(fs.Replace(b, b), kErrorSuccess);
  WriteFile(folder.Path() + u"fresh.txt", "fresh");
  EXPECT_EQ(fs.Replace(folder.Path() + u"fresh.txt", b), kErrorSuccess);
  EXPECT_EQ(ReadFile(b), "fresh");
  EXPECT_FALSE(fs.FileExists(folder.Path() + u"fresh.txt"));
  EXPECT_EQ(fs.Move(a, folder.Path() + u"c.txt"), kErrorSuccess);
  EXPECT_EQ(ReadFile(folder.Path() + u"c.txt"), "alpha");
  EXPECT_FALSE(fs.FileExists(a));

  EXPECT_EQ(fs.OpenFile(a, FileMode::kOpenRead).Error, kErrorFileNotFound);
  EXPECT_EQ(fs.OpenFile(folder.Path() + u"none\\x", FileMode::kCreate).Error, kErrorPathNotFound);
  std::vector<TFileEntry> entries;
  EXPECT_EQ(fs.ListFolder(folder.Path() + u"none", entries), kErrorPathNotFound);
  EXPECT_EQ(fs.ListFolder(b, entries), kErrorDirectory);
  EXPECT_EQ(fs.CreateFolder(folder.Path() + u"x\\y"), kErrorPathNotFound);
  ASSERT_EQ(fs.CreateFolder(folder.Path() + u"x"), kErrorSuccess);
  EXPECT_EQ(fs.CreateFolder(folder.Path() + u"x"), kErrorAlreadyExists);
  WriteFile(folder.Path() + u"x\\f", "");
  EXPECT_EQ(fs.RemoveFolder(folder.Path() + u"x"), kErrorDirNotEmpty);

  ASSERT_EQ(fs.ListFolder(folder.Path(), entries), kErrorSuccess);
  ASSERT_EQ(entries.size(), 3u);  // b.txt, c.txt, x
  for (const TFileEntry& e : entries) {
    EXPECT_EQ(e.IsFolder(), e.Name == u"x") << StringToUtf8(e.Name);
    EXPECT_EQ(e.Size, e.Name == u"b.txt" ? 5u : e.Name == u"c.txt" ? 5u : 0u);
  }
}

TEST_F(Win32FileSystemTest, TempFileNamesCreateEmptyFiles) {
  EXPECT_TRUE(EndsWith(fs.TempFolder(), u"\\"));
  EXPECT_TRUE(fs.FolderExists(fs.TempFolder()));
  String first, second;
  ASSERT_EQ(fs.TempFileName(folder.Path(), u"delete", first), kErrorSuccess);
  ASSERT_EQ(fs.TempFileName(folder.Path(), u"delete", second), kErrorSuccess);
  EXPECT_NE(first, second);
  EXPECT_TRUE(PathStartsWith(first, folder.Path() + u"del"));
  EXPECT_TRUE(EqualsIgnoreCase(ExtractFileExt(first), u".tmp"));
  EXPECT_EQ(ReadFile(first), "");
  EXPECT_NE(fs.TempFileName(folder.Path() + u"none", u"x", first), kErrorSuccess);
}

TEST_F(Win32FileSystemTest, FinalPathNamesArePlainFullPaths) {
  fs.CreateFolder(folder.Path() + u"Sub");
  String final_path;
  ASSERT_EQ(fs.FinalPathName(folder.Path() + u"sub\\", final_path), kErrorSuccess);
  EXPECT_TRUE(EqualsIgnoreCase(final_path, folder.Path() + u"Sub\\")) << StringToUtf8(final_path);
  EXPECT_FALSE(StartsWith(final_path, u"\\\\?\\"));
  EXPECT_NE(fs.FinalPathName(folder.Path() + u"none\\", final_path), kErrorSuccess);
}

TEST_F(Win32FileSystemTest, FullAndCurrentFolders) {
  const String saved = fs.CurrentFolder();
  ASSERT_EQ(fs.SetCurrentFolder(folder.Path()), kErrorSuccess);
  String full;
  ASSERT_EQ(fs.FullPathName(u"sub\\..\\file.txt", full), kErrorSuccess);
  EXPECT_TRUE(EqualsIgnoreCase(full, folder.Path() + u"file.txt"));
  EXPECT_TRUE(EqualsIgnoreCase(IncludeTrailingBackslash(fs.CurrentFolder()), folder.Path()));
  ASSERT_EQ(fs.SetCurrentFolder(saved), kErrorSuccess);
  EXPECT_EQ(fs.SetCurrentFolder(folder.Path() + u"none"), kErrorFileNotFound);
}

// MOVEFILE_DELAY_UNTIL_REBOOT lands in the Session Manager's PendingFileRenameOperations.
TEST_F(Win32FileSystemTest, MoveOnRebootIsRecordedForTheNextRestart) {
  TWin32PendingRenames pending;
  const String file = folder.Path() + u"pending-delete.txt";
  WriteFile(file, "x");
  ASSERT_EQ(fs.MoveOnReboot(file, u""), kErrorSuccess);
  std::wstring after;
  ASSERT_TRUE(TWin32PendingRenames::Read(after));
  const String recorded = FromW(after.data(), after.size());
  EXPECT_NE(recorded.find(ExcludeTrailingBackslash(ExtractFileName(file))), String::npos);
  EXPECT_TRUE(fs.FileExists(file));  // nothing happens before the restart
}

TEST_F(Win32FileSystemTest, AHeldFolderCannotBeRenamedOrRemovedButItsContentChanges) {
  const String sub = folder.Path() + u"Profile";
  ASSERT_EQ(fs.ForceFolders(sub + u"\\Playlists"), kErrorSuccess);
  WriteFile(sub + u"\\Nolu.ini", "x");
  std::unique_ptr<THeldFolder> held;
  EXPECT_EQ(fs.HoldFolder(sub + u"\\Nolu.ini", held), kErrorDirectory);
  EXPECT_EQ(fs.HoldFolder(folder.Path() + u"Missing", held), kErrorFileNotFound);
  ASSERT_EQ(fs.HoldFolder(sub + u"\\", held), kErrorSuccess);
  ASSERT_TRUE(held);
  EXPECT_EQ(fs.Move(sub, folder.Path() + u"Moved"), kErrorSharingViolation);
  EXPECT_EQ(fs.RemoveFolder(sub + u"\\Playlists"), kErrorSuccess);
  EXPECT_EQ(fs.Move(sub + u"\\Nolu.ini", sub + u"\\Nolu.bak"), kErrorSuccess);
  EXPECT_EQ(fs.Delete(sub + u"\\Nolu.bak"), kErrorSuccess);
  EXPECT_EQ(fs.RemoveFolder(sub), kErrorSharingViolation);
  // Two holds of one folder get along (a copy reads and writes in one tree).
  std::unique_ptr<THeldFolder> second;
  EXPECT_EQ(fs.HoldFolder(sub, second), kErrorSuccess);
  held.reset();
  second.reset();
  EXPECT_EQ(fs.Move(sub, folder.Path() + u"Moved"), kErrorSuccess);
  // A drive's root can be held too (the top of a chain).
  EXPECT_EQ(fs.HoldFolder(u"C:\\", held), kErrorSuccess);
}

TEST_F(Win32FileSystemTest, ANewFileIsNeverOneThatWasThereAndAHeldOneStaysAsItIs) {
  const String file = folder.Path() + u"copy.exe";
  WriteFile(file, "someone else's");
  EXPECT_EQ(fs.OpenFile(file, FileMode::kCreateNew).Error, kErrorFileExists);
  EXPECT_EQ(ReadFile(file), "someone else's");
  ASSERT_EQ(fs.Delete(file), kErrorSuccess);
  {
    auto created = fs.OpenFile(file, FileMode::kCreateNew);
    ASSERT_TRUE(created.Stream) << created.Error;
    created.Stream->WriteBuffer("ours", 4);
  }
  auto held = fs.OpenFile(file, FileMode::kOpenReadDenyWrite);
  ASSERT_TRUE(held.Stream) << held.Error;
  EXPECT_EQ(fs.OpenFile(file, FileMode::kOpenReadWrite).Error, kErrorSharingViolation);
  EXPECT_EQ(fs.OpenFile(file, FileMode::kCreate).Error, kErrorSharingViolation);
  EXPECT_EQ(fs.Delete(file), kErrorSharingViolation);
  EXPECT_EQ(fs.Move(file, folder.Path() + u"other.exe"), kErrorSharingViolation);
  EXPECT_EQ(ReadFile(file), "ours");  // readers are welcome
  held.Stream.reset();
  EXPECT_EQ(fs.Delete(file), kErrorSuccess);
}

// A held copy of a program still starts: the system opens it to run it while it is held.
TEST_F(Win32FileSystemTest, AHeldProgramCanBeStarted) {
  wchar_t self[MAX_PATH];
  ASSERT_GT(::GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
  const String copy = folder.Path() + u"held.exe";
  ASSERT_EQ(fs.Copy(FromW(self), copy, true), kErrorSuccess);
  auto held = fs.OpenFile(copy, FileMode::kOpenReadDenyWrite);
  ASSERT_TRUE(held.Stream);
  TWin32Platform platform;
  TStartResult started = platform.Processes().StartProcess(u"\"" + copy + u"\" --gtest_list_tests",
                                                           kSwHide, folder.Path());
  ASSERT_TRUE(started.Process) << started.Error;
  EXPECT_NE(started.Process->Id(), 0u);
  EXPECT_TRUE(started.Process->Wait(60000));
  uint32_t code = 99;
  EXPECT_TRUE(started.Process->ExitCode(code));
  EXPECT_EQ(code, 0u);
}

// The access lists as the security API reads them back. On Windows they read back as they
// were given. Wine keeps no access lists: it turns one into the folder's Unix mode bits and
// makes one up from them again, with the owner and "Everyone" in place of Administrators and
// Users, never protected. What it does show is the case that matters most, a folder created
// for administrators only: nobody besides SYSTEM and its owner has any right to it. It cannot
// show the read access of Users, nor a list set on an existing folder (it keeps that folder's
// mode bits).
TEST_F(Win32FileSystemTest, FoldersGetTheirAccessListAsTheyAreCreated) {
  TWin32System system;
  const bool wine = system.IsWine();
  const auto others_rights = [&](const TAccessList& list) {
    uint32_t rights = 0;
    for (const TAccessEntry& e : list.Entries) {
      if (e.Allowed && (e.Sid == kSidUsers || e.Sid == u"S-1-1-0" || e.Sid == u"S-1-5-11")) {
        rights |= e.Mask;
      }
    }
    return rights;
  };
  for (TFolderAccess access : {TFolderAccess::kAdministrators, TFolderAccess::kProgramFiles}) {
    const String made = folder.Path() + u"Made" + IntToStr(static_cast<int>(access));
    ASSERT_EQ(fs.CreateFolder(made, access), kErrorSuccess);
    const String set = folder.Path() + u"Set" + IntToStr(static_cast<int>(access));
    ASSERT_EQ(fs.CreateFolder(set), kErrorSuccess);
    ASSERT_EQ(fs.SetFolderAccess(set, access), kErrorSuccess);
    for (const String& path : {made, set}) {
      SCOPED_TRACE(StringToUtf8(path));
      TAccessList list;
      ASSERT_EQ(fs.ReadAccessList(path, list), kErrorSuccess);
      if (!wine) {
        EXPECT_EQ(list, AccessListOf(access));
      } else if (path == made && access == TFolderAccess::kAdministrators) {
        EXPECT_EQ(others_rights(list), 0u);
        bool system_full = false;
        for (const TAccessEntry& e : list.Entries)
          system_full |= e.Allowed && e.Sid == kSidSystem && e.Mask == kAccessFullControl;
        EXPECT_TRUE(system_full);
      }
    }
  }
  EXPECT_EQ(fs.CreateFolder(folder.Path() + u"Made1", TFolderAccess::kAdministrators),
            kErrorAlreadyExists);
  TAccessList list;
  EXPECT_EQ(fs.ReadAccessList(folder.Path() + u"Missing", list), kErrorFileNotFound);
}

TEST_F(Win32FileSystemTest, OpenFileOrRaiseCarriesTheSystemText) {
  TWin32Platform platform;
  PlatformScope scope(platform);
  try {
    OpenFileOrRaise(folder.Path() + u"missing.txt", FileMode::kOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_TRUE(
        StartsWith(e.Message(), u"Cannot open file \"" + folder.Path() + u"missing.txt\". "))
        << e.what();
    EXPECT_GT(e.Message().size(), folder.Path().size() + 32);  // the reason follows
  }
}

}  // namespace
}  // namespace nolu
