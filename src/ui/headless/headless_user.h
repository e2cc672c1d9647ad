// THeadlessUser: acts on a form as a user would, and refuses what a user could not do: a
// control that is hidden or disabled (or on a hidden page) cannot be clicked, checked or
// typed into, and a failed attempt raises EInvalidOperation naming the control.
#pragma once

#include <functional>

#include "base/text.h"
#include "ui/controls/rux_form.h"

namespace nolu::ui {

class TRuxButton;
class TRuxCheckBox;
class TRuxEdit;
class TRuxFormattedLabel;

class THeadlessUser {
 public:
  explicit THeadlessUser(TRuxForm& form) : form_(form) {}

  // The first showing control of the form whose caption reads `caption` (without "&").
  TRuxCustomControl* Find(StringView caption) const;
  // The first control named `name` (component name), showing or not.
  TRuxCustomControl* FindNamed(StringView name) const;

  void Click(TRuxCustomControl& control);
  void ClickButton(StringView caption);
  void Check(TRuxCheckBox& box, bool checked);
  void Type(TRuxEdit& edit, StringView text);
  // The button embedded in an edit ("Browse").
  void ClickEditButton(TRuxEdit& edit);
  // A click on the middle of the first run that reads `text` and is part of a link; raises
  // when the label shows no such link. The label is arranged as the recording canvas
  // measures when it has not been painted yet.
  void ClickLink(TRuxFormattedLabel& label, StringView text);
  void PressEnter() { form_.EnterPressed(); }
  void PressEscape() { form_.EscapePressed(); }
  // Alt + the letter: the control with that access key acts (a button is pressed, a check
  // box turns over, anything else takes the focus).
  void PressAccessKey(Char key);
  // The close box of the caption (refused while the system menu's Close is disabled).
  void CloseWindow();

 private:
  void Require(const TRuxCustomControl& control, StringView action) const;

  TRuxForm& form_;
};

}  // namespace nolu::ui
