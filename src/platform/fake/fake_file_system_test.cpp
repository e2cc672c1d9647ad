#include "platform/fake/fake_file_system.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"

namespace nolu {
namespace {

std::string ReadAll(TStream& stream) {
  std::string out(static_cast<size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  stream.ReadBuffer(out.data(), out.size());
  return out;
}

void WriteAll(TStream& stream, std::string_view text) {
  stream.WriteBuffer(text.data(), text.size());
}

class FakeFileSystemTest : public ::testing::Test {
 protected:
  TFakeFileSystem fs;
};

TEST_F(FakeFileSystemTest, NamesIgnoreCaseAndKeepTheirSpelling) {
  fs.AddFile(u"C:\\Program Files\\Nolu\\Nolu.exe", "exe");
  EXPECT_TRUE(fs.FileExists(u"c:\\PROGRAM FILES\\nolu\\NOLU.EXE"));
  EXPECT_TRUE(fs.FolderExists(u"C:\\program files\\NOLU\\"));
  EXPECT_FALSE(fs.FolderExists(u"C:\\Program Files\\Nolu\\Nolu.exe"));
  EXPECT_FALSE(fs.FileExists(u"C:\\Program Files\\Nolu"));
  EXPECT_FALSE(fs.FileExists(u"C:\\Program Files\\Nolu\\Nolu.exe\\"));  // not a folder

  std::vector<TFileEntry> entries;
  ASSERT_EQ(fs.ListFolder(u"c:\\program files", entries), kErrorSuccess);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].Name, u"Nolu");
  EXPECT_TRUE(entries[0].IsFolder());

  // Cyrillic and Greek names fold too.
  fs.AddFile(u"C:\\Данные\\Ωmega.txt");
  EXPECT_TRUE(fs.FileExists(u"C:\\дАННЫЕ\\ωMEGA.TXT"));
}

TEST_F(FakeFileSystemTest, PathFormsNameTheSameFile) {
  fs.AddFile(u"C:\\Nolu\\Skins\\Dark.nsk", "skin");
  ASSERT_EQ(fs.SetCurrentFolder(u"C:\\Nolu"), kErrorSuccess);
  const char16_t* forms[] = {
      u"C:\\Nolu\\Skins\\Dark.nsk",
      u"C:/Nolu/Skins/Dark.nsk",
      u"\\\\?\\C:\\Nolu\\Skins\\Dark.nsk",
      u"Skins\\Dark.nsk",  // relative to the current folder
      u".\\Skins\\.\\Dark.nsk",
      u"C:\\Nolu\\Plugins\\..\\Skins\\Dark.nsk",
      u"C:\\..\\..\\Nolu\\Skins\\Dark.nsk",  // ".." stops at the root
      u"\\Nolu\\Skins\\Dark.nsk",            // root of the current drive
      u"C:Skins\\Dark.nsk",                  // drive-relative
      u"C:\\Nolu\\Skins\\Dark.nsk. ",        // Windows drops trailing dots and blanks
      u"C:\\Nolu\\\\Skins\\\\Dark.nsk",
  };
  for (const char16_t* form : forms) {
    EXPECT_EQ(fs.FileText(form), "skin") << StringToUtf8(form);
    String full;
    ASSERT_EQ(fs.FullPathName(form, full), kErrorSuccess) << StringToUtf8(form);
    EXPECT_EQ(full, u"C:\\Nolu\\Skins\\Dark.nsk") << StringToUtf8(form);
  }
  String full;
  EXPECT_EQ(fs.FullPathName(u"Skins\\", full), kErrorSuccess);
  EXPECT_EQ(full, u"C:\\Nolu\\Skins\\");  // the trailing backslash stays
  EXPECT_EQ(fs.FullPathName(u"C:\\a<b", full), kErrorInvalidName);
}

TEST_F(FakeFileSystemTest, ServerSharesAndExtraDrives) {
  fs.AddDrive(u"\\\\server\\share");
  fs.AddDrive(u"D:");
  fs.AddFile(u"\\\\server\\share\\setup\\Setup.exe", "x");
  fs.AddFile(u"D:\\x.txt", "d");
  EXPECT_TRUE(fs.FileExists(u"\\\\SERVER\\Share\\setup\\setup.exe"));
  EXPECT_TRUE(fs.FileExists(u"\\\\?\\UNC\\server\\share\\setup\\Setup.exe"));
  EXPECT_EQ(fs.Copy(u"D:\\x.txt", u"\\\\server\\share\\x.txt", true), kErrorSuccess);
  EXPECT_EQ(fs.CreateFolder(u"E:\\x"), kErrorPathNotFound);  // no drive E:
}

TEST_F(FakeFileSystemTest, ListingIsSortedByUpperCaseNameWithSizesAndAttributes) {
  fs.AddFile(u"C:\\d\\b.txt", "12345");
  fs.AddFile(u"C:\\d\\A.txt", "1", kAttrReadOnly | kAttrHidden);
  fs.AddFolder(u"C:\\d\\c");
  fs.AddFile(u"C:\\d\\_.txt");
  std::vector<TFileEntry> entries;
  ASSERT_EQ(fs.ListFolder(u"C:\\d\\", entries), kErrorSuccess);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].Name, u"A.txt");
  EXPECT_EQ(entries[0].Attributes, kAttrReadOnly | kAttrHidden);
  EXPECT_EQ(entries[1].Name, u"b.txt");
  EXPECT_EQ(entries[1].Size, 5u);
  EXPECT_EQ(entries[2].Name, u"c");
  EXPECT_EQ(entries[2].Attributes, kAttrDirectory);
  EXPECT_EQ(entries[3].Name, u"_.txt");  // '_' sorts after the letters, as on NTFS

  EXPECT_EQ(fs.ListFolder(u"C:\\missing", entries), kErrorPathNotFound);
  EXPECT_TRUE(entries.empty());
  EXPECT_EQ(fs.ListFolder(u"C:\\d\\b.txt", entries), kErrorDirectory);
}

