#include "platform/logging/logging_platform.h"

#include <atomic>

#include "platform/error_codes.h"

namespace nolu {
namespace {

// What the log says of a call: nothing more on success, the code and its text on failure.
class TOutcome {
 public:
  TOutcome(ISystem& system, TTextLog& log) : system_(system), log_(log) {}

  uint32_t Record(StringView what, uint32_t error) {
    if (error == kErrorSuccess) {
      log_.Line(what);
    } else {
      log_.Line(String(what) + u": failed, error " + IntToStr(error) + u" (" +
                system_.SysErrorMessage(error) + u")");
    }
    return error;
  }
  TTextLog& Log() { return log_; }

 private:
  ISystem& system_;
  TTextLog& log_;
};

String KeyText(const TRegKey& key) {
  const char16_t* root = key.Root == RegRoot::kLocalMachine  ? u"HKLM"
                         : key.Root == RegRoot::kCurrentUser ? u"HKCU"
                                                             : u"HKU";
  const char16_t* view = key.View == RegView::k32   ? u" (32-bit view)"
                         : key.View == RegView::k64 ? u" (64-bit view)"
                                                    : u"";
  return String(root) + u"\\" + key.Path + view;
}

String ValueText(const TRegValue& value) {
  switch (value.Type) {
    case kRegSz:
      return u"\"" + value.AsString() + u"\" (REG_SZ)";
    case kRegExpandSz:
      return u"\"" + value.AsString() + u"\" (REG_EXPAND_SZ)";
    case kRegDword:
      return IntToStr(value.AsDword()) + u" (REG_DWORD)";
    default:
      return IntToStr(static_cast<int64_t>(value.Data.size())) + u" bytes of type " +
             IntToStr(value.Type);
  }
}

// A started program. Its end is recorded once, when a wait or a query first sees it, or at
// the latest when the handle is closed.
class TLoggedProcess : public TProcess {
 public:
  TLoggedProcess(std::unique_ptr<TProcess> inner, TTextLog& log, String program)
      : inner_(std::move(inner)), log_(log), program_(std::move(program)) {}
  ~TLoggedProcess() override {
    uint32_t code = 0;
    if (inner_->ExitCode(code)) NoteEnded(code);
  }

  bool Wait(uint32_t timeout_ms) override {
    const bool ended = inner_->Wait(timeout_ms);
    if (ended) NoteEnded();
    return ended;
  }
  bool ExitCode(uint32_t& code) override {
    if (!inner_->ExitCode(code)) return false;
    NoteEnded(code);
    return true;
  }

  TProcess& Inner() { return *inner_; }
  void NoteEnded() {
    uint32_t code = 0;
    if (inner_->ExitCode(code)) NoteEnded(code);
  }

 private:
  void NoteEnded(uint32_t code) {
    if (noted_.exchange(true)) return;
    log_.Line(u"Ended with exit code " + IntToStr(code) + u": " + program_);
  }

  std::unique_ptr<TProcess> inner_;
  TTextLog& log_;
  String program_;
  std::atomic<bool> noted_{false};
};

TStartResult Logged(TStartResult started, TOutcome& outcome, const String& program) {
  outcome.Record(u"Start " + program, started.Process ? kErrorSuccess : started.Error);
  if (started.Process) {
    started.Process =
        std::make_unique<TLoggedProcess>(std::move(started.Process), outcome.Log(), program);
  }
  return started;
}

class TLoggedFileSystem : public IFileSystem {
 public:
  TLoggedFileSystem(IFileSystem& inner, TOutcome& outcome) : inner_(inner), outcome_(outcome) {}

