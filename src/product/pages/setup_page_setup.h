// TSetupPageSetup: where the product goes and how — the destination folder (typed, or chosen
// in the folder chooser), whether a copy found there is updated and backed up first, and a
// standard or a portable installation.
//
// Every choice takes effect in the setup object at once: the destination through
// SetDestPath (which finds the copy there and recomputes the update and portable flags), the
// boxes through SetOption. UpdateControls then shows the setup object's state again: the
// boxes, the radios and the warning lines at the bottom of the page.
//
// Rules of the mode:
//   * a portable installation cannot live in a program-files folder: choosing it there moves
//     the destination to the desktop default, and the standard radio shows whenever the
//     destination is in one;
//   * leaving portable mode while the destination is still the desktop default moves it back
//     to the standard default; a folder the user chose stays;
//   * on an update the mode is the installed copy's and the radios are disabled.
#pragma once

#include <vector>

#include "ui/controls/rux_edit.h"
#include "ui/controls/rux_validation_label.h"
#include "ui/pages/setup_page.h"

namespace nolu::ui {

class TSetupPageSetup : public TSetupPage {
 public:
  static constexpr char16_t kClassName[] = u"TSetupPageSetup";
  explicit TSetupPageSetup(TSetupPageContext& context) : TSetupPage(context, kClassName) {}

  bool CanGoNext() override;
  void Prepare() override { UpdateControls(); }
  // The warning lines stack at the bottom of the client area less 40 pixels left and right
  // and 20 at the top and bottom.
  TRect AlignRect() const override;

  TRuxEdit& PathEdit() const { return *path_edit_; }
  TRuxCheckBox& UpdateBox() const { return *update_box_; }
  TRuxCheckBox& BackupBox() const { return *backup_box_; }
  TRuxRadioBox& PortableRadio() const { return *portable_radio_; }
  TRuxRadioBox& StandardRadio() const { return *standard_radio_; }
  const std::vector<TRuxValidationLabel*>& Warnings() const { return warnings_; }

 protected:
  void CreateControls() override;

 private:
  void UpdateControls();
  void UpdateUpdateOptions();
  void UpdateModeOptions();
  void UpdateWarnings();
  bool OtherCopyInstalled() const;
  // The message of a destination the setup object refuses (a drive, a program-files or
  // system folder, a profile), or empty. It is the first line at the bottom of the page, and
  // Next stays disabled while it is there.
  String DestinationRefusal() const;
  void PathChanged();
  void ApplyPath(StringView path);
  void BrowseClick();
  void UpdateOptionClick();
  void ModeClick();

  TRuxEdit* path_edit_ = nullptr;
  // Set while the edit's own text is applied, so that the normalized destination does not
  // overwrite what the user is typing.
  bool typing_ = false;
  TRuxCheckBox* backup_box_ = nullptr;
  TRuxCheckBox* update_box_ = nullptr;
  TRuxRadioBox* standard_radio_ = nullptr;
  TRuxRadioBox* portable_radio_ = nullptr;
  std::vector<TRuxValidationLabel*> warnings_;
};

}  // namespace nolu::ui
