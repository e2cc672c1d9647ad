#include "core/held_file.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "base/memory_stream.h"
#include "core/testing/watched_file_system.h"
#include "platform/error_codes.h"
#include "platform/fake/fake_platform.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

class HeldFileTest : public ::testing::Test {
 protected:
  HeldFileTest() {
    Files().AddFile(u"C:\\Nolu\\Uninstall.exe", "MZ uninstaller");
    Files().AddFolder(u"C:\\Temp\\Private");
  }
  TFakeFileSystem& Files() { return fake_.Files(); }

  TFakePlatform fake_;
  TWatchedPlatform watched_{fake_};
  PlatformScope scope_{watched_};
};

TEST_F(HeldFileTest, TheCopyIsNewAndNobodyChangesItWhileItIsHeld) {
  THeldFile copy = THeldFile::Copy(u"C:\\Nolu\\Uninstall.exe", u"C:\\Temp\\Private\\Uninstall.exe");
  EXPECT_EQ(copy.Path(), u"C:\\Temp\\Private\\Uninstall.exe");
  EXPECT_EQ(Files().FileText(copy.Path()), "MZ uninstaller");
  EXPECT_EQ(Files().OpenFile(copy.Path(), FileMode::kOpenReadWrite).Error, kErrorSharingViolation);
  EXPECT_EQ(Files().Delete(copy.Path()), kErrorSharingViolation);
  EXPECT_EQ(Files().Move(copy.Path(), u"C:\\Temp\\Private\\x.exe"), kErrorSharingViolation);
  // Whoever starts it can still read it.
  EXPECT_TRUE(Files().OpenFile(copy.Path(), FileMode::kOpenRead).Stream);
  copy.Release();
  EXPECT_EQ(Files().Delete(copy.Path()), kErrorSuccess);
}

TEST_F(HeldFileTest, AnExistingFileAtTheNameIsNeitherWrittenNorTaken) {
  Files().AddFile(u"C:\\Temp\\Private\\Uninstall.exe", "someone else's");
  try {
    THeldFile::Copy(u"C:\\Nolu\\Uninstall.exe", u"C:\\Temp\\Private\\Uninstall.exe");
    FAIL();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), kErrorFileExists);
    EXPECT_EQ(e.Message(),
              u"System Error.  Code: 80.\r\nThe file exists.\r\n"
              u"C:\\Nolu\\Uninstall.exe -> C:\\Temp\\Private\\Uninstall.exe");
  }
  EXPECT_EQ(Files().FileText(u"C:\\Temp\\Private\\Uninstall.exe"), "someone else's");
}

TEST_F(HeldFileTest, ChangedBetweenWritingAndHoldingIsRefusedAndRemoved) {
  // Another program with access to the folder writes into the file in the moment between the
  // writing (the first open) and the hold (the second).
  const String path = u"C:\\Temp\\Private\\Setup.exe";
  watched_.Files().Before(u"OpenFile", path, [] {});
  watched_.Files().Before(u"OpenFile", path, [&] {
    auto other = Files().OpenFile(path, FileMode::kOpenReadWrite);
    ASSERT_TRUE(other.Stream);
    other.Stream->WriteBuffer("EVIL", 4);
  });
  TMemoryStream data;
  data.WriteBuffer("MZ add-on", 9);
  data.SetPosition(0);
  try {
    THeldFile::Write(data, path);
    FAIL();
  } catch (const EInstallerGeneralError& e) {
    EXPECT_EQ(e.Message(),
              u"\"" + path + u"\" was changed by another program while the setup wrote it");
  }
  EXPECT_FALSE(Files().FileExists(path));
}

TEST_F(HeldFileTest, FailuresLeaveNothingHalfWritten) {
  Files().SetWriteBudget(4);
  TMemoryStream data;
  data.WriteBuffer("MZ add-on", 9);
  data.SetPosition(0);
  try {
    THeldFile::Write(data, u"C:\\Temp\\Private\\Setup.exe");
    FAIL();
  } catch (const EOSError& e) {
    EXPECT_EQ(e.ErrorCode(), kErrorDiskFull);
    EXPECT_TRUE(e.Message().ends_with(u"\r\nC:\\Temp\\Private\\Setup.exe"));
  }
  EXPECT_FALSE(Files().FileExists(u"C:\\Temp\\Private\\Setup.exe"));
}

}  // namespace
}  // namespace nolu
