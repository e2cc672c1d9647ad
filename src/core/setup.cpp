#include "core/setup.h"

#include <algorithm>
#include <atomic>

#include "base/command_line.h"
#include "base/errors.h"
#include "base/format.h"
#include "base/locale.h"
#include "base/path.h"
#include "core/setup_extract_helper.h"
#include "core/setup_spawn_service.h"
#include "core/setup_thread.h"
#include "platform/error_codes.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

std::atomic<TSetup*> g_setup{nullptr};

constexpr TSetupFlags kFixedFlags = sfAuto | sfSilent;
// sfAuto | sfUpdate | sfRun: an automatic update asked to run the programs afterwards.
constexpr TSetupFlags kRunByDefault = sfAuto | sfUpdate | sfRun;
// Bits 6 and 7 are never set.
constexpr int kHighestFlagBit = 5;

// Said when a run was cancelled and the language files have no text for it.
constexpr char16_t kAbortedFallback[] = u"Setup was aborted.";

// A path is taken as written only when it is fully qualified: a drive with a backslash or a
// server share, no forward slashes. Anything else would depend on the current folder, which
// the uninstaller changes, and would be recorded as such in the uninstall entry.
bool IsFullyQualified(StringView path) {
  if (path.find(u'/') != StringView::npos) return false;
  if (StartsWith(path, u"\\\\")) return true;
  return path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
}

}  // namespace

TSetup* Setup() {
  return g_setup.load();
}

TSetup::TRegistration::TRegistration(TSetup* setup) {
  TSetup* expected = nullptr;
  if (!g_setup.compare_exchange_strong(expected, setup)) {
    throw EInvalidOperation(u"A setup object exists already");
  }
}

TSetup::TRegistration::~TRegistration() {
  g_setup.store(nullptr);
}

class TSetup::TRunContext : public ISetupRunContext {
 public:
  explicit TRunContext(TSetup& setup) : setup_(setup) {}
  String DestPath() override { return setup_.DestPath(); }
  String HomePage() override { return setup_.ProductInfo().GetHomePage(); }
  String ProductName() override { return setup_.ProductInfo().GetProductName(); }
  String VersionInfo() override { return setup_.ProductInfo().GetVersionInfo(); }

 private:
  TSetup& setup_;
};

TSetup::TSetup(String params, TProductInfoClass product_info_class)
    : registration_(this), params_(std::move(params)) {
  if (!product_info_class) throw EInstallerGeneralError(u"Setup is malformed");
  product_info_ = product_info_class();
  run_context_ = std::make_unique<TRunContext>(*this);
  resources_ = std::make_unique<TSetupResources>(*run_context_);
  extract_helper_ = std::make_unique<TSetupExtractHelper>();
  handle_ = CurrentPlatform().Messages().CreateMessageWindow(
      u"TSetup", [this](const TChannelMessage& message) { return WndProc(message); });
  ParseCommandLine(params_);
}

TSetup::~TSetup() {
  // The worker reports to the message window and reads everything else: it ends first.
  Cancel();
}

void TSetup::ParseCommandLine(StringView params) {
  String value;
  if (resources_->ProductPackage().Contains(u"Uninstall.ini")) {
    mode_ = smUninstall;
    flags_ = 0;
    if (HasSwitch(params, u"AUTO")) {
      flags_ |= sfAuto;
      // "SILENT" alone never makes a removal silent.
      if (HasSwitch(params, u"SILENT")) flags_ |= sfSilent;
    }
    return;  // the destination comes from "PATH" (the entry)
  }
  if (GetSwitchValue(params, u"AUTO", value)) {
    mode_ = smInstall;
    flags_ = sfAuto;
    SetDestPath(value.empty() ? product_info_->GetDefaultPath() : value);
    if (HasSwitch(params, u"NOBACKUP")) flags_ |= sfNoBackup;
    if (HasSwitch(params, u"RUN")) flags_ |= sfRun;
    if (HasSwitch(params, u"UPDATE")) {
      // An update always shows the wizard: "PORTABLE" and "SILENT" are not read.
      if (!product_info_->CanUpdate()) {
        throw EInstallerUpdateError(
            Format(u"Cannot install update on v%s", {product_info_->GetInstalledVersionText()}));
      }
    } else {
      if (HasSwitch(params, u"PORTABLE")) flags_ |= sfPortable;
      if (HasSwitch(params, u"SILENT")) flags_ |= sfSilent;
    }
    return;
  }
  mode_ = smInstall;
  flags_ = sfUpdate;
  SetDestPath(product_info_->GetDefaultPath());
}

String TSetup::NormalizeDestPath(StringView path) const {
  if (path.empty()) return String();
  IFileSystem& files = CurrentPlatform().Files();
  String result = IncludeTrailingBackslash(path);
  if (result.find(u".\\") != String::npos || !IsFullyQualified(result)) {
    String full;
    if (files.FullPathName(result, full) == kErrorSuccess) result = IncludeTrailingBackslash(full);
  }
  if (result.find(u'~') != String::npos) {
    // Short (8.3) names are expanded where the path exists; elsewhere the text stays.
    String long_path;
    if (files.LongPathName(result, long_path) == kErrorSuccess) {
      result = IncludeTrailingBackslash(long_path);
    }
  }
  return result;
}

void TSetup::SetDestPath(StringView path) {
  if (path == dest_path_) return;
  dest_path_ = NormalizeDestPath(path);
  product_info_->LoadInstalledInfo();
  if (product_info_->CanUpdate()) {
    flags_ |= sfUpdate;
  } else {
    flags_ &= static_cast<TSetupFlags>(~sfUpdate);
  }
  if ((flags_ & sfUpdate) && product_info_->IsPortable()) flags_ |= sfPortable;
  ValidateFlags();
}