TEST_F(FakeFileSystemTest, AttributesAreSetAndClearedWithWindowsValues) {
  fs.AddFile(u"C:\\f.txt");
  fs.AddFolder(u"C:\\dir");
  EXPECT_EQ(fs.Attributes(u"C:\\f.txt"), kAttrArchive);
  EXPECT_EQ(fs.SetAttributes(u"C:\\f.txt", kAttrReadOnly | kAttrSystem), kErrorSuccess);
  EXPECT_EQ(fs.Attributes(u"C:\\f.txt"), kAttrReadOnly | kAttrSystem);
  EXPECT_EQ(fs.SetAttributes(u"C:\\f.txt", 0), kErrorSuccess);
  EXPECT_EQ(fs.Attributes(u"C:\\f.txt"), kAttrNormal);  // no bit left reads as "normal"
  EXPECT_EQ(fs.SetAttributes(u"C:\\dir", kAttrHidden), kErrorSuccess);
  EXPECT_EQ(fs.Attributes(u"C:\\dir"), kAttrDirectory | kAttrHidden);  // stays a folder
  EXPECT_EQ(fs.Attributes(u"C:\\missing"), kInvalidAttributes);
  EXPECT_EQ(fs.SetAttributes(u"C:\\missing", 0), kErrorFileNotFound);
  EXPECT_EQ(fs.SetAttributes(u"C:\\no\\missing", 0), kErrorPathNotFound);
}

