// Things the main thread can wait for while it keeps serving the worker: a started process,
// an event that a worker thread sets when it ends.
//
// The objects are opaque: the Win32 implementation wraps a kernel handle, the fake a flag
// under a condition variable. IMessageChannel::WaitDispatching accepts only waitables of the
// same platform instance that created them.
#pragma once

#include <cstdint>

namespace nolu {

inline constexpr uint32_t kInfinite = 0xFFFFFFFF;

class IWaitable {
 public:
  virtual ~IWaitable() = default;
  // Blocks the calling thread without dispatching anything; true when the object is
  // signalled within `timeout_ms` (kInfinite: no limit). Use it on worker threads only: the
  // main thread waits through IMessageChannel::WaitDispatching.
  virtual bool Wait(uint32_t timeout_ms) = 0;
  bool IsSignaled() { return Wait(0); }
};

// A manual-reset event, created unsignalled. Any thread may set it.
class TEvent : public IWaitable {
 public:
  virtual void Set() = 0;
  virtual void Reset() = 0;
};

}  // namespace nolu
