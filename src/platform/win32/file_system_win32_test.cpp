// The Win32 file system under Wine, in a fresh temporary folder per test.
#include "platform/win32/file_system_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "base/errors.h"
#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/win32/handles.h"
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
  const wchar_t* kKey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
  const wchar_t* kValue = L"PendingFileRenameOperations";
  auto read_value = [&](std::wstring& text) {
    DWORD type = 0, size = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, &type, nullptr,
                       &size) != ERROR_SUCCESS) {
      return false;
    }
    text.assign(size / 2, L'\0');
    return ::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, &type, text.data(),
                          &size) == ERROR_SUCCESS;
  };
  std::wstring before;
  const bool had_value = read_value(before);

  const String file = folder.Path() + u"pending-delete.txt";
  WriteFile(file, "x");
  ASSERT_EQ(fs.MoveOnReboot(file, u""), kErrorSuccess);
  std::wstring after;
  ASSERT_TRUE(read_value(after));
  const String recorded = FromW(after.data(), after.size());
  EXPECT_NE(recorded.find(ExcludeTrailingBackslash(ExtractFileName(file))), String::npos);
  EXPECT_TRUE(fs.FileExists(file));  // nothing happens before the restart

  // Leave the prefix as it was for the tests that follow.
  HKEY key;
  ASSERT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  if (had_value) {
    ::RegSetValueExW(key, kValue, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(before.data()),
                     static_cast<DWORD>(before.size() * 2));
  } else {
    ::RegDeleteValueW(key, kValue);
  }
  ::RegCloseKey(key);
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