// The error codes of the mutating calls, against one arranged tree.
TEST_F(FakeFileSystemTest, MutatingCallsReturnWindowsErrorCodes) {
  fs.AddFile(u"C:\\a\\file.txt", "a");
  fs.AddFile(u"C:\\a\\other.txt", "o");
  fs.AddFile(u"C:\\a\\ro.txt", "r", kAttrReadOnly);
  fs.AddFolder(u"C:\\a\\sub");
  fs.AddFile(u"C:\\full\\x");
  struct Row {
    const char* what;
    std::function<uint32_t()> call;
    uint32_t expected;
  };
  const Row rows[] = {
      {"delete missing", [&] { return fs.Delete(u"C:\\a\\none"); }, kErrorFileNotFound},
      {"delete below missing", [&] { return fs.Delete(u"C:\\none\\x"); }, kErrorPathNotFound},
      {"delete folder", [&] { return fs.Delete(u"C:\\a\\sub"); }, kErrorAccessDenied},
      {"delete read-only", [&] { return fs.Delete(u"C:\\a\\ro.txt"); }, kErrorAccessDenied},
      {"copy missing", [&] { return fs.Copy(u"C:\\a\\none", u"C:\\a\\n2", false); },
       kErrorFileNotFound},
      {"copy onto existing, fail-if-exists",
       [&] { return fs.Copy(u"C:\\a\\file.txt", u"C:\\a\\other.txt", true); }, kErrorFileExists},
      {"copy onto read-only", [&] { return fs.Copy(u"C:\\a\\file.txt", u"C:\\a\\ro.txt", false); },
       kErrorAccessDenied},
      {"copy into missing folder",
       [&] { return fs.Copy(u"C:\\a\\file.txt", u"C:\\none\\x", false); }, kErrorPathNotFound},
      {"copy onto a folder", [&] { return fs.Copy(u"C:\\a\\file.txt", u"C:\\a\\sub", false); },
       kErrorAccessDenied},
      {"move onto existing", [&] { return fs.Move(u"C:\\a\\file.txt", u"C:\\a\\other.txt"); },
       kErrorAlreadyExists},
      {"move missing", [&] { return fs.Move(u"C:\\a\\none", u"C:\\a\\n2"); }, kErrorFileNotFound},
      {"move folder into itself", [&] { return fs.Move(u"C:\\a", u"C:\\a\\sub\\a"); },
       kErrorAccessDenied},
      {"create existing folder", [&] { return fs.CreateFolder(u"C:\\a\\sub"); },
       kErrorAlreadyExists},
      {"create over a file", [&] { return fs.CreateFolder(u"C:\\a\\file.txt"); },
       kErrorAlreadyExists},
      {"create without parent", [&] { return fs.CreateFolder(u"C:\\x\\y"); }, kErrorPathNotFound},
      {"remove non-empty", [&] { return fs.RemoveFolder(u"C:\\full"); }, kErrorDirNotEmpty},
      {"remove a file", [&] { return fs.RemoveFolder(u"C:\\a\\file.txt"); }, kErrorDirectory},
      {"remove missing", [&] { return fs.RemoveFolder(u"C:\\a\\none"); }, kErrorFileNotFound},
      {"open missing", [&] { return fs.OpenFile(u"C:\\a\\none", FileMode::kOpenRead).Error; },
       kErrorFileNotFound},
      {"create a file named like a folder",
       [&] { return fs.OpenFile(u"C:\\a\\new\\", FileMode::kCreate).Error; }, kErrorInvalidName},
      {"create in missing folder",
       [&] { return fs.OpenFile(u"C:\\none\\x", FileMode::kCreate).Error; }, kErrorPathNotFound},
      {"open a folder", [&] { return fs.OpenFile(u"C:\\a\\sub", FileMode::kOpenRead).Error; },
       kErrorAccessDenied},
      {"write read-only", [&] { return fs.OpenFile(u"C:\\a\\ro.txt", FileMode::kCreate).Error; },
       kErrorAccessDenied},
      {"current folder missing", [&] { return fs.SetCurrentFolder(u"C:\\none"); },
       kErrorFileNotFound},
  };
  for (const Row& r : rows)
    EXPECT_EQ(r.call(), r.expected) << r.what;
  // None of the failures changed anything.
  EXPECT_EQ(fs.FileText(u"C:\\a\\other.txt"), "o");
  EXPECT_EQ(fs.FileText(u"C:\\a\\ro.txt"), "r");
  EXPECT_TRUE(fs.FileExists(u"C:\\a\\file.txt"));
}

