#include "ui/headless/headless_user.h"

#include "base/errors.h"
#include "ui/controls/recording_canvas.h"
#include "ui/controls/rux_button.h"
#include "ui/controls/rux_check_box.h"
#include "ui/controls/rux_edit.h"
#include "ui/controls/rux_formatted_label.h"
#include "ui/controls/rux_label.h"

namespace nolu::ui {
namespace {

TRuxCustomControl* Search(TRuxCustomControl& parent,
                          const std::function<bool(TRuxCustomControl&)>& match) {
  for (TRuxCustomControl* child : parent.Children()) {
    if (match(*child)) return child;
    if (TRuxCustomControl* found = Search(*child, match)) return found;
  }
  return nullptr;
}

String Describe(const TRuxCustomControl& control) {
  String name = control.Name().empty() ? StripAccessKeys(control.Caption()) : control.Name();
  return u"\"" + name + u"\"";
}

}  // namespace

TRuxCustomControl* THeadlessUser::Find(StringView caption) const {
  return Search(form_, [&](TRuxCustomControl& c) {
    return c.Showing() && StripAccessKeys(c.Caption()) == StripAccessKeys(caption);
  });
}

TRuxCustomControl* THeadlessUser::FindNamed(StringView name) const {
  return Search(form_, [&](TRuxCustomControl& c) { return c.Name() == name; });
}

void THeadlessUser::Require(const TRuxCustomControl& control, StringView action) const {
  if (!control.Showing()) {
    throw EInvalidOperation(u"cannot " + String(action) + u" " + Describe(control) +
                            u": it is not shown");
  }
  if (!control.EnabledInTree()) {
    throw EInvalidOperation(u"cannot " + String(action) + u" " + Describe(control) +
                            u": it is disabled");
  }
}

void THeadlessUser::Click(TRuxCustomControl& control) {
  Require(control, u"click");
  control.SetFocus();
  switch (control.Kind()) {
    case TControlKind::kButton:
      static_cast<TRuxButton&>(control).Click();
      break;
    case TControlKind::kCheckBox:
    case TControlKind::kRadioBox:
      static_cast<TRuxCheckBox&>(control).Click();
      break;
    case TControlKind::kLabel:
      static_cast<TRuxLabel&>(control).Click();
      break;
    default:
      break;
  }
}

void THeadlessUser::ClickButton(StringView caption) {
  TRuxCustomControl* button = Find(caption);
  if (!button || button->Kind() != TControlKind::kButton) {
    throw EInvalidOperation(u"no button \"" + String(caption) + u"\" is shown");
  }
  Click(*button);
}

void THeadlessUser::Check(TRuxCheckBox& box, bool checked) {
  if (box.Checked() != checked) Click(box);
}

void THeadlessUser::Type(TRuxEdit& edit, StringView text) {
  Require(edit, u"type into");
  edit.SetFocus();
  edit.SetText(text);
}

void THeadlessUser::ClickEditButton(TRuxEdit& edit) {
  Require(edit, u"click the button of");
  if (edit.ButtonCaption().empty()) {
    throw EInvalidOperation(u"cannot click the button of " + Describe(edit) + u": it has none");
  }
  edit.ButtonClick();
}

void THeadlessUser::ClickLink(TRuxFormattedLabel& label, StringView text) {
  Require(label, u"click a link of");
  TRecordingCanvas canvas(label.Dpi());
  label.Arrange(canvas);
  for (const TRuxTextLayoutRun& run : label.Layout().Runs()) {
    if (run.Text == text && run.Link) {
      label.ClickAt(run.Bounds.Left + run.Bounds.Width / 2, run.Bounds.Top + run.Bounds.Height / 2);
      return;
    }
  }
  throw EInvalidOperation(u"no link \"" + String(text) + u"\" is shown in " + Describe(label));
}

void THeadlessUser::PressAccessKey(Char key) {
  TRuxCustomControl* control = form_.FindAccessKey(key);
  if (!control) return;
  if (control->Kind() == TControlKind::kButton || control->Kind() == TControlKind::kCheckBox ||
      control->Kind() == TControlKind::kRadioBox) {
    Click(*control);
  } else {
    control->SetFocus();
  }
}

void THeadlessUser::CloseWindow() {
  if (!form_.SystemCloseEnabled()) {
    throw EInvalidOperation(u"cannot close the window: its close box is disabled");
  }
  form_.Close();
}

}  // namespace nolu::ui
