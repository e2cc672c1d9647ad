// ISystem: facts about the running system and process, time, and identifiers.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/guid.h"

namespace nolu {

struct TOsVersion {
  uint32_t Major = 0;
  uint32_t Minor = 0;
  uint32_t Build = 0;

  // True for this version or a later one: AtLeast(6, 2) is "Windows 8 or later".
  bool AtLeast(uint32_t major, uint32_t minor) const {
    return Major > major || (Major == major && Minor >= minor);
  }
};

// A local date and time (SYSTEMTIME without the day of the week).
struct TDateTime {
  uint16_t Year = 0;
  uint16_t Month = 0;  // 1..12
  uint16_t Day = 0;    // 1..31
  uint16_t Hour = 0;
  uint16_t Minute = 0;
  uint16_t Second = 0;
  uint16_t Milliseconds = 0;

  friend bool operator==(const TDateTime&, const TDateTime&) = default;
};

class ISystem {
 public:
  virtual ~ISystem() = default;

  // The real version of the running system (not the compatibility-shimmed one).
  virtual TOsVersion OsVersion() = 0;
  // The shell's administrator test (IsUserAnAdmin).
  virtual bool IsUserAnAdmin() = 0;
  // The user's default interface language (GetUserDefaultUILanguage), a full LANGID such as
  // 1033 (English, United States) or 1031 (German, Germany).
  virtual uint16_t UserDefaultUILanguage() = 0;
  // The system's message for an error code (FormatMessageW), without the final line break;
  // a code without message gives a text that names the code.
  virtual String SysErrorMessage(uint32_t code) = 0;
  // The current local time.
  virtual TDateTime LocalTime() = 0;
  // The raw command line of the process (GetCommandLineW), program name included.
  virtual String CommandLine() = 0;
  // The full path of the running program.
  virtual String ModuleFileName() = 0;
  // True when the program runs under Wine, whose behaviour differs in a few documented ways
  // (for example it has no "Explorer.exe" to open programs with).
  virtual bool IsWine() = 0;
  // A new random GUID (UuidCreate).
  virtual TGuid CreateGuid() = 0;
  // Expands "%NAME%" environment references (ExpandEnvironmentStringsW); unknown names stay.
  virtual String ExpandEnvironmentText(StringView text) = 0;
  // Pauses the calling thread. The fake returns at once and advances its clock instead.
  virtual void Sleep(uint32_t milliseconds) = 0;
  // Milliseconds since the system started (GetTickCount64), for measuring how long something
  // takes: it never goes back, unlike the local time. The fake's clock moves only when its
  // Sleep or a wait it plays out advances it.
  virtual uint64_t TickCount() = 0;
  // The identifier of the running process (GetCurrentProcessId).
  virtual uint32_t ProcessId() = 0;
};

}  // namespace nolu