TEST_F(FakeFileSystemTest, CopyMoveDeleteAndFoldersDoTheirWork) {
  fs.AddFile(u"C:\\src\\a.txt", "alpha", kAttrReadOnly);
  ASSERT_EQ(fs.Copy(u"C:\\src\\a.txt", u"C:\\src\\b.txt", true), kErrorSuccess);
  EXPECT_EQ(fs.FileText(u"C:\\src\\b.txt"), "alpha");
  EXPECT_EQ(fs.Attributes(u"C:\\src\\b.txt"), kAttrReadOnly | kAttrArchive);  // copied along
  ASSERT_EQ(fs.SetAttributes(u"C:\\src\\b.txt", 0), kErrorSuccess);
  fs.AddFile(u"C:\\src\\c.txt", "gamma");
  ASSERT_EQ(fs.Copy(u"C:\\src\\c.txt", u"C:\\src\\b.txt", false), kErrorSuccess);
  EXPECT_EQ(fs.FileText(u"C:\\src\\b.txt"), "gamma");

  // A read-only file can be renamed, and a case-only rename keeps the file.
  ASSERT_EQ(fs.Move(u"C:\\src\\a.txt", u"C:\\src\\A.TXT"), kErrorSuccess);
  std::vector<TFileEntry> entries;
  fs.ListFolder(u"C:\\src", entries);
  EXPECT_EQ(entries[0].Name, u"A.TXT");

  // Folders move with their content.
  ASSERT_EQ(fs.CreateFolder(u"C:\\dst"), kErrorSuccess);
  ASSERT_EQ(fs.Move(u"C:\\src", u"C:\\dst\\moved"), kErrorSuccess);
  EXPECT_EQ(fs.FileText(u"C:\\dst\\moved\\c.txt"), "gamma");
  EXPECT_FALSE(fs.FolderExists(u"C:\\src"));

  ASSERT_EQ(fs.Delete(u"C:\\dst\\moved\\c.txt"), kErrorSuccess);
  EXPECT_FALSE(fs.FileExists(u"C:\\dst\\moved\\c.txt"));

  EXPECT_EQ(fs.ForceFolders(u"C:\\x\\y\\z\\"), kErrorSuccess);
  EXPECT_TRUE(fs.FolderExists(u"C:\\x\\y\\z"));
  EXPECT_EQ(fs.ForceFolders(u"C:\\x\\y\\z"), kErrorSuccess);  // already there
  fs.AddFile(u"C:\\blocker");
  EXPECT_EQ(fs.ForceFolders(u"C:\\blocker\\sub"), kErrorPathNotFound);
  EXPECT_EQ(fs.ForceFolders(u"C:\\x\\y\\z\\..\\w"), kErrorSuccess);
  EXPECT_TRUE(fs.FolderExists(u"C:\\x\\y\\w"));
  EXPECT_EQ(fs.RemoveFolder(u"C:\\x\\y\\z"), kErrorSuccess);
}

TEST_F(FakeFileSystemTest, StreamsReadWriteAndTruncate) {
  auto created = fs.OpenFile(u"C:\\new.bin", FileMode::kCreate);
  ASSERT_TRUE(created.Stream) << created.Error;
  WriteAll(*created.Stream, "hello world");
  created.Stream->SetSize(5);
  EXPECT_EQ(ReadAll(*created.Stream), "hello");
  created.Stream.reset();
  EXPECT_EQ(fs.FileText(u"C:\\new.bin"), "hello");
  EXPECT_EQ(fs.OpenStreamCount(), 0);

  auto again = fs.OpenFile(u"C:\\new.bin", FileMode::kCreate);  // truncates
  ASSERT_TRUE(again.Stream);
  EXPECT_EQ(again.Stream->Size(), 0);
  again.Stream.reset();

  auto reader = fs.OpenFile(u"C:\\new.bin", FileMode::kOpenRead);
  ASSERT_TRUE(reader.Stream);
  EXPECT_THROW(WriteAll(*reader.Stream, "x"), EOSError);  // read-only handle
  EXPECT_THROW(reader.Stream->Seek(-1, SeekOrigin::kBegin), EStreamError);
}

