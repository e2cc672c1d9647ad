// TRuxApplication: what the forms of one user interface share — the backend, the system's
// colour scheme and the list of open forms that hear when it changes.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/text.h"
#include "ui/controls/ui_backend.h"
#include "ui/dialogs/folder_dialog_texts.h"

namespace nolu::ui {

class TRuxForm;

// The colours the backend paints controls with (check boxes, buttons, progress bars, text).
struct TRuxTheme {
  TColor Window = TColor::Rgb(255, 255, 255);
  TColor Text = TColor::Rgb(0, 0, 0);
  TColor DisabledText = TColor::Rgb(109, 109, 109);
  TColor Face = TColor::Rgb(253, 253, 253);
  TColor FaceHot = TColor::Rgb(229, 241, 251);
  TColor Border = TColor::Rgb(122, 122, 122);
  TColor Accent = TColor::Rgb(222, 140, 51);
  TColor AccentText = TColor::Rgb(255, 255, 255);
  TColor Focus = TColor::Rgb(0, 0, 0);
  TColor Link = TColor::Rgb(0, 102, 204);
  TColor Warning = TColor::Rgb(196, 43, 28);
};

// Flags of TRuxForm::ApplicationSettingsChanged.
inline constexpr uint32_t kColorSchemeChanged = 1;

class TRuxApplication {
 public:
  explicit TRuxApplication(IUiBackend& backend);

  IUiBackend& Backend() { return backend_; }
  bool DarkMode() const { return dark_mode_; }
  bool HighContrast() const { return high_contrast_; }
  const TRuxTheme& Theme() const { return theme_; }
  // The texts of the folder chooser, set by the wizard from the run's language.
  TFolderDialogTexts& FolderDialogTexts() { return folder_dialog_texts_; }
  void SetTheme(const TRuxTheme& theme) { theme_ = theme; }
  // Reads the scheme from the backend again and, when it changed, tells every open form.
  void ColorSchemeChanged();
  void ProcessMessages() { backend_.ProcessMessages(); }

  // Opens a link of a label or a document as the user expects (ResolveLink), through the
  // link opener when one is set (the setup starts it as the desktop user), else the shell.
  void OpenLink(StringView text);
  void SetLinkOpener(std::function<void(StringView target)> opener) {
    link_opener_ = std::move(opener);
  }

  void AddForm(TRuxForm* form);
  void RemoveForm(TRuxForm* form);
  const std::vector<TRuxForm*>& Forms() const { return forms_; }

 private:
  IUiBackend& backend_;
  bool dark_mode_;
  bool high_contrast_;
  TRuxTheme theme_;
  TFolderDialogTexts folder_dialog_texts_;
  std::vector<TRuxForm*> forms_;
  std::function<void(StringView target)> link_opener_;
};

// The target of a link text: a text with "//" is an address as it stands, an existing folder
// is opened as a folder, anything else is a web address without its scheme ("https://" is
// put in front).
String ResolveLink(StringView text);

}  // namespace nolu::ui
