#include "product/pages/setup_page_setup.h"

#include <bit>
#include <utility>

#include "base/locale.h"
#include "base/path.h"
#include "core/setup.h"
#include "product/product_info_nolu.h"
#include "ui/controls/rux_form.h"

namespace nolu::ui {
namespace {

// The bit number SetOption takes for a flag.
int BitOf(TSetupFlags flag) {
  return std::countr_zero(static_cast<unsigned>(flag));
}

bool Has(TSetupFlags flag) {
  return (nolu::Setup()->Flags() & flag) != 0;
}

TSetupProductInfo& Product() {
  return nolu::Setup()->ProductInfo();
}

}  // namespace

void TSetupPageSetup::CreateControls() {
  CreateHeading({40, 30, 540, 20}, u"LB1");
  path_edit_ = &CreateControl<TRuxEdit>({60, 70, 540, 21}, u"PathEdit");
  path_edit_->OnChange = [this] { PathChanged(); };
  path_edit_->SetButton(GetString(u"Browse"), 100, [this] { BrowseClick(); });
  update_box_ = &CreateCheckBox({60, 100, 540, 17}, u"CB1", [this] { UpdateOptionClick(); });
  backup_box_ = &CreateCheckBox({60, 120, 540, 17}, u"CB4", [this] { UpdateOptionClick(); });
  CreateHeading({40, 150, 540, 20}, u"LB2");
  portable_radio_ = &CreateRadioBox({60, 190, 540, 16}, u"CB3", [this] { ModeClick(); });
  // Two lines high, ending above the standard radio: a taller label would cover its text.
  CreateLabel({79, 212, 500, 34}, u"CB3Hint", true).SetEnabled(false);
  standard_radio_ = &CreateRadioBox({60, 248, 540, 16}, u"CB2", [this] { ModeClick(); });
}

TRect TSetupPageSetup::AlignRect() const {
  // Device pixels, not units: the margins are the same at every DPI (to the nearest unit).
  const int dpi = Dpi();
  const int horizontal = (40 * kDefaultDpi + dpi / 2) / dpi;
  const int vertical = (20 * kDefaultDpi + dpi / 2) / dpi;
  const TRect client = ClientRect();
  return {horizontal, vertical, std::max(0, client.Width - 2 * horizontal),
          std::max(0, client.Height - 2 * vertical)};
}

bool TSetupPageSetup::CanGoNext() {
  return !nolu::Setup()->DestPath().empty() && DestinationRefusal().empty();
}

String TSetupPageSetup::DestinationRefusal() const {
  const TSetup& setup = *nolu::Setup();
  return setup.IsDestPathRefused() ? setup.DestPathRefusal() : String();
}

void TSetupPageSetup::UpdateControls() {
  NotifyChanged();
  if (!typing_) path_edit_->SetText(nolu::Setup()->DestPath());
  UpdateUpdateOptions();
  UpdateModeOptions();
  UpdateWarnings();
}

void TSetupPageSetup::UpdateUpdateOptions() {
  update_box_->SetChecked(Has(sfUpdate));
  update_box_->SetVisible(Product().CanUpdate());
  backup_box_->SetChecked(!Has(sfNoBackup));
  backup_box_->SetVisible(Has(sfUpdate));
}

void TSetupPageSetup::UpdateModeOptions() {
  const bool update = Has(sfUpdate);
  const bool portable =
      (update ? Product().IsPortable() : Has(sfPortable)) && !nolu::Setup()->IsInProgramFiles();
  portable_radio_->SetEnabled(!update);
  portable_radio_->SetRadioChecked(portable);
  standard_radio_->SetEnabled(!update);
  standard_radio_->SetRadioChecked(!portable);
}

void TSetupPageSetup::UpdateWarnings() {
  for (TRuxValidationLabel* warning : warnings_)
    FreeComponent(warning);
  warnings_.clear();
  std::vector<std::pair<TValidationKind, String>> lines;
  if (String refusal = DestinationRefusal(); !refusal.empty()) {
    lines.emplace_back(TValidationKind::vkError, std::move(refusal));
  }
  if (Has(sfUpdate)) lines.emplace_back(TValidationKind::vkWarning, GetString(u"W1"));
  if (OtherCopyInstalled()) lines.emplace_back(TValidationKind::vkWarning, GetString(u"W3"));
  for (const auto& [kind, text] : lines) {
    TRuxValidationLabel& warning = CreateComponent<TRuxValidationLabel>();
    warning.SetValidationKind(kind);
    warning.SetAlignWithMargins(true);
    warning.SetAlign(TAlign::alBottom);
    warning.SetCaption(text);
    warning.SetParent(this);
    warnings_.push_back(&warning);
  }
}

bool TSetupPageSetup::OtherCopyInstalled() const {
  if (Has(sfUpdate)) return false;
  if (Product().GetInstalledVersion() > 0) return true;
  if (Has(sfPortable)) return false;
  String path;
  return TProductInfoNolu::DetectInstallPath(path);
}

void TSetupPageSetup::PathChanged() {
  struct TGuard {
    bool& flag;
    explicit TGuard(bool& f) : flag(f) { flag = true; }
    ~TGuard() { flag = false; }
  } guard(typing_);
  ApplyPath(path_edit_->Text());
}

void TSetupPageSetup::ApplyPath(StringView path) {
  if (path == nolu::Setup()->DestPath()) return;
  nolu::Setup()->SetDestPath(path);
  UpdateControls();
}

void TSetupPageSetup::BrowseClick() {
  TRuxApplication& application = Context().Application;
  const std::optional<String> chosen = application.Backend().ChooseFolder(
      Form(), nolu::Setup()->DestPath(), application.FolderDialogTexts());
  if (!chosen || chosen->empty()) return;
  const String folder = IncludeTrailingBackslash(*chosen);
  const String product = Product().GetProductName();
  if (EqualsIgnoreCase(ExtractFileName(ExcludeTrailingBackslash(folder)), product)) {
    ApplyPath(folder);
  } else {
    ApplyPath(folder + product);
  }
}

void TSetupPageSetup::UpdateOptionClick() {
  TSetup& setup = *nolu::Setup();
  setup.SetOption(BitOf(sfNoBackup), !backup_box_->Checked());
  setup.SetOption(BitOf(sfUpdate), update_box_->Checked());
  UpdateControls();
}

void TSetupPageSetup::ModeClick() {
  TSetup& setup = *nolu::Setup();
  const bool portable = portable_radio_->Checked();
  if (portable && setup.IsInProgramFiles()) {
    setup.SetDestPath(Product().GetDefaultPortablePath());
  } else if (!portable && EqualsIgnoreCase(setup.DestPath(), Product().GetDefaultPortablePath())) {
    setup.SetDestPath(Product().GetDefaultPath());
  }
  setup.SetOption(BitOf(sfPortable), portable);
  UpdateControls();
}

}  // namespace nolu::ui
