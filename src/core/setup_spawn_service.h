// TSetupSpawnService: starts programs, documents and links as the ordinary desktop user,
// although the setup itself runs elevated.
//
// The non-elevated instance that restarted the setup elevated keeps a message window (local
// mode) and passes its id on the command line ("/SKIPUAC=<id>"); the elevated instance then
// sends it each path to open (remote mode): a WM_COPYDATA whose identifier is the registered
// message "SpawnToken", the path in UTF-16 without terminating zero, and as word parameter a
// message window of the elevated instance's own. Without such a window the desktop's own shell
// process is asked to open the path.
//
// Any program on the desktop can send messages to the local window, so it serves only
// requests that name a window of the process it started (ServeRequestsFrom), and none before.
// A window message carries no proof of its sender: a program of the same user could name the
// elevated instance's window, but such a program can start whatever it likes as that user
// anyway, and programs of lower integrity cannot send to the window at all. The elevated
// instance waits at most kRequestTimeout for an answer: a hung instance must not hold it.
//
// The service is one per process, as the protocol between the two instances is: initialized
// once at start-up and finalized at program end (which destroys a window it created).
#pragma once

#include "base/text.h"
#include "platform/desktop_windows.h"

namespace nolu {

class TSetupSpawnService {
 public:
  static constexpr uint32_t kRequestTimeout = 30000;

  // Without a window (none): creates the local window "TSetupSpawnService" on the main thread,
  // which serves requests while that thread dispatches. With one: sends requests there, naming
  // a message window "TSetupSpawnClient" of its own as the sender. A second call raises
  // "SpawnService is already initialized". Main thread only.
  static void Initialize(TWindowId window = {});
  // The local window serves from now on the requests of the process `process_id` (the
  // elevated instance), and only those.
  static void ServeRequestsFrom(uint32_t process_id);
  // Starts `path` as the desktop user; failures are silent. The remote window gets
  // kRequestTimeout to answer; only a window that is gone makes the path go the local way
  // (a slow one may still start it, and it must not start twice).
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