  uint32_t Attributes(StringView path) override { return inner_.Attributes(path); }
  uint32_t ListFolder(StringView folder, std::vector<TFileEntry>& entries) override {
    return inner_.ListFolder(folder, entries);
  }
  TOpenResult OpenFile(StringView path, FileMode mode) override {
    TOpenResult opened = inner_.OpenFile(path, mode);
    if (mode != FileMode::kOpenRead) outcome_.Record(u"Write " + String(path), opened.Error);
    return opened;
  }
  uint32_t SetAttributes(StringView path, uint32_t attributes) override {
    return inner_.SetAttributes(path, attributes);
  }
  uint32_t Delete(StringView path) override {
    return outcome_.Record(u"Delete " + String(path), inner_.Delete(path));
  }
  uint32_t Copy(StringView source, StringView target, bool fail_if_exists) override {
    return outcome_.Record(u"Copy " + String(source) + u" -> " + String(target),
                           inner_.Copy(source, target, fail_if_exists));
  }
  uint32_t Move(StringView source, StringView target) override {
    return outcome_.Record(u"Move " + String(source) + u" -> " + String(target),
                           inner_.Move(source, target));
  }
  uint32_t MoveOnReboot(StringView source, StringView target) override {
    const String what =
        target.empty() ? u"Delete at the next restart " + String(source)
                       : u"Move at the next restart " + String(source) + u" -> " + String(target);
    return outcome_.Record(what, inner_.MoveOnReboot(source, target));
  }
  uint32_t CreateFolder(StringView path) override {
    return outcome_.Record(u"Create folder " + String(path), inner_.CreateFolder(path));
  }
  uint32_t RemoveFolder(StringView path) override {
    return outcome_.Record(u"Remove folder " + String(path), inner_.RemoveFolder(path));
  }
  String TempFolder() override { return inner_.TempFolder(); }
  uint32_t TempFileName(StringView folder, StringView prefix, String& path) override {
    const uint32_t error = inner_.TempFileName(folder, prefix, path);
    return outcome_.Record(u"Create temporary file " + (error ? String(folder) : path), error);
  }
  uint32_t FullPathName(StringView path, String& full) override {
    return inner_.FullPathName(path, full);
  }
  uint32_t LongPathName(StringView path, String& long_path) override {
    return inner_.LongPathName(path, long_path);
  }
  String CurrentFolder() override { return inner_.CurrentFolder(); }
  uint32_t SetCurrentFolder(StringView path) override { return inner_.SetCurrentFolder(path); }

 private:
  IFileSystem& inner_;
  TOutcome& outcome_;
};

class TLoggedRegistry : public IRegistry {
 public:
  TLoggedRegistry(IRegistry& inner, TOutcome& outcome) : inner_(inner), outcome_(outcome) {}

  bool KeyExists(const TRegKey& key) override { return inner_.KeyExists(key); }
  uint32_t CreateKey(const TRegKey& key) override {
    return outcome_.Record(u"Registry: create key " + KeyText(key), inner_.CreateKey(key));
  }
  uint32_t DeleteKey(const TRegKey& key) override {
    return outcome_.Record(u"Registry: delete key " + KeyText(key), inner_.DeleteKey(key));
  }
  uint32_t EnumSubKeys(const TRegKey& key, StringList& names) override {
    return inner_.EnumSubKeys(key, names);
  }
  uint32_t EnumValueNames(const TRegKey& key, StringList& names) override {
    return inner_.EnumValueNames(key, names);
  }
  uint32_t ReadValue(const TRegKey& key, StringView name, TRegValue& value) override {
    return inner_.ReadValue(key, name, value);
  }
  uint32_t WriteValue(const TRegKey& key, StringView name, const TRegValue& value) override {
    return outcome_.Record(
        u"Registry: write " + KeyText(key) + u" \"" + String(name) + u"\" = " + ValueText(value),
        inner_.WriteValue(key, name, value));
  }
  uint32_t DeleteValue(const TRegKey& key, StringView name) override {
    return outcome_.Record(u"Registry: delete " + KeyText(key) + u" \"" + String(name) + u"\"",
                           inner_.DeleteValue(key, name));
  }

 private:
  IRegistry& inner_;
  TOutcome& outcome_;
};

class TLoggedShell : public IShell {
 public:
  TLoggedShell(IShell& inner, TOutcome& outcome) : inner_(inner), outcome_(outcome) {}

