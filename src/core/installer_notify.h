// The notification channel between the worker and the user interface: codes and listeners.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace nolu {

// Notification codes, stable values (code 3 is not used).
enum TNotifyCode : uint32_t {
  ncFinished = 1,         // the worker's last word; Param 1 when it was told to terminate
  ncProgress = 2,         // Param: overall progress << 16 | current action's progress
  ncStatusText = 4,       // Param: the text (see TNotifyParam)
  ncNavigation = 5,       // a page's state changed; Param 0
  ncProgressRefresh = 6,  // right after every ncProgress; Param 0
};

// What a listener receives: the integer parameter, or for ncStatusText the text, valid only
// during the call.
struct TNotifyParam {
  int64_t Value = 0;
  const String* Text = nullptr;
};

// Receives notifications on the main thread, from the last registered listener to the first.
class IInstallerNotify {
 public:
  virtual ~IInstallerNotify() = default;
  virtual void Notify(uint32_t code, const TNotifyParam& param) = 0;
};

}  // namespace nolu