TEST_F(FakeFileSystemTest, AppendingHandlesWriteAtTheEndOneAfterTheOther) {
  fs.AddFile(u"C:\\Logs\\run.log", "start\n");
  // Two instances of a program appending to one log: each line lands at the end, whatever
  // the other wrote in between, and nothing is truncated.
  auto first = fs.OpenFile(u"C:\\Logs\\run.log", FileMode::kAppend);
  auto second = fs.OpenFile(u"C:\\Logs\\run.log", FileMode::kAppend);
  ASSERT_TRUE(first.Stream && second.Stream);
  WriteAll(*first.Stream, "one\n");
  WriteAll(*second.Stream, "two\n");
  WriteAll(*first.Stream, "three\n");
  EXPECT_EQ(fs.FileText(u"C:\\Logs\\run.log"), "start\none\ntwo\nthree\n");
  // The log being written is readable, and cannot be deleted under its writers.
  auto reader = fs.OpenFile(u"C:\\Logs\\run.log", FileMode::kOpenRead);
  EXPECT_TRUE(reader.Stream);
  EXPECT_EQ(fs.Delete(u"C:\\Logs\\run.log"), kErrorSharingViolation);

  // kAppend creates a missing file; kAppendNew only creates, never opens what exists.
  auto created = fs.OpenFile(u"C:\\Logs\\new.log", FileMode::kAppend);
  ASSERT_TRUE(created.Stream);
  EXPECT_TRUE(fs.FileExists(u"C:\\Logs\\new.log"));
  auto exclusive = fs.OpenFile(u"C:\\Logs\\fresh.log", FileMode::kAppendNew);
  ASSERT_TRUE(exclusive.Stream);
  WriteAll(*exclusive.Stream, "x");
  const TOpenResult again = fs.OpenFile(u"C:\\Logs\\fresh.log", FileMode::kAppendNew);
  EXPECT_FALSE(again.Stream);
  EXPECT_EQ(again.Error, kErrorFileExists);
  EXPECT_EQ(fs.FileText(u"C:\\Logs\\fresh.log"), "x");
  EXPECT_EQ(fs.OpenFile(u"C:\\Missing\\a.log", FileMode::kAppend).Error, kErrorPathNotFound);
}

// Sharing between handles opened through OpenFile, with the rules of the modes.
TEST_F(FakeFileSystemTest, HandlesShareAsTheirModesAllow) {
  fs.AddFile(u"C:\\f.txt", "data");
  struct Row {
    FileMode held;
    FileMode wanted;
    bool allowed;
  };
  const Row rows[] = {
      {FileMode::kOpenRead, FileMode::kOpenRead, true},
      {FileMode::kOpenRead, FileMode::kOpenReadWrite, true},
      {FileMode::kOpenRead, FileMode::kCreate, false},
      {FileMode::kOpenReadWrite, FileMode::kOpenRead, true},  // a log being written is readable
      {FileMode::kOpenReadWrite, FileMode::kOpenReadWrite, false},
      {FileMode::kOpenReadWrite, FileMode::kCreate, false},
      {FileMode::kCreate, FileMode::kOpenRead, false},
      {FileMode::kCreate, FileMode::kOpenReadWrite, false},
      {FileMode::kCreate, FileMode::kCreate, false},
      // Appending handles share reading and writing, as a log written by two processes.
      {FileMode::kOpenRead, FileMode::kAppend, true},
      {FileMode::kOpenReadWrite, FileMode::kAppend, false},
      {FileMode::kAppend, FileMode::kOpenRead, true},
      {FileMode::kAppend, FileMode::kOpenReadWrite, false},
      {FileMode::kAppend, FileMode::kAppend, true},
      {FileMode::kAppend, FileMode::kCreate, false},
      {FileMode::kCreate, FileMode::kAppend, false},
  };
  for (const Row& r : rows) {
    auto held = fs.OpenFile(u"C:\\f.txt", r.held);
    ASSERT_TRUE(held.Stream);
    auto second = fs.OpenFile(u"C:\\f.txt", r.wanted);
    EXPECT_EQ(second.Stream != nullptr, r.allowed) << int(r.held) << " " << int(r.wanted);
    EXPECT_EQ(second.Error, r.allowed ? kErrorSuccess : kErrorSharingViolation);
  }
  // A handle that reads shares deletion; the deleted file stays readable through it.
  fs.AddFile(u"C:\\g.txt", "still here");
  auto reader = fs.OpenFile(u"C:\\g.txt", FileMode::kOpenRead);
  EXPECT_EQ(fs.Delete(u"C:\\g.txt"), kErrorSuccess);
  EXPECT_EQ(ReadAll(*reader.Stream), "still here");
  // A writing handle does not share deletion or renaming.
  fs.AddFile(u"C:\\f.txt", "data");
  auto writer = fs.OpenFile(u"C:\\f.txt", FileMode::kOpenReadWrite);
  EXPECT_EQ(fs.Delete(u"C:\\f.txt"), kErrorSharingViolation);
  EXPECT_EQ(fs.Move(u"C:\\f.txt", u"C:\\h.txt"), kErrorSharingViolation);
  // And what it writes, a reader sees.
  auto reader2 = fs.OpenFile(u"C:\\f.txt", FileMode::kOpenRead);
  WriteAll(*writer.Stream, "DA");
  EXPECT_EQ(ReadAll(*reader2.Stream), "DAta");
}

