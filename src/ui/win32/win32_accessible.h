// What a screen reader hears of a control that we paint ourselves: the system's standard
// accessible object of its window, with the role the control has and its check state. The
// system derives both from the window's class and style, which a subclassed window keeps on
// Windows but not everywhere (Wine reports every such window as a plain client area).
#pragma once

#include <windows.h>

#include "ui/controls/rux_types.h"

namespace nolu::ui {

// The accessibility interface's role number of `role` (ROLE_SYSTEM_*).
long AccessibleRoleNumber(TAccessibleRole role);

// The answer to WM_GETOBJECT for `window`: for the client object, the standard object with
// `role` and, when `checkable`, the check state the button reports (read at each question, so
// the answer stays true as the box turns over); 0 (the system's own answer) for any other.
LRESULT AnswerAccessibleObject(HWND window, WPARAM wparam, LPARAM lparam, TAccessibleRole role,
                               bool checkable);

}  // namespace nolu::ui
