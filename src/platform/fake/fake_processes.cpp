#include "platform/fake/fake_processes.h"

#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"

namespace nolu {
namespace {

class TFakeProcess : public TProcess, public TFakeWaitable {
 public:
  TFakeProcess(std::shared_ptr<TFakeHub> hub, std::shared_ptr<TFakeSignalState> state, uint32_t id)
      : TFakeWaitable(std::move(hub), std::move(state)), id_(id) {}

  bool Wait(uint32_t timeout_ms) override { return WaitSignal(timeout_ms); }
  uint32_t Id() override { return id_; }
  bool ExitCode(uint32_t& code) override {
    std::lock_guard lock(Hub().mutex);
    if (!state_->signaled) return false;
    code = state_->exit_code;
    return true;
  }

 private:
  uint32_t id_;
};

}  // namespace

TFakeProcesses::TFakeProcesses(IFileSystem& files, std::shared_ptr<TFakeHub> hub)
    : files_(files), hub_(std::move(hub)) {}

TFakeProcesses::~TFakeProcesses() {
  WaitForPrograms();
}

void TFakeProcesses::SplitCommandLine(StringView command_line, String& file, String& parameters) {
  StringView rest = command_line;
  while (!rest.empty() && rest[0] == u' ')
    rest.remove_prefix(1);
  size_t end;
  if (!rest.empty() && rest[0] == u'"') {
    end = rest.find(u'"', 1);
    file = String(rest.substr(1, end == StringView::npos ? StringView::npos : end - 1));
    end = end == StringView::npos ? rest.size() : end + 1;
  } else {
    end = std::min(rest.find(u' '), rest.size());
    file = String(rest.substr(0, end));
  }
  rest.remove_prefix(end);
  while (!rest.empty() && rest[0] == u' ')
    rest.remove_prefix(1);
  parameters = String(rest);
}

template <typename T>
const T* TFakeProcesses::Match(const std::vector<std::pair<String, T>>& table, StringView path) {
  for (const auto& [key, value] : table) {
    if (EqualsIgnoreCase(key, path)) return &value;
  }
  for (const auto& [key, value] : table) {
    if (ExtractFilePath(key).empty() && EqualsIgnoreCase(key, ExtractFileName(path))) {
      return &value;
    }
  }
  return nullptr;
}

TStartResult TFakeProcesses::Launch(TFakeLaunch launch, uint32_t refusal) {
  TStartResult result;
  FakeProgram program;
  {
    std::lock_guard lock(mutex_);
    const uint32_t* failure = refusal ? &refusal : Match(start_failures_, launch.File);
    if (failure) {
      launches_.push_back(launch);
      result.Error = *failure;
      return result;
    }
    if (const FakeProgram* found = Match(programs_, launch.File)) program = *found;
    if (program || files_.FileExists(launch.File)) launch.ProcessId = next_process_id_ += 4;
    launches_.push_back(launch);
  }
  if (!launch.ProcessId) {
    result.Error = kErrorFileNotFound;
    return result;
  }
  auto state = std::make_shared<TFakeSignalState>();
  result.Process = std::make_unique<TFakeProcess>(hub_, state, launch.ProcessId);
  if (!program) {
    TFakeWaitable::Signal(*hub_, *state, true);
    return result;
  }
  std::lock_guard lock(mutex_);
  running_.emplace_back([hub = hub_, state, program, launch] {
    uint32_t code = 0;
    try {
      code = program(launch);
    } catch (...) {
      code = 0xE0000001;  // a program that throws "crashes"
    }
    {
      std::lock_guard hub_lock(hub->mutex);
      state->exit_code = code;
    }
    TFakeWaitable::Signal(*hub, *state, true);
  });
  return result;
}

TStartResult TFakeProcesses::StartProcess(StringView command_line, int show, StringView folder) {
  TFakeLaunch launch;
  launch.How = TFakeLaunch::Via::kStartProcess;
  launch.CommandLine = String(command_line);
  SplitCommandLine(command_line, launch.File, launch.Parameters);
  launch.Folder = String(folder);
  launch.Show = show;
  return Launch(std::move(launch));
}

uint32_t TFakeProcesses::CallLibraryExport(StringView library, std::string_view name) {
  std::function<uint32_t(std::string_view)> on_call;
  {
    std::lock_guard lock(mutex_);
    if (auto* found = Match(libraries_, library)) on_call = *found;
  }
  uint32_t result = kErrorSuccess;
  if (on_call) {
    result = on_call(name);
  } else if (!files_.FileExists(library)) {
    result = kErrorModNotFound;
  }
  std::lock_guard lock(mutex_);
  export_calls_.push_back({String(library), std::string(name), result});
  return result;
}

void TFakeProcesses::SetProgram(StringView path, FakeProgram program) {
  std::lock_guard lock(mutex_);
  programs_.emplace_back(String(path), std::move(program));
}

void TFakeProcesses::FailStart(StringView path, uint32_t error) {
  std::lock_guard lock(mutex_);
  start_failures_.emplace_back(String(path), error);
}

void TFakeProcesses::SetLibrary(StringView path,
                                std::function<uint32_t(std::string_view)> on_call) {
  std::lock_guard lock(mutex_);
  libraries_.emplace_back(String(path), std::move(on_call));
}

std::vector<TFakeLaunch> TFakeProcesses::Launches() {
  std::lock_guard lock(mutex_);
  return launches_;
}

std::vector<TFakeExportCall> TFakeProcesses::ExportCalls() {
  std::lock_guard lock(mutex_);
  return export_calls_;
}

void TFakeProcesses::WaitForPrograms() {
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    threads.swap(running_);
  }
  for (std::thread& t : threads)
    t.join();
}

}  // namespace nolu
