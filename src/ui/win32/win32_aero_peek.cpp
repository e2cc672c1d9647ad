#include "ui/win32/win32_aero_peek.h"

#include "ui/win32/win32_backend.h"

namespace nolu::ui {

TWin32AeroPeek::TWin32AeroPeek(TWin32Backend& backend, TRuxForm& form)
    : backend_(backend), form_(form) {
  backend_.AddAeroPeek(&form_, this);
}

TWin32AeroPeek::~TWin32AeroPeek() {
  backend_.RemoveAeroPeek(&form_);
}

void TWin32AeroPeek::Apply() {
  const HWND window = backend_.WindowOf(&form_);
  if (!window) return;  // shown later: the form hands the values on then
  if (!taskbar_ && !tried_) {
    tried_ = true;
    if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&taskbar_))) ||
        FAILED(taskbar_->HrInit())) {
      taskbar_.Reset();
    }
  }
  if (!taskbar_) return;
  if (State() == TAeroPeekState::apsError) {
    taskbar_->SetProgressState(window, TBPF_ERROR);
    if (Max() > 0)
      taskbar_->SetProgressValue(window, static_cast<ULONGLONG>(Position()),
                                 static_cast<ULONGLONG>(Max()));
  } else if (Max() <= 0) {
    taskbar_->SetProgressState(window, TBPF_INDETERMINATE);
  } else {
    taskbar_->SetProgressState(window,
                               State() == TAeroPeekState::apsPaused ? TBPF_PAUSED : TBPF_NORMAL);
    taskbar_->SetProgressValue(window, static_cast<ULONGLONG>(Position() < 0 ? 0 : Position()),
                               static_cast<ULONGLONG>(Max()));
  }
}

}  // namespace nolu::ui
