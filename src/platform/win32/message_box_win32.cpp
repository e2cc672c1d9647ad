#include "platform/win32/message_box_win32.h"

#include <windows.h>

#include "platform/win32/win32_strings.h"

namespace nolu {

int TWin32MessageBox::ShowMessageBox(StringView text, StringView caption, uint32_t style) {
  const String body(text), title(caption);
  // An empty caption gives the system's default one.
  return ::MessageBoxW(::GetActiveWindow(), W(body), title.empty() ? nullptr : W(title), style);
}

}  // namespace nolu
