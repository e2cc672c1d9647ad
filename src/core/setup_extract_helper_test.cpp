#include "core/setup_extract_helper.h"

#include <gtest/gtest.h>

#include <exception>
#include <optional>
#include <thread>

#include "core/testing/fake_setup_run.h"
#include "platform/error_codes.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

constexpr StringView kTarget = u"C:\\Nolu\\Nolu.exe";
constexpr StringView kBackup = u"C:\\Nolu\\Nolu.exe.bak";
// "Nolu.exe" of the sample product package.
constexpr std::string_view kNewContent = "MZ nolu";

class SetupExtractHelperTest : public ::testing::Test {
 protected:
  SetupExtractHelperTest() : files_(run_.Platform().Files()) {}

  TSetup& Create() { return run_.Create(u"/AUTO=\"C:\\Nolu\" /SILENT"); }

  // Runs `fn` on a worker thread while this (main) thread serves its Synchronize requests,
  // as the run's worker and the waiting main thread do; rethrows what `fn` raised.
  void OnWorker(const std::function<void()>& fn) {
    std::unique_ptr<TEvent> done = run_.Platform().Messages().NewEvent();
    std::exception_ptr error;
    std::thread worker([&] {
      try {
        fn();
      } catch (...) {
        error = std::current_exception();
      }
      done->Set();
    });
    run_.Platform().Messages().WaitDispatching(*done);
    worker.join();
    if (error) std::rethrow_exception(error);
  }

  // The message of the EInstallerInstallError that `fn` raises; empty when it raises none.
  static String ErrorOf(const std::function<void()>& fn) {
    try {
      fn();
    } catch (const EInstallerInstallError& e) {
      return e.Message();
    }
    return u"";
  }

  TFakeSetupRun run_;
  TFakeFileSystem& files_;
};

TEST_F(SetupExtractHelperTest, WritesEntriesWithTheirFoldersAndAnyContentSize) {
  // Around the 1 MiB chunk and the 256 KiB write buffer, and nothing at all.
  const size_t sizes[] = {0, 1, 256 * 1024, 1024 * 1024, 1024 * 1024 + 1, 3 * 1024 * 1024 + 5};
  for (size_t size : sizes) {
    std::string content(size, '\0');
    for (size_t i = 0; i < size; ++i)
      content[i] = static_cast<char>(i * 7 + i / 4096);
    run_.Data().SetProductFile(u"Plugins\\Big\\big.bin", content);
    TSetup& setup = Create();
    setup.ExtractHelper().ExtractFile(
        {u"$DEST\\Plugins\\Big\\big.bin", u"Plugins\\Big\\big.bin", u""});
    EXPECT_EQ(files_.FileText(u"C:\\Nolu\\Plugins\\Big\\big.bin"), content) << size;
    EXPECT_EQ(files_.OpenStreamCount(), 0);
  }
  // An entry without text is the package entry of the target's file name.
  TSetup& setup = Create();
  setup.ExtractHelper().ExtractFile({u"$DEST\\Nolu.exe", u"", u""});
  EXPECT_EQ(files_.FileText(kTarget), kNewContent);
  EXPECT_TRUE(run_.Platform().Dialogs().Calls().empty());
}

