#include "core/testing/fake_setup_run.h"

#include "base/errors.h"
#include "base/locale.h"
#include "core/setup_spawn_service.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

// The configuration of the run under way: the product-information class is a plain
// function, so it finds the test's answers here.
TTestProductConfig* g_config = nullptr;

}  // namespace

std::unique_ptr<TSetupProductInfo> TTestProductInfo::Create() {
  if (!g_config) throw EInvalidOperation(u"TTestProductInfo needs a TFakeSetupRun");
  return std::unique_ptr<TSetupProductInfo>(new TTestProductInfo(*g_config));
}

bool TTestProductInfo::CanUpdate() {
  return copy_.Version > 0 && copy_.Updatable;
}

bool TTestProductInfo::IsPortable() {
  return copy_.Version > 0 && copy_.Portable;
}

int TTestProductInfo::GetInstalledVersion() {
  return copy_.Version;
}

void TTestProductInfo::LoadInstalledInfo() {
  const String& dest = Setup()->DestPath();
  ++config_.load_count;
  config_.last_loaded_from = dest;
  copy_ = {};
  for (const auto& [folder, copy] : config_.installed) {
    if (EqualsIgnoreCase(folder, dest)) copy_ = copy;
  }
}

void TTestProductInfo::PopulateActions(const TActionClassCallback& callback) {
  const auto& classes =
      Setup()->Mode() == smUninstall ? config_.uninstall_actions : config_.install_actions;
  for (const TSetupActionClass* cls : classes)
    callback(*cls);
}

void TTestProductInfo::PopulatePages(const TPageClassCallback& callback) {
  const auto& names =
      Setup()->Mode() == smUninstall ? config_.uninstall_pages : config_.install_pages;
  for (const String& name : names)
    callback(TSetupPageClass{name.c_str()});
}

void TRecordingListener::Notify(uint32_t code, const TNotifyParam& param) {
  TRecordedNotification n;
  n.Code = code;
  n.Value = param.Value;
  if (param.Text) n.Text = *param.Text;
  n.OnMainThread = CurrentPlatform().Messages().IsMainThread();
  Received.push_back(std::move(n));
}

std::vector<std::pair<int, int>> TRecordingListener::Progress() const {
  std::vector<std::pair<int, int>> out;
  for (const TRecordedNotification& n : Received) {
    if (n.Code == ncProgress) {
      out.emplace_back(static_cast<int>(n.Value >> 16), static_cast<int>(n.Value & 0xFFFF));
    }
  }
  return out;
}

TFakeSetupRun::TFakeSetupRun() : scope_(platform_), data_(TFakeSetupData::Sample()) {
  g_config = &config_;
  platform_.System().SetModuleFileName(u"C:\\Users\\User\\Downloads\\Setup.exe");
  platform_.Files().AddFile(u"C:\\Users\\User\\Downloads\\Setup.exe", "MZ setup");
}

TFakeSetupRun::~TFakeSetupRun() {
  setup_.reset();
  TSetupSpawnService::Finalize();
  g_config = nullptr;
}

void TFakeSetupRun::Prepare(StringView params) {
  data_.Install(platform_);
  const String program = platform_.System().ModuleFileName();
  platform_.System().SetCommandLine(u"\"" + program + u"\" " + String(params));
}

TSetup& TFakeSetupRun::Create(StringView params, bool initialize_languages) {
  Prepare(params);
  setup_.reset();
  setup_ = std::make_unique<TSetup>(String(params), &TTestProductInfo::Create);
  if (initialize_languages) setup_->Resources().InitializeLanguages();
  return *setup_;
}

}  // namespace nolu