  bool SpecialFolder(Csidl folder, String& path) override {
    return inner_.SpecialFolder(folder, path);
  }
  TStartResult Execute(const TShellExecuteInfo& info) override {
    const String verb = info.Verb.empty() ? String() : u"(" + info.Verb + u") ";
    return Logged(inner_.Execute(info), outcome_,
                  verb + u"\"" + info.File + u"\" " + info.Parameters);
  }
  uint32_t ShellOpen(StringView verb, StringView file, StringView parameters, StringView folder,
                     int show) override {
    return outcome_.Record(u"Open \"" + String(file) + u"\" " + String(parameters),
                           inner_.ShellOpen(verb, file, parameters, folder, show));
  }
  uint32_t CreateShellLink(StringView link_path, const TShellLink& link) override {
    return outcome_.Record(u"Write shortcut " + String(link_path) + u" -> " + link.Target,
                           inner_.CreateShellLink(link_path, link));
  }
  uint32_t ReadShellLink(StringView link_path, TShellLink& link) override {
    return inner_.ReadShellLink(link_path, link);
  }
  void ChangeNotify(uint32_t event, uint32_t flags) override {
    inner_.ChangeNotify(event, flags);
    outcome_.Log().Line(event == kShcneAssocChanged
                            ? String(u"Shell told: file associations changed")
                            : u"Shell told: change " + IntToStr(event));
  }

 private:
  IShell& inner_;
  TOutcome& outcome_;
};

class TLoggedProcesses : public IProcesses {
 public:
  TLoggedProcesses(IProcesses& inner, TOutcome& outcome) : inner_(inner), outcome_(outcome) {}

  TStartResult StartProcess(StringView command_line, int show, StringView folder) override {
    return Logged(inner_.StartProcess(command_line, show, folder), outcome_, String(command_line));
  }
  uint32_t CallLibraryExport(StringView library, std::string_view name) override {
    return outcome_.Record(u"Call " + AsciiToString(name) + u" of " + String(library),
                           inner_.CallLibraryExport(library, name));
  }

 private:
  IProcesses& inner_;
  TOutcome& outcome_;
};

// The other platform's channel; only a wait for a process started here needs unwrapping.
class TLoggedMessages : public IMessageChannel {
 public:
  explicit TLoggedMessages(IMessageChannel& inner) : inner_(inner) {}

  std::unique_ptr<TMessageWindow> CreateMessageWindow(StringView class_name,
                                                      MessageHandler handler) override {
    return inner_.CreateMessageWindow(class_name, std::move(handler));
  }
  int64_t SendValue(TWindowId window, uint32_t code, int64_t param, uint32_t* error) override {
    return inner_.SendValue(window, code, param, error);
  }
  int64_t SendText(TWindowId window, uint64_t code, StringView text, TWindowId sender,
                   uint32_t* error) override {
    return inner_.SendText(window, code, text, sender, error);
  }
  void Synchronize(const std::function<void()>& fn) override { inner_.Synchronize(fn); }
  bool WaitDispatching(IWaitable& object, uint32_t timeout_ms) override {
    auto* process = dynamic_cast<TLoggedProcess*>(&object);
    if (!process) return inner_.WaitDispatching(object, timeout_ms);
    const bool ended = inner_.WaitDispatching(process->Inner(), timeout_ms);
    if (ended) process->NoteEnded();
    return ended;
  }
  void DispatchPending() override { inner_.DispatchPending(); }
  std::unique_ptr<TEvent> NewEvent() override { return inner_.NewEvent(); }
  bool IsMainThread() override { return inner_.IsMainThread(); }
  bool ServesBlockedSender() override { return inner_.ServesBlockedSender(); }

 private:
  IMessageChannel& inner_;
};

}  // namespace

struct TLoggingPlatform::Services {
  Services(TPlatform& inner, TTextLog& log)
      : outcome(inner.System(), log),
        files(inner.Files(), outcome),
        registry(inner.Registry(), outcome),
        shell(inner.Shell(), outcome),
        processes(inner.Processes(), outcome),
        messages(inner.Messages()) {}

  TOutcome outcome;
  TLoggedFileSystem files;
  TLoggedRegistry registry;
  TLoggedShell shell;
  TLoggedProcesses processes;
  TLoggedMessages messages;
};

TLoggingPlatform::TLoggingPlatform(TPlatform& inner, TTextLog& log)
    : inner_(inner), services_(std::make_unique<Services>(inner, log)) {}

TLoggingPlatform::~TLoggingPlatform() = default;

IFileSystem& TLoggingPlatform::Files() {
  return services_->files;
}
IRegistry& TLoggingPlatform::Registry() {
  return services_->registry;
}
IShell& TLoggingPlatform::Shell() {
  return services_->shell;
}
IProcesses& TLoggingPlatform::Processes() {
  return services_->processes;
}
IMessageChannel& TLoggingPlatform::Messages() {
  return services_->messages;
}

}  // namespace nolu