bool TSetup::HasOption(int bit) const {
  if (bit < 0 || bit > 7) return false;
  return (flags_ & (1u << bit)) != 0;
}

void TSetup::SetOption(int bit, bool value) {
  if (bit < 0 || bit > kHighestFlagBit) throw EInstallerMysteryError(u"Invalid Arguments");
  const auto mask = static_cast<TSetupFlags>(1u << bit);
  SetOptions(value ? static_cast<TSetupFlags>(flags_ | mask)
                   : static_cast<TSetupFlags>(flags_ & ~mask));
}

void TSetup::SetOptions(TSetupFlags flags) {
  if (flags == flags_) return;
  if ((flags ^ flags_) & kFixedFlags) throw EInstallerMysteryError(u"Invalid Arguments");
  flags_ = flags;
  ValidateFlags();
}

bool TSetup::ValidateFlags() {
  if (!product_info_->CanUpdate()) flags_ &= static_cast<TSetupFlags>(~sfUpdate);
  const bool in_program_files = IsInProgramFiles();
  if (in_program_files) flags_ &= static_cast<TSetupFlags>(~sfPortable);
  return in_program_files;
}

bool TSetup::IsInProgramFiles() const {
  if (dest_path_.empty()) return false;
  for (const String* folder :
       {&resources_->ProgramsFolder(), &resources_->NativeProgramsFolder()}) {
    if (!folder->empty() && PathStartsWith(dest_path_, *folder)) return true;
  }
  return false;
}

void TSetup::Start(bool wait) {
  if (state_ != ssIdle) return;
  if (dest_path_.empty()) throw EInstallerInstallError(u"DestPath is empty");
  ValidateFlags();
  state_ = ssRunning;
  thread_ = std::make_unique<TSetupThread>();
  thread_->Resume();
  if (wait) thread_->WaitFor();
}

void TSetup::Cancel() {
  if (!thread_) return;
  if (CurrentPlatform().Messages().ServesBlockedSender()) {
    // Called from inside a notification (a listener that processes messages, a question
    // answered there): the worker waits for this very handler, so waiting for it here would
    // never end. It is told to stop and ends by itself once the handler has returned; its
    // ncFinished then arrives as usual, and a later Cancel or the destructor frees it.
    thread_->Terminate();
    return;
  }
  // The thread's destructor terminates it and waits, dispatching its notifications.
  thread_.reset();
}

void TSetup::RunActions() {
  if (HasErrors() || mode_ == smUninstall) return;
  const bool run_by_default = (flags_ & kRunByDefault) == kRunByDefault;
  const TSetupScriptGroup& actions = resources_->Script().Actions();
  for (size_t i = 0; i < actions.Count(); ++i) {
    const String& name = actions.Items(i).Name;
    if (options_.ReadBool(u"Actions", name, run_by_default)) {
      TSetupSpawnService::Spawn(resources_->ExpandPath(name));
    }
  }
}

void TSetup::NoteDeferredDeletion(StringView path, StringView aside) {
  std::lock_guard lock(deferred_lock_);
  deferred_.emplace_back(path, aside);
}

bool TSetup::RestartNeeded() {
  std::lock_guard lock(deferred_lock_);
  for (const auto& [path, aside] : deferred_) {
    if (caller_program_.empty() || !EqualsIgnoreCase(path, caller_program_)) return true;
  }
  return false;
}

String TSetup::CallerProgramAside() {
  std::lock_guard lock(deferred_lock_);
  for (const auto& [path, aside] : deferred_) {
    if (!caller_program_.empty() && EqualsIgnoreCase(path, caller_program_)) return aside;
  }
  return String();
}

void TSetup::AddListener(IInstallerNotify* listener) {
  std::lock_guard lock(lock_);
  listeners_.push_back(listener);
}

void TSetup::RemoveListener(IInstallerNotify* listener) {
  std::lock_guard lock(lock_);
  std::erase(listeners_, listener);
}

void TSetup::Notify(uint32_t code, int64_t param) {
  CurrentPlatform().Messages().SendValue(handle_->Id(), code, param);
}

void TSetup::NotifyText(uint32_t code, StringView text) {
  CurrentPlatform().Messages().SendText(handle_->Id(), code, text, handle_->Id());
}

void TSetup::DoNotify(uint32_t code, const TNotifyParam& param) {
  std::lock_guard lock(lock_);
  if (code == ncFinished) {
    state_ = ssFinished;
    if (param.Value != 0) {
      String aborted = resources_->GetString(u"Common", u"E4");
      errors_.push_back(aborted.empty() ? String(kAbortedFallback) : std::move(aborted));
    }
  }
  // Last registered first, each listener once. A listener may remove itself or others while
  // it is called (a page freed by the wizard): the ones removed are not called any more, and
  // the ones added wait for the next notification.
  const std::vector<IInstallerNotify*> listeners = listeners_;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) {
    if (std::find(listeners_.begin(), listeners_.end(), *it) != listeners_.end()) {
      (*it)->Notify(code, param);
    }
  }
}

int64_t TSetup::WndProc(const TChannelMessage& message) {
  if (message.MessageKind == TChannelMessage::Kind::kValue) {
    DoNotify(static_cast<uint32_t>(message.Code), TNotifyParam{message.Param, nullptr});
    return 0;
  }
  // Texts come only from this object's own NotifyText, which names this window as sender.
  if (message.Sender != handle_->Id()) return 0;
  try {
    DoNotify(static_cast<uint32_t>(message.Code), TNotifyParam{0, &message.Text});
  } catch (...) {
    // A listener's failure while showing a status text must not reach the sender.
  }
  return 0;
}

}  // namespace nolu
