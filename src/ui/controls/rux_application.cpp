#include "ui/controls/rux_application.h"

#include <algorithm>

#include "platform/platform.h"
#include "ui/controls/rux_form.h"

namespace nolu::ui {

TRuxApplication::TRuxApplication(IUiBackend& backend)
    : backend_(backend), dark_mode_(backend.DarkMode()), high_contrast_(backend.HighContrast()) {}

void TRuxApplication::ColorSchemeChanged() {
  const bool dark = backend_.DarkMode();
  const bool high_contrast = backend_.HighContrast();
  if (dark == dark_mode_ && high_contrast == high_contrast_) return;
  dark_mode_ = dark;
  high_contrast_ = high_contrast;
  // A copy: a form may close (and leave the list) while it hears of the change.
  const std::vector<TRuxForm*> forms = forms_;
  for (TRuxForm* form : forms)
    form->ApplicationSettingsChanged(kColorSchemeChanged);
}

String ResolveLink(StringView text) {
  String target(text);
  if (target.find(u"//") == String::npos && !CurrentPlatform().Files().FolderExists(target)) {
    target = u"https://" + target;
  }
  return target;
}

void TRuxApplication::OpenLink(StringView text) {
  if (text.empty()) return;
  const String target = ResolveLink(text);
  if (link_opener_) {
    link_opener_(target);
  } else {
    CurrentPlatform().Shell().ShellOpen(u"open", target, u"", u"", kSwShowNormal);
  }
}

void TRuxApplication::AddForm(TRuxForm* form) {
  forms_.push_back(form);
}

void TRuxApplication::RemoveForm(TRuxForm* form) {
  std::erase(forms_, form);
}

}  // namespace nolu::ui