// Files held open by another program, one row per kind of hold.
TEST_F(FakeFileSystemTest, FilesInUseByAnotherProgram) {
  struct Row {
    const char* what;
    TFakeFileLock lock;
    bool read, write, remove, rename;
  };
  const Row rows[] = {
      {"loaded program", {true, false, false, true}, true, false, false, true},
      {"exclusive", {false, false, false, false}, false, false, false, false},
      {"shares everything", {true, true, true, true}, true, true, true, true},
      {"log being written", {true, false, false, false}, true, false, false, false},
  };
  for (const Row& r : rows) {
    fs.AddFile(u"C:\\app\\file.dll", "old");
    fs.SetInUse(u"C:\\app\\file.dll", r.lock);
    auto read = fs.OpenFile(u"C:\\app\\file.dll", FileMode::kOpenRead);
    EXPECT_EQ(read.Stream != nullptr, r.read) << r.what;
    read.Stream.reset();
    auto write = fs.OpenFile(u"C:\\app\\file.dll", FileMode::kCreate);
    EXPECT_EQ(write.Stream != nullptr, r.write) << r.what;
    if (!r.write) {
      EXPECT_EQ(write.Error, kErrorSharingViolation) << r.what;
    }
    write.Stream.reset();
    EXPECT_EQ(fs.Copy(u"C:\\app\\file.dll", u"C:\\app\\copy.dll", false) == kErrorSuccess, r.read)
        << r.what;
    const uint32_t deleted = fs.Delete(u"C:\\app\\file.dll");
    EXPECT_EQ(deleted == kErrorSuccess, r.remove) << r.what;
    if (deleted == kErrorSuccess) continue;
    EXPECT_EQ(fs.Move(u"C:\\app\\file.dll", u"C:\\app\\file.dll.bak") == kErrorSuccess, r.rename)
        << r.what;
    fs.Delete(u"C:\\app\\file.dll.bak");
  }
  // The hold ends.
  fs.AddFile(u"C:\\app\\x.exe");
  fs.SetInUse(u"C:\\app\\x.exe", {.Readable = true, .Error = kErrorAccessDenied});
  EXPECT_EQ(fs.Delete(u"C:\\app\\x.exe"), kErrorAccessDenied);
  fs.ClearInUse(u"C:\\app\\x.exe");
  EXPECT_EQ(fs.Delete(u"C:\\app\\x.exe"), kErrorSuccess);
}

TEST_F(FakeFileSystemTest, DiskFullAfterTheWriteBudget) {
  fs.SetWriteBudget(10);
  auto out = fs.OpenFile(u"C:\\big.bin", FileMode::kCreate);
  ASSERT_TRUE(out.Stream);
  WriteAll(*out.Stream, "123456");
  try {
    WriteAll(*out.Stream, "789012");
    FAIL() << "the disk did not fill up";
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), kErrorDiskFull);
    EXPECT_NE(e.Message().find(u"There is not enough space on the disk."), String::npos);
    EXPECT_NE(e.Message().find(u"C:\\big.bin"), String::npos);
  }
  out.Stream.reset();
  EXPECT_EQ(fs.FileText(u"C:\\big.bin"), "1234567890");  // what fitted was written
  fs.AddFile(u"C:\\one.txt", "1");
  EXPECT_EQ(fs.Copy(u"C:\\one.txt", u"C:\\two.txt", false), kErrorDiskFull);
  EXPECT_FALSE(fs.FileExists(u"C:\\two.txt"));
  fs.ClearWriteBudget();
  EXPECT_EQ(fs.Copy(u"C:\\one.txt", u"C:\\two.txt", false), kErrorSuccess);
}

