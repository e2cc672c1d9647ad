// TSetupSpawnService: starts programs, documents and links as the ordinary desktop user,
// although the setup itself runs elevated.
//
// The non-elevated instance that restarted the setup elevated keeps a message window (local
// mode) and passes its id on the command line ("/SKIPUAC=<id>"); the elevated instance then
// sends it each path to open (remote mode): a WM_COPYDATA whose identifier is the registered
// message "SpawnToken", the path in UTF-16 without terminating zero, word parameter 0. Without
// such a window the desktop's own shell process is asked to open the path.
//
// The service is one per process, as the protocol between the two instances is: initialized
// once at start-up and finalized at program end (which destroys a window it created).
#pragma once

#include "base/text.h"
#include "platform/desktop_windows.h"

namespace nolu {

class TSetupSpawnService {
 public:
  // Without a window (none): creates the local window "TSetupSpawnService" on the main thread,
  // which serves requests while that thread dispatches. With one: sends requests there.
  // A second call raises "SpawnService is already initialized".
  static void Initialize(TWindowId window = {});
  // Starts `path` as the desktop user; failures are silent.
  static void Spawn(StringView path);
  // Destroys a window of our own and forgets everything; Initialize may be called again.
  static void Finalize();

  static bool IsInitialized();
  // The spawn window: our own (local) or the other instance's (remote); none before
  // Initialize.
  static TWindowId Window();
  static bool IsRemote();
  // The registered message number of "SpawnToken"; 0 before Initialize.
  static uint32_t SpawnToken();

  // The shell opening of this service: an address ("scheme://", "mailto:") goes to the web
  // browser ("winebrowser" under Wine), anything else is opened with the default verb.
  static void ShellOpenText(StringView text);
  static bool IsAddress(StringView text);
};

}  // namespace nolu
