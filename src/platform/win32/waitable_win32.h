// The kernel handle behind a Win32 waitable, so that the message channel can wait for it
// together with the thread's sent messages (MsgWaitForMultipleObjectsEx).
#pragma once

#include <windows.h>

#include "platform/processes.h"
#include "platform/waitable.h"
#include "platform/win32/handles.h"

namespace nolu {

class TWin32Waitable {
 public:
  virtual ~TWin32Waitable() = default;
  virtual HANDLE WaitHandle() const = 0;
};

class TWin32Event : public TEvent, public TWin32Waitable {
 public:
  TWin32Event() : handle_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  bool Wait(uint32_t timeout_ms) override {
    return ::WaitForSingleObject(handle_.Get(), timeout_ms) == WAIT_OBJECT_0;
  }
  void Set() override { ::SetEvent(handle_.Get()); }
  void Reset() override { ::ResetEvent(handle_.Get()); }
  HANDLE WaitHandle() const override { return handle_.Get(); }

 private:
  TKernelHandle handle_;
};

class TWin32Process : public TProcess, public TWin32Waitable {
 public:
  explicit TWin32Process(HANDLE process) : handle_(process) {}
  bool Wait(uint32_t timeout_ms) override {
    return ::WaitForSingleObject(handle_.Get(), timeout_ms) == WAIT_OBJECT_0;
  }
  bool ExitCode(uint32_t& code) override {
    DWORD value = 0;
    if (!Wait(0) || !::GetExitCodeProcess(handle_.Get(), &value)) return false;
    code = value;
    return true;
  }
  uint32_t Id() override { return ::GetProcessId(handle_.Get()); }
  HANDLE WaitHandle() const override { return handle_.Get(); }

 private:
  TKernelHandle handle_;
};

}  // namespace nolu
