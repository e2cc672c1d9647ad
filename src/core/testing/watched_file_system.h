// TWatchedPlatform: the fake platform seen through a file system that writes down every call
// with the path it was given, for tests that must show what an operation left untouched (no
// call at all below a junction, no listing of a folder that must not be entered).
//
//   TFakeSetupRun run;
//   TWatchedPlatform watched(run.Platform());
//   PlatformScope scope(watched);          // every layer now calls through `watched`
//   ... run engine code ...
//   EXPECT_TRUE(watched.Files().CallsBelow(u"C:\\Nolu\\Link\\").empty());
//
// A test can also act at the worst moment: Before(operation, path, action) runs the action
// just before that call reaches the fake (a user who swaps a folder for a junction between
// the check and the use, for example).
//
// The other services are the fake's own. Thread-safe like the fake.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace nolu {

struct TFileCall {
  String Operation;  // the IFileSystem member's name: "Delete", "ListFolder", ...
  String Path;       // its path, as given
  String Target;     // the second path of Copy, Move, Replace and MoveOnReboot

  friend bool operator==(const TFileCall&, const TFileCall&) = default;
};

class TWatchedFileSystem : public IFileSystem {
 public:
  explicit TWatchedFileSystem(IFileSystem& inner) : inner_(inner) {}

  uint32_t Attributes(StringView path) override;
  uint32_t ListFolder(StringView folder, std::vector<TFileEntry>& entries) override;
  TOpenResult OpenFile(StringView path, FileMode mode) override;
  uint32_t SetAttributes(StringView path, uint32_t attributes) override;
  uint32_t Delete(StringView path) override;
  uint32_t Copy(StringView source, StringView target, bool fail_if_exists) override;
  uint32_t Move(StringView source, StringView target) override;
  uint32_t Replace(StringView source, StringView target) override;
  uint32_t MoveOnReboot(StringView source, StringView target) override;
  using IFileSystem::CreateFolder;
  uint32_t CreateFolder(StringView path, TFolderAccess access) override;
  uint32_t RemoveFolder(StringView path) override;
  uint32_t HoldFolder(StringView path, std::unique_ptr<THeldFolder>& held) override;
  uint32_t SetFolderAccess(StringView path, TFolderAccess access) override;
  uint32_t ReadAccessList(StringView path, TAccessList& list) override;
  String TempFolder() override { return inner_.TempFolder(); }
  uint32_t TempFileName(StringView folder, StringView prefix, String& path) override;
  uint32_t FullPathName(StringView path, String& full) override;
  uint32_t LongPathName(StringView path, String& long_path) override;
  uint32_t FinalPathName(StringView path, String& final_path) override;
  String CurrentFolder() override { return inner_.CurrentFolder(); }
  uint32_t SetCurrentFolder(StringView path) override;

  // Every call so far except FullPathName, which only computes a text.
  std::vector<TFileCall> Calls();
  // The calls whose path or target begins with `prefix`, compared without regard to case.
  std::vector<TFileCall> CallsBelow(StringView prefix);

  // Runs `action` once, just before the first call of `operation` (a member's name, as in
  // TFileCall) with the path `path` (compared without regard to case) goes to the fake.
  void Before(StringView operation, StringView path, std::function<void()> action);

 private:
  struct THook {
    String Operation;
    String Path;
    std::function<void()> Action;
  };
  void Record(StringView operation, StringView path, StringView target = {});

  IFileSystem& inner_;
  std::mutex mutex_;
  std::vector<TFileCall> calls_;
  std::vector<THook> hooks_;
};

class TWatchedPlatform : public TPlatform {
 public:
  explicit TWatchedPlatform(TFakePlatform& fake) : fake_(fake), files_(fake.Files()) {}

  TWatchedFileSystem& Files() override { return files_; }
  ISystem& System() override { return fake_.System(); }
  IRegistry& Registry() override { return fake_.Registry(); }
  IShell& Shell() override { return fake_.Shell(); }
  IProcesses& Processes() override { return fake_.Processes(); }
  IDesktopWindows& Windows() override { return fake_.Windows(); }
  IMessageChannel& Messages() override { return fake_.Messages(); }
  IMessageBox& Dialogs() override { return fake_.Dialogs(); }
  IModuleResources& Resources() override { return fake_.Resources(); }
  IPictureDecoder& Pictures() override { return fake_.Pictures(); }

 private:
  TFakePlatform& fake_;
  TWatchedFileSystem files_;
};

}  // namespace nolu
