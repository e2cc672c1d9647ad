// TFakeSetupRun: a setup run on the fake platform, for the tests of the engine and of
// everything above it.
//
//   TFakeSetupRun run;                                  // fake platform + sample payload
//   run.Product().Installed(u"C:\\Nolu\\", {5010});     // an installed copy, version 5.01
//   run.Product().install_actions = {&ActionClassOf<TMyAction>()};
//   TSetup& setup = run.Create(u"/AUTO=\"C:\\Nolu\" /SILENT");
//   setup.Start(true);
//
// The product is TTestProductInfo, whose answers come from the run's TTestProductConfig: the
// installed copies by folder (version, portable, updatable) and the action classes of each
// mode. Create installs the payload (Data()) as the program's resources, sets the process's
// command line to "<program> <params>" and builds the TSetup, then reads the languages as the
// entry does (the preselection), unless told not to.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "base/text.h"
#include "core/installer_notify.h"
#include "core/setup.h"
#include "core/setup_product_info.h"
#include "platform/fake/fake_platform.h"
#include "resources/testing/fake_setup_data.h"

namespace nolu {

// An installed copy of the product, as the test product information reports it.
struct TTestInstalledCopy {
  int Version = 0;
  bool Portable = false;
  // False: the copy is there but the product refuses to update it.
  bool Updatable = true;
};

struct TTestProductConfig {
  // Installed copies by folder (with trailing backslash; compared without regard to case).
  std::map<String, TTestInstalledCopy> installed;
  std::vector<const TSetupActionClass*> install_actions;
  std::vector<const TSetupActionClass*> uninstall_actions;
  // The page class names PopulatePages hands out in each mode.
  std::vector<String> install_pages;
  std::vector<String> uninstall_pages;
  // How often LoadInstalledInfo ran, and the destination it saw last.
  int load_count = 0;
  String last_loaded_from;

  void Installed(StringView folder, TTestInstalledCopy copy) { installed[String(folder)] = copy; }
};

// A product-information class for tests; see TTestProductConfig.
class TTestProductInfo : public TSetupProductInfo {
 public:
  // The class reference to hand to TSetup or RunSetupProgram. It reads the configuration of
  // the TFakeSetupRun that exists when the object is created.
  static std::unique_ptr<TSetupProductInfo> Create();

  bool CanUpdate() override;
  bool IsPortable() override;
  int GetInstalledVersion() override;
  void LoadInstalledInfo() override;
  void PopulateActions(const TActionClassCallback& callback) override;
  void PopulatePages(const TPageClassCallback& callback) override;

 private:
  explicit TTestProductInfo(TTestProductConfig& config) : config_(config) {}

  TTestProductConfig& config_;
  TTestInstalledCopy copy_;
};

// A listener that records every notification it receives, on the thread that delivers it.
struct TRecordedNotification {
  uint32_t Code = 0;
  int64_t Value = 0;
  String Text;  // for ncStatusText
  bool OnMainThread = false;

  friend bool operator==(const TRecordedNotification&, const TRecordedNotification&) = default;
};

class TRecordingListener : public IInstallerNotify {
 public:
  void Notify(uint32_t code, const TNotifyParam& param) override;
  std::vector<TRecordedNotification> Received;
  // The ncProgress values received, as (overall, current) pairs.
  std::vector<std::pair<int, int>> Progress() const;
};

class TFakeSetupRun {
 public:
  // Installs a fake platform (the calling thread is the main thread) and the sample payload;
  // the running program is "C:\Users\User\Downloads\Setup.exe".
  TFakeSetupRun();
  ~TFakeSetupRun();
  TFakeSetupRun(const TFakeSetupRun&) = delete;
  TFakeSetupRun& operator=(const TFakeSetupRun&) = delete;

  TFakePlatform& Platform() { return platform_; }
  TFakeSetupData& Data() { return data_; }
  TTestProductConfig& Product() { return config_; }

  // Installs the payload and the command line and creates the setup object.
  TSetup& Create(StringView params = u"", bool initialize_languages = true);
  // Installs the payload as resources and sets the process's command line, without creating
  // anything (for tests of the program entry).
  void Prepare(StringView params);
  TSetup& SetupObject() { return *setup_; }
  // Frees the setup object (waiting for its worker).
  void Destroy() { setup_.reset(); }

 private:
  TFakePlatform platform_;
  PlatformScope scope_;
  TFakeSetupData data_;
  TTestProductConfig config_;
  std::unique_ptr<TSetup> setup_;
};

}  // namespace nolu