TEST_F(FakeFileSystemTest, AccessDeniedBelowAPath) {
  fs.AddFile(u"C:\\Windows\\win.ini", "w");
  fs.DenyAccess(u"C:\\Windows");
  EXPECT_EQ(fs.Delete(u"C:\\windows\\WIN.INI"), kErrorAccessDenied);
  EXPECT_EQ(fs.OpenFile(u"C:\\Windows\\win.ini", FileMode::kOpenRead).Error, kErrorAccessDenied);
  EXPECT_EQ(fs.CreateFolder(u"C:\\Windows\\Nolu"), kErrorAccessDenied);
  EXPECT_EQ(fs.Copy(u"C:\\Windows\\win.ini", u"C:\\w.ini", false), kErrorAccessDenied);
  EXPECT_TRUE(fs.FileExists(u"C:\\Windows\\win.ini"));            // attributes stay visible
  EXPECT_EQ(fs.CreateFolder(u"C:\\WindowsApps"), kErrorSuccess);  // a sibling is not below
  fs.AllowAccess(u"C:\\Windows");
  EXPECT_EQ(fs.Delete(u"C:\\Windows\\win.ini"), kErrorSuccess);
}

TEST_F(FakeFileSystemTest, InjectedFailuresHitTheirOperationAndPathForTheirCount) {
  fs.AddFile(u"C:\\a.txt", "a");
  fs.AddFile(u"C:\\b.txt", "b");
  fs.InjectFailure(FakeFileOp::kDelete, u"c:\\A.TXT", kErrorAccessDenied, 2);
  EXPECT_EQ(fs.Delete(u"C:\\b.txt"), kErrorSuccess);  // another path
  EXPECT_EQ(fs.Delete(u"C:\\a.txt"), kErrorAccessDenied);
  EXPECT_EQ(fs.Delete(u"C:\\a.txt"), kErrorAccessDenied);
  EXPECT_EQ(fs.Delete(u"C:\\a.txt"), kErrorSuccess);  // the count is spent

  fs.AddFile(u"C:\\r.txt", "read me");
  fs.InjectFailure(FakeFileOp::kRead, u"", kErrorReadFault, -1);
  auto in = fs.OpenFile(u"C:\\r.txt", FileMode::kOpenRead);
  ASSERT_TRUE(in.Stream);
  char buffer[4];
  EXPECT_THROW(in.Stream->Read(buffer, 4), EOSError);
  EXPECT_THROW(in.Stream->Read(buffer, 4), EOSError);  // every time
  fs.ClearFailures();
  EXPECT_EQ(in.Stream->Read(buffer, 4), 4u);

  fs.InjectFailure(FakeFileOp::kCopy, u"C:\\target.txt", kErrorDiskFull);
  EXPECT_EQ(fs.Copy(u"C:\\r.txt", u"C:\\target.txt", false), kErrorDiskFull);
}

TEST_F(FakeFileSystemTest, RebootOperationsAreKeptAndCarriedOut) {
  fs.AddFile(u"C:\\Nolu\\old.dll", "old");
  fs.AddFile(u"C:\\Nolu\\new.dll", "new");
  fs.AddFolder(u"C:\\Nolu\\Empty");
  fs.SetInUse(u"C:\\Nolu\\old.dll");
  ASSERT_EQ(fs.MoveOnReboot(u"C:\\Nolu\\old.dll", u""), kErrorSuccess);
  ASSERT_EQ(fs.MoveOnReboot(u"c:\\nolu\\new.dll", u"C:\\Nolu\\old.dll"), kErrorSuccess);
  ASSERT_EQ(fs.MoveOnReboot(u"C:\\Nolu\\Empty\\", u""), kErrorSuccess);
  const std::vector<TRebootOperation> expected = {
      {u"C:\\Nolu\\old.dll", u""},
      {u"C:\\nolu\\new.dll", u"C:\\Nolu\\old.dll"},
      {u"C:\\Nolu\\Empty", u""},
  };
  EXPECT_EQ(fs.RebootOperations(), expected);
  fs.SimulateReboot();
  EXPECT_EQ(fs.FileText(u"C:\\Nolu\\old.dll"), "new");
  EXPECT_FALSE(fs.FileExists(u"C:\\Nolu\\new.dll"));
  EXPECT_FALSE(fs.FolderExists(u"C:\\Nolu\\Empty"));
  EXPECT_TRUE(fs.RebootOperations().empty());
}