TEST_F(SetupExtractHelperTest, FilesInUse) {
  struct Case {
    const char* name;
    std::string old_content;
    TFakeFileLock lock;
    bool refuse_create = false;  // creating the target fails even once its name is free
    std::vector<int> answers;    // to the questions, in turn
    bool free_on_retry = false;  // the program lets go of the file when asked
    std::string expected_content;
    std::optional<std::string> expected_backup;
    String expected_error;
  } cases[] = {
      {"same content: untouched, no question",
       std::string(kNewContent),
       {},
       false,
       {},
       false,
       std::string(kNewContent),
       std::nullopt,
       u""},
      {"same content of an empty entry", "", {}, false, {}, false, "", std::nullopt, u""},
      {"renamable: moved aside, no question",
       "old",
       {.Renamable = true},
       false,
       {},
       false,
       std::string(kNewContent),
       "old",
       u""},
      {"locked: Retry after the program let go",
       "old",
       {},
       false,
       {kIdRetry},
       true,
       std::string(kNewContent),
       std::nullopt,
       u""},
      {"locked: Retry, Retry, Ignore keeps the old file",
       "old",
       {},
       false,
       {kIdRetry, kIdRetry, kIdIgnore},
       false,
       "old",
       std::nullopt,
       u""},
      {"locked: Abort",
       "old",
       {},
       false,
       {kIdAbort},
       false,
       "old",
       std::nullopt,
       u"Cannot write the file C:\\Nolu\\Nolu.exe."},
      {"moved aside but not creatable: Ignore puts the old file back",
       "old",
       {.Renamable = true},
       true,
       {kIdIgnore},
       false,
       "old",
       std::nullopt,
       u""},
      {"moved aside but not creatable: Abort puts the old file back",
       "old",
       {.Renamable = true},
       true,
       {kIdAbort},
       false,
       "old",
       std::nullopt,
       u"Cannot write the file C:\\Nolu\\Nolu.exe."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.old_content.empty()) run_.Data().SetProductFile(u"Nolu.exe", "");
    TSetup& setup = Create();
    files_.AddFile(kTarget, c.old_content);
    files_.SetInUse(kTarget, c.lock);
    if (c.refuse_create)
      files_.InjectFailure(FakeFileOp::kOpenWrite, kTarget, kErrorAccessDenied, -1);
    const size_t asked_before = run_.Platform().Dialogs().Calls().size();
    size_t asked = 0;
    run_.Platform().Dialogs().SetAnswer([&](const TFakeMessageBoxCall&) {
      const int answer = asked < c.answers.size() ? c.answers[asked] : kIdAbort;
      ++asked;
      if (answer == kIdRetry && c.free_on_retry) files_.ClearInUse(kTarget);
      return answer;
    });

    const String error = ErrorOf([&] {
      OnWorker([&] { setup.ExtractHelper().ExtractFile({u"$DEST\\Nolu.exe", u"", u""}); });
    });

    EXPECT_EQ(error, c.expected_error.empty() ? u"" : String(kTarget) + u"\r\n" + c.expected_error);
    files_.ClearInUse(kTarget);
    files_.ClearInUse(kBackup);
    files_.ClearFailures();
    EXPECT_EQ(files_.FileBytes(kTarget).has_value(), true);
    EXPECT_EQ(files_.FileText(kTarget), c.expected_content);
    EXPECT_EQ(files_.FileExists(kBackup), c.expected_backup.has_value());
    if (c.expected_backup) {
      EXPECT_EQ(files_.FileText(kBackup), *c.expected_backup);
    }
    const std::vector<TFakeMessageBoxCall> calls = run_.Platform().Dialogs().Calls();
    ASSERT_EQ(calls.size() - asked_before, c.answers.size());
    for (size_t i = asked_before; i < calls.size(); ++i) {
      const TFakeMessageBoxCall& call = calls[i];
      EXPECT_EQ(call.Text, u"The file C:\\Nolu\\Nolu.exe is in use.");
      EXPECT_EQ(call.Style, 306u);
      EXPECT_TRUE(call.OnMainThread);
    }
    EXPECT_EQ(files_.OpenStreamCount(), 0);
    files_.Delete(kBackup);
    run_.Destroy();
    run_.Data().SetProductFile(u"Nolu.exe", kNewContent);
  }
}

TEST_F(SetupExtractHelperTest, FailuresNameTheTargetAndTheCause) {
  TSetup& setup = Create();
  const auto extract = [&](StringView name, StringView entry) {
    return ErrorOf([&] { setup.ExtractHelper().ExtractFile({String(name), String(entry), u""}); });
  };

  EXPECT_EQ(extract(u"$DEST\\Missing.dll", u""),
            u"C:\\Nolu\\Missing.dll\r\nCannot locate \"Missing.dll\" file in setup archive");

  files_.InjectFailure(FakeFileOp::kCreateFolder, u"C:\\Nolu\\System", kErrorAccessDenied);
  EXPECT_EQ(extract(u"$DEST\\System\\nolu_menu64.dll", u"System\\nolu_menu64.dll"),
            u"C:\\Nolu\\System\\nolu_menu64.dll\r\nCannot create the folder C:\\Nolu\\System\\.");
  // A file where the folder should be.
  files_.AddFile(u"C:\\Nolu\\Skins", "not a folder");
  EXPECT_EQ(extract(u"$DEST\\Skins\\dark.skin", u"Nolu.exe"),
            u"C:\\Nolu\\Skins\\dark.skin\r\nCannot create the folder C:\\Nolu\\Skins\\.");

  files_.SetWriteBudget(3);
  const String full = extract(u"$DEST\\Nolu.exe", u"");
  EXPECT_TRUE(StartsWith(full, u"C:\\Nolu\\Nolu.exe\r\nSystem Error.  Code: 112."))
      << StringToUtf8(full);
  files_.ClearWriteBudget();

  // In use and not even readable: the comparison cannot be made.
  files_.AddFile(u"C:\\Nolu\\Locked.exe", "old");
  files_.SetInUse(u"C:\\Nolu\\Locked.exe", {.Readable = false});
  const String unreadable = extract(u"$DEST\\Locked.exe", u"Nolu.exe");
  EXPECT_TRUE(
      StartsWith(unreadable, u"C:\\Nolu\\Locked.exe\r\nCannot open file \"C:\\Nolu\\Locked.exe\"."))
      << StringToUtf8(unreadable);
  EXPECT_EQ(files_.FileText(u"C:\\Nolu\\Locked.exe"), "old");

  EXPECT_EQ(files_.OpenStreamCount(), 0);
  EXPECT_TRUE(run_.Platform().Dialogs().Calls().empty());
}

TEST_F(SetupExtractHelperTest, ForceDirCreatesEveryMissingParent) {
  TSetup& setup = Create();
  setup.ExtractHelper().ForceDir(u"C:\\Nolu\\Plugins\\Visual\\Bars\\");
  EXPECT_TRUE(files_.FolderExists(u"C:\\Nolu\\Plugins\\Visual\\Bars\\"));
  setup.ExtractHelper().ForceDir(u"C:\\Nolu\\Plugins\\");  // already there
  EXPECT_EQ(ErrorOf([&] { setup.ExtractHelper().ForceDir(u"Q:\\Nolu\\"); }),
            u"Cannot create the folder Q:\\Nolu\\.");
}

}  // namespace
}  // namespace nolu
