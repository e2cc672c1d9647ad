// IMessageBox: the system's message box, for questions and the final error box.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace nolu {

// Style flags (MB_*) and results (ID*), with the values of the Windows API.
inline constexpr uint32_t kMbOk = 0x0;
inline constexpr uint32_t kMbOkCancel = 0x1;
inline constexpr uint32_t kMbAbortRetryIgnore = 0x2;
inline constexpr uint32_t kMbYesNo = 0x4;
inline constexpr uint32_t kMbIconError = 0x10;
inline constexpr uint32_t kMbIconQuestion = 0x20;
inline constexpr uint32_t kMbIconWarning = 0x30;
inline constexpr uint32_t kMbIconInformation = 0x40;
inline constexpr uint32_t kMbDefButton2 = 0x100;

inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  // Shows a modal message box owned by the calling thread's active window and returns the
  // button pressed (kIdOk, kIdRetry, ...). Call it on the main thread (workers go through
  // IMessageChannel::Synchronize).
  virtual int ShowMessageBox(StringView text, StringView caption, uint32_t style) = 0;
};

}  // namespace nolu
