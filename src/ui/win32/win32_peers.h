// The native windows of the controls: one peer class per kind of control. Containers (forms
// and pages) are windows of our own classes that paint through the canvas and hand their
// children's notifications back to the children's peers; the controls are the system's
// (buttons, edits, statics, progress bars, rich edit, combo boxes), kept as such so that
// they keep their keyboard behaviour and report their roles to screen readers. Buttons, check
// boxes, radio buttons and progress bars are painted by us in the theme's colours.
#pragma once

#include <windows.h>

#include <memory>

#include "ui/controls/rux_custom_control.h"
#include "ui/win32/win32_backend.h"

namespace nolu::ui {

std::unique_ptr<IControlPeer> MakeWin32Peer(TWin32Backend& backend, TRuxCustomControl& control);

}  // namespace nolu::ui
