// TWin32MessageBox: MessageBoxW owned by the calling thread's active window.
#pragma once

#include "platform/message_box.h"

namespace nolu {

class TWin32MessageBox : public IMessageBox {
 public:
  int ShowMessageBox(StringView text, StringView caption, uint32_t style) override;
};

}  // namespace nolu
