// TWin32AeroPeek: the taskbar progress through ITaskbarList3. The values are handed on as they
// change and again when the window appears; "TaskbarButtonCreated" is not waited for (it
// never arrives on some systems), only used to hand them on once more when it does.
#pragma once

#include <shobjidl.h>
#include <windows.h>
#include <wrl/client.h>

#include "ui/controls/rux_aero_peek.h"
#include "ui/controls/rux_form.h"

namespace nolu::ui {

class TWin32Backend;

class TWin32AeroPeek : public TRuxAeroPeek {
 public:
  TWin32AeroPeek(TWin32Backend& backend, TRuxForm& form);
  ~TWin32AeroPeek() override;

 protected:
  void Apply() override;

 private:
  TWin32Backend& backend_;
  TRuxForm& form_;
  Microsoft::WRL::ComPtr<ITaskbarList3> taskbar_;
  bool tried_ = false;
};

}  // namespace nolu::ui
