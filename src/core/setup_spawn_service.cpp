#include "core/setup_spawn_service.h"

#include <memory>
#include <mutex>

#include "base/errors.h"
#include "base/locale.h"
#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {
namespace {

struct TSpawnState {
  std::mutex mutex;
  bool initialized = false;
  bool remote = false;
  TWindowId window;
  // Local mode: the window that serves requests; remote mode: the one that names us as
  // sender.
  std::unique_ptr<TMessageWindow> own_window;
  uint32_t token = 0;
  uint32_t served_process = 0;
};

TSpawnState& State() {
  static TSpawnState state;
  return state;
}

bool IsSchemeChar(Char c, bool first) {
  const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
  if (first) return letter;
  return letter || (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

bool FromServedProcess(const TChannelMessage& message) {
  uint32_t served = 0;
  {
    std::lock_guard lock(State().mutex);
    served = State().served_process;
  }
  return served != 0 && message.Sender &&
         CurrentPlatform().Windows().WindowProcessId(message.Sender) == served;
}

// The request handler of our own window.
int64_t HandleRequest(const TChannelMessage& message) {
  if (message.MessageKind == TChannelMessage::Kind::kText && message.Code != 0 &&
      message.Code == TSetupSpawnService::SpawnToken() && FromServedProcess(message)) {
    TSetupSpawnService::ShellOpenText(message.Text);
  }
  return 0;
}

}  // namespace

bool TSetupSpawnService::IsAddress(StringView text) {
  if (text.size() >= 7 && EqualsIgnoreCase(text.substr(0, 7), u"mailto:")) return true;
  const size_t colon = text.find(u"://");
  // A scheme has at least two characters, so "C://x" is a drive, not an address.
  if (colon == StringView::npos || colon < 2) return false;
  for (size_t i = 0; i < colon; ++i) {
    if (!IsSchemeChar(text[i], i == 0)) return false;
  }
  return true;
}

void TSetupSpawnService::ShellOpenText(StringView text) {
  TPlatform& platform = CurrentPlatform();
  if (IsAddress(text) && platform.System().IsWine()) {
    platform.Shell().ShellOpen(u"", u"winebrowser", text, u"", kSwShowNormal);
  } else {
    // An address is opened by the shell with the user's web browser.
    platform.Shell().ShellOpen(u"", text, u"", u"", kSwShowNormal);
  }
}

void TSetupSpawnService::Initialize(TWindowId window) {
  TSpawnState& state = State();
  std::lock_guard lock(state.mutex);
  if (state.initialized) throw Exception(u"SpawnService is already initialized");
  TPlatform& platform = CurrentPlatform();
  if (window) {
    state.window = window;
    state.remote = true;
    state.own_window = platform.Messages().CreateMessageWindow(
        u"TSetupSpawnClient", [](const TChannelMessage&) -> int64_t { return 0; });
  } else {
    state.own_window =
        platform.Messages().CreateMessageWindow(u"TSetupSpawnService", &HandleRequest);
    state.window = state.own_window->Id();
    state.remote = false;
  }
  state.token = platform.Windows().RegisterMessage(u"SpawnToken");
  state.initialized = true;
}

void TSetupSpawnService::Finalize() {
  TSpawnState& state = State();
  std::unique_ptr<TMessageWindow> own;
  {
    std::lock_guard lock(state.mutex);
    own = std::move(state.own_window);
    state.initialized = false;
    state.remote = false;
    state.window = {};
    state.token = 0;
    state.served_process = 0;
  }
}

void TSetupSpawnService::ServeRequestsFrom(uint32_t process_id) {
  std::lock_guard lock(State().mutex);
  State().served_process = process_id;
}

bool TSetupSpawnService::IsInitialized() {
  std::lock_guard lock(State().mutex);
  return State().initialized;
}

TWindowId TSetupSpawnService::Window() {
  std::lock_guard lock(State().mutex);
  return State().window;
}

bool TSetupSpawnService::IsRemote() {
  std::lock_guard lock(State().mutex);
  return State().remote;
}

uint32_t TSetupSpawnService::SpawnToken() {
  std::lock_guard lock(State().mutex);
  return State().token;
}

void TSetupSpawnService::Spawn(StringView path) {
  TPlatform& platform = CurrentPlatform();
  if (IsRemote()) {
    TWindowId sender;
    {
      std::lock_guard lock(State().mutex);
      if (State().own_window) sender = State().own_window->Id();
    }
    uint32_t error = 0;
    platform.Messages().SendText(Window(), SpawnToken(), path, sender, &error, kRequestTimeout);
    // Only when the instance that waited for us is gone does the desktop's shell start the
    // path instead, which still runs it as the desktop user.
    if (error != kErrorInvalidWindowHandle) return;
  }
  if (!platform.System().OsVersion().AtLeast(6, 0) || IsAddress(path)) {
    ShellOpenText(path);
    return;
  }
  // The shell's own process runs with the user's ordinary rights. It is named by its full
  // path and started in the system folder: a bare name would be looked for in the current
  // folder first, which is often the downloads folder. Wine's is named without ".exe". The
  // path is quoted so that it stays its one parameter.
  IShell& shell = platform.Shell();
  String windows, system;
  if (!shell.SpecialFolder(Csidl::kWindows, windows) ||
      !shell.SpecialFolder(Csidl::kSystem, system)) {
    return;
  }
  const String explorer = IncludeTrailingBackslash(windows) +
                          (platform.System().IsWine() ? u"Explorer" : u"Explorer.exe");
  String parameter(path);
  if (parameter.find(u' ') != String::npos && !StartsWith(parameter, u"\"")) {
    parameter = u"\"" + parameter + u"\"";
  }
  shell.ShellOpen(u"", explorer, parameter, system, kSwShowNormal);
}

}  // namespace nolu
