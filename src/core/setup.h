// TSetup: the one object of a run. It carries the mode, the option flags, the destination, the
// options store and the error list; it owns the product information, the resources, the
// extraction writer and the worker thread; and it is the channel through which the worker
// reports to the user interface (a message-only window of the main thread, dispatched to the
// registered listeners).
//
// Every other part reaches it through Setup(): the constructor installs the object as the
// process-wide setup object before anything else, the destructor removes it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "base/ini_file.h"
#include "base/text.h"
#include "core/installer_notify.h"
#include "core/setup_log.h"
#include "core/setup_product_info.h"
#include "platform/message_channel.h"

namespace nolu {

class TSetupResources;
class TSetupExtractHelper;
class TSetupThread;

enum TSetupMode : uint8_t { smInstall = 0, smUninstall = 1 };

// Option flags; the bit numbers (0..5) are what HasOption and SetOption take.
using TSetupFlags = uint8_t;
inline constexpr TSetupFlags sfAuto = 1;
inline constexpr TSetupFlags sfPortable = 2;
inline constexpr TSetupFlags sfUpdate = 4;
inline constexpr TSetupFlags sfSilent = 8;
inline constexpr TSetupFlags sfRun = 16;
inline constexpr TSetupFlags sfNoBackup = 32;

enum TSetupState : uint8_t { ssIdle = 0, ssRunning = 1, ssFinished = 2 };

class TSetup {
 public:
  // Creates the run: installs itself as Setup(), creates the product information from
  // `product_info_class`, opens the packages and the script (TSetupResources), creates the
  // extraction writer and the message window (main thread), and parses `params`. Raises on any
  // failure, leaving no process-wide object behind.
  TSetup(String params, TProductInfoClass product_info_class);
  // Stops the worker (if any), frees what it owns, and removes itself as Setup().
  ~TSetup();
  TSetup(const TSetup&) = delete;
  TSetup& operator=(const TSetup&) = delete;

  // --- State of the run.
  TSetupMode Mode() const { return mode_; }
  TSetupFlags Flags() const { return flags_; }
  TSetupState State() const { return state_; }
  const String& DestPath() const { return dest_path_; }
  const String& Params() const { return params_; }
  TRuxIniFile& Options() { return options_; }
  StringList& Errors() { return errors_; }
  TSetupProductInfo& ProductInfo() { return *product_info_; }
  TSetupResources& Resources() { return *resources_; }
  TSetupExtractHelper& ExtractHelper() { return *extract_helper_; }
  TSetupThread* Thread() { return thread_.get(); }
  // The message-only window of the main thread that notifications are sent to.
  TWindowId Handle() const { return handle_->Id(); }

  void ParseCommandLine(StringView params);
  void SetDestPath(StringView path);
  bool HasOption(int bit) const;
  void SetOption(int bit, bool value);
  void SetOptions(TSetupFlags flags);
  bool ValidateFlags();
  bool IsInProgramFiles() const;
  bool HasErrors() const { return !errors_.empty(); }

  // --- The run.
  void Start(bool wait);
  // Stops the worker: tells it to terminate and waits for its end while dispatching its
  // notifications. Called from inside a notification (where the worker waits for the caller)
  // it cannot wait: it only tells the worker to stop, which then ends by itself with
  // ncFinished once the notification has returned.
  void Cancel();
  void RunActions();

  // --- The run's log, and what the end of the run has to know.
  // The log of the run ("/LOG"), or one that writes nothing; the entry sets it.
  TSetupLog& Log() { return log_ ? *log_ : no_log_; }
  void SetLog(TSetupLog* log) { log_ = log; }
  // The program file of the instance that waits for this run's result (the uninstaller in the
  // product folder, see TUninstallerCaller), or empty. While that instance runs its file cannot
  // be deleted; the entry finishes the deletion once it has ended.
  const String& CallerProgram() const { return caller_program_; }
  void SetCallerProgram(String path) { caller_program_ = std::move(path); }
  // From any thread (DeleteFileOrDefer): `path` could not be deleted and was moved aside to
  // `aside`, which goes at the next restart.
  void NoteDeferredDeletion(StringView path, StringView aside);
  // A file of the run other than the caller's program waits for the next restart.
  bool RestartNeeded();
  // Where the run moved the caller's program aside to; empty when it did not.
  String CallerProgramAside();
  // The run ended because a program of the product did not close (the worker notes it).
  bool ProductStillRunning() const { return product_still_running_.load(); }
  void NoteProductStillRunning() { product_still_running_.store(true); }

  // --- Notifications.
  void AddListener(IInstallerNotify* listener);
  void RemoveListener(IInstallerNotify* listener);
  // From any thread: blocking sends to the main thread's message window.
  void Notify(uint32_t code, int64_t param);
  void NotifyText(uint32_t code, StringView text);
  // Main thread: dispatches one notification to the listeners, last registered first.
  void DoNotify(uint32_t code, const TNotifyParam& param);

 private:
  // Makes the object Setup() for exactly its lifetime, including a constructor that fails.
  class TRegistration {
   public:
    explicit TRegistration(TSetup* setup);
    ~TRegistration();
    TRegistration(const TRegistration&) = delete;
    TRegistration& operator=(const TRegistration&) = delete;
  };
  class TRunContext;

  int64_t WndProc(const TChannelMessage& message);
  String NormalizeDestPath(StringView path) const;

  // First member: registered before anything else is built, unregistered after all is gone.
  TRegistration registration_;
  String params_;
  TSetupMode mode_ = smInstall;
  TSetupFlags flags_ = 0;
  TSetupState state_ = ssIdle;
  String dest_path_;
  TRuxIniFile options_;
  StringList errors_;
  TSetupLog no_log_;
  TSetupLog* log_ = nullptr;
  String caller_program_;
  std::mutex deferred_lock_;
  std::vector<std::pair<String, String>> deferred_;  // (path, where it was moved aside to)
  std::atomic<bool> product_still_running_{false};
  std::recursive_mutex lock_;
  std::vector<IInstallerNotify*> listeners_;
  std::unique_ptr<TSetupProductInfo> product_info_;
  std::unique_ptr<TRunContext> run_context_;
  std::unique_ptr<TSetupResources> resources_;
  std::unique_ptr<TSetupExtractHelper> extract_helper_;
  std::unique_ptr<TMessageWindow> handle_;
  std::unique_ptr<TSetupThread> thread_;
};

// The process-wide setup object, or nullptr when none exists.
TSetup* Setup();

}  // namespace nolu
