#include "core/setup_spawn_service.h"

#include <memory>
#include <mutex>

#include "base/errors.h"
#include "base/locale.h"
#include "platform/platform.h"

namespace nolu {
namespace {

struct TSpawnState {
  std::mutex mutex;
  bool initialized = false;
  bool remote = false;
  TWindowId window;
  std::unique_ptr<TMessageWindow> own_window;
  uint32_t token = 0;
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

// The request handler of our own window.
int64_t HandleRequest(const TChannelMessage& message) {
  if (message.MessageKind == TChannelMessage::Kind::kText && message.Code != 0 &&
      message.Code == TSetupSpawnService::SpawnToken()) {
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
  }
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
    uint32_t error = 0;
    platform.Messages().SendText(Window(), SpawnToken(), path, TWindowId{}, &error);
    if (error == 0) return;
    // The instance that waited for us is gone: start the path through the desktop's shell
    // instead, which still runs it as the desktop user.
  }
  if (!platform.System().OsVersion().AtLeast(6, 0) || IsAddress(path)) {
    ShellOpenText(path);
    return;
  }
  // The shell's own process runs with the user's ordinary rights; the path is quoted so
  // that it stays its one parameter. Wine has no "Explorer.exe", only "Explorer".
  const String explorer = platform.System().IsWine() ? u"Explorer" : u"Explorer.exe";
  String parameter(path);
  if (parameter.find(u' ') != String::npos && !StartsWith(parameter, u"\"")) {
    parameter = u"\"" + parameter + u"\"";
  }
  platform.Shell().ShellOpen(u"", explorer, parameter, u"", kSwShowNormal);
}

}  // namespace nolu