TEST_F(FakeFileSystemTest, TempFileNamesAreUniqueEmptyFiles) {
  const String temp = fs.TempFolder();
  EXPECT_EQ(temp, u"C:\\Users\\User\\AppData\\Local\\Temp\\");
  EXPECT_TRUE(fs.FolderExists(temp));
  String first, second;
  ASSERT_EQ(fs.TempFileName(temp, u"delete", first), kErrorSuccess);
  ASSERT_EQ(fs.TempFileName(temp, u"delete", second), kErrorSuccess);
  EXPECT_NE(first, second);
  EXPECT_TRUE(StartsWith(first, temp + u"del"));  // three characters of the prefix
  EXPECT_TRUE(EndsWith(first, u".tmp"));
  EXPECT_EQ(fs.FileBytes(first), Bytes{});
  // A name that is taken is skipped.
  fs.Delete(second);
  fs.AddFile(temp + u"del3.tmp");
  String third;
  ASSERT_EQ(fs.TempFileName(temp, u"del", third), kErrorSuccess);
  EXPECT_EQ(third, temp + u"del4.tmp");
  EXPECT_EQ(fs.TempFileName(u"C:\\missing", u"x", third), kErrorDirectory);
}

TEST_F(FakeFileSystemTest, LongPathNamesExpandShortAliases) {
  fs.AddFolder(u"C:\\Program Files (x86)\\Nolu");
  fs.SetShortName(u"C:\\Program Files (x86)", u"PROGRA~2");
  String long_path;
  ASSERT_EQ(fs.LongPathName(u"c:\\progra~2\\nolu\\", long_path), kErrorSuccess);
  EXPECT_EQ(long_path, u"C:\\Program Files (x86)\\Nolu\\");
  EXPECT_TRUE(fs.FolderExists(u"C:\\PROGRA~2\\Nolu"));
  EXPECT_EQ(fs.LongPathName(u"C:\\PROGRA~2\\None", long_path), kErrorFileNotFound);
  EXPECT_EQ(fs.LongPathName(u"C:\\None\\x", long_path), kErrorPathNotFound);
}

TEST_F(FakeFileSystemTest, TheCurrentFolderAndJunctionsProtectTheirTrees) {
  fs.AddFolder(u"C:\\Nolu\\Sub");
  ASSERT_EQ(fs.SetCurrentFolder(u"C:\\Nolu\\Sub\\"), kErrorSuccess);
  EXPECT_EQ(fs.CurrentFolder(), u"C:\\Nolu\\Sub");
  EXPECT_EQ(fs.RemoveFolder(u"C:\\Nolu\\Sub"), kErrorSharingViolation);
  EXPECT_EQ(fs.Move(u"C:\\Nolu", u"C:\\Other"), kErrorSharingViolation);
  ASSERT_EQ(fs.SetCurrentFolder(u"C:\\"), kErrorSuccess);
  EXPECT_EQ(fs.CurrentFolder(), u"C:\\");
  EXPECT_EQ(fs.RemoveFolder(u"C:\\Nolu\\Sub"), kErrorSuccess);

  // A junction with the content of its target: removing it leaves no trace of the content in
  // the tree listing, and never reports "not empty".
  fs.AddFolder(u"C:\\Nolu\\Link", kAttrDirectory | kAttrReparsePoint);
  fs.AddFile(u"C:\\Nolu\\Link\\precious.doc", "keep");
  EXPECT_EQ(fs.ListTree(u"C:\\Nolu"), StringList{u"C:\\Nolu\\Link\\"});
  EXPECT_EQ(fs.RemoveFolder(u"C:\\Nolu\\Link"), kErrorSuccess);
}

TEST_F(FakeFileSystemTest, OpenFileOrRaiseNamesTheFileAndTheReason) {
  TFakePlatform fake;
  PlatformScope scope(fake);
  fake.Files().AddFile(u"C:\\locked.txt");
  fake.Files().SetInUse(u"C:\\locked.txt", {.Readable = false});
  try {
    OpenFileOrRaise(u"C:\\locked.txt", FileMode::kOpenRead);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(),
              u"Cannot open file \"C:\\locked.txt\". The process cannot access the file because "
              u"it is being used by another process.");
  }
  try {
    OpenFileOrRaise(u"C:\\none\\x.txt", FileMode::kCreate);
    FAIL();
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(),
              u"Cannot create file \"C:\\none\\x.txt\". The system cannot find the "
              u"path specified.");
  }
  fake.Files().ClearInUse(u"C:\\locked.txt");
  EXPECT_NE(OpenFileOrRaise(u"C:\\locked.txt", FileMode::kOpenReadWrite), nullptr);
}

}  // namespace
}  // namespace nolu
