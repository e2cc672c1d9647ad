#include "ui/wizard/wizard_form.h"

#include "core/setup.h"
#include "resources/setup_resources.h"
#include "ui/controls/canvas.h"
#include "ui/pages/setup_page_install.h"

namespace nolu::ui {
namespace {

String CommonString(StringView key) {
  return nolu::Setup()->Resources().GetString(u"Common", key);
}

}  // namespace

TWizardForm::TWizardForm(TRuxApplication& application, TWizardPalette& palette,
                         const TSetupPageClassTable& classes, TMessageDialogFunction message_dialog)
    : TRuxForm(application),
      palette_(palette),
      page_context_{application, palette},
      message_dialog_(std::move(message_dialog)) {
  SetName(u"WizardForm");
  SetClientSize(640, 480);
  back_ = &CreateComponent<TRuxButton>();
  back_->SetName(u"bBack");
  back_->SetParent(this);
  back_->SetBounds({384, 447, 121, 25});
  back_->SetAnchors({false, false, true, true});
  back_->SetTabOrder(0);
  back_->OnClick = [this] { bBackClick(); };
  next_ = &CreateComponent<TRuxButton>();
  next_->SetName(u"bNext");
  next_->SetParent(this);
  next_->SetBounds({511, 447, 121, 25});
  next_->SetAnchors({false, false, true, true});
  next_->SetTabOrder(1);
  next_->OnClick = [this] { bNextClick(); };
  SetDefaultButton(next_);
  version_ = &CreateComponent<TRuxLabel>();
  version_->SetName(u"lbVerInfo");
  version_->SetParent(this);
  version_->SetBounds({12, 447, 257, 25});
  version_->SetAnchors({true, false, false, true});
  version_->SetTransparent(true);
  version_->SetLayout(TVertAlign::vaCenter);

  progress_view_info_ = std::make_unique<TWizardProgressViewInfo>(*this);
  aero_peek_ = Backend().CreateAeroPeek(*this);
  view_info_ = std::make_unique<TWizardFormViewInfo>(*this);
  ApplyPalette();

  // Before any page: an install page is then notified before the wizard.
  nolu::Setup()->AddListener(this);
  CreatePages(classes);
  Localize();
  UpdateButtons();
  SetActivePage(pages_.First());
}

TWizardForm::~TWizardForm() {
  TSetup& setup = *nolu::Setup();
  try {
    // Only an installation without errors starts anything.
    setup.RunActions();
  } catch (...) {
    // Starting the chosen programs is a courtesy after a finished run: its failure must not
    // turn the end of the program into a crash.
  }
  setup.RemoveListener(this);
  aero_peek_.reset();
  progress_view_info_.reset();
  view_info_.reset();
  active_page_ = nullptr;
  pages_.Clear();
}

void TWizardForm::CreatePages(const TSetupPageClassTable& classes) {
  TSetup& setup = *nolu::Setup();
  auto add = [&](StringView class_name) {
    // Names of classes this build does not have are left out.
    if (std::unique_ptr<TSetupCustomPage> page = classes.Create(class_name, page_context_)) {
      pages_.AddPage(std::move(page));
    }
  };
  if ((setup.Flags() & sfAuto) == 0) {
    setup.ProductInfo().PopulatePages([&](const TSetupPageClass& cls) { add(cls.Name); });
  }
  if (setup.Mode() == smUninstall) {
    add(TSetupPageUninstall::kClassName);
    add(u"TSetupPageUninstallFinish");
  } else {
    add(TSetupPageInstall::kClassName);
    add(u"TSetupPageFinish");
  }
}

void TWizardForm::Localize() {
  SetCaption(CommonString(u"Caption"));
  back_->SetCaption(CommonString(back_->Name()));
  next_->SetCaption(CommonString(next_->Name()));
  Application().FolderDialogTexts().Localize();
  version_->SetCaption(nolu::Setup()->ProductInfo().GetVersionInfo());
}

void TWizardForm::ApplyPalette() {
  palette_.UpdatePalette(DarkMode(), Application().HighContrast(), Backend().SystemColors());
  Application().SetTheme(palette_.Controls);
  TFont font = version_->Font();
  font.Color = palette_.VersionText;
  version_->SetFont(font);
}

void TWizardForm::SetActivePage(TSetupCustomPage* page) {
  if (page == active_page_) return;
  if (active_page_) active_page_->SetVisible(false);
  active_page_ = nullptr;
  if (page) {
    active_page_ = page;
    page->SetParent(this);
    page->SetBounds(TWizardFormViewInfo::GetPageBounds(page->IsFullScreen()));
    page->Prepare();
    page->SetVisible(true);
    page->SetAccessibleName(page->Title());
  }
  UpdateButtons();
  if (!ActiveControl() && next_->CanFocus()) next_->SetFocus();
  UpdateProgress();
  Invalidate();
}

String TWizardForm::NextButtonKey() const {
  const TSetupCustomPage* next = pages_.GetNext(active_page_);
  if (!next) return u"bFinish";
  // The uninstall page is an install page too: it is asked for first.
  if (dynamic_cast<const TSetupPageUninstall*>(next)) return u"bUninstall";
  if (dynamic_cast<const TSetupPageInstall*>(next)) return u"bInstall";
  return next_->Name();
}

void TWizardForm::UpdateButtons() {
  back_->SetVisible(pages_.CanGoBackFrom(active_page_));
  next_->SetEnabled(pages_.CanGoNextFrom(active_page_) ||
                    (active_page_ && active_page_ == pages_.Last()));
  next_->SetCaption(CommonString(NextButtonKey()));
  TSetup& setup = *nolu::Setup();
  if (setup.State() == ssFinished) {
    if (setup.HasErrors()) aero_peek_->SetState(TAeroPeekState::apsError);
    // From now on the wizard is left through Finish only.
    SetSystemCloseEnabled(false);
  }
  UpdateProgressBounds();
}

void TWizardForm::UpdateProgressBounds() {
  progress_view_info_->Calculate(view_info_->GetProgressBounds());
}

void TWizardForm::UpdateProgress() {
  const int64_t index = pages_.IndexOf(active_page_);
  const int64_t position = active_page_ ? index * 100 + active_page_->GetProgress() : 0;
  aero_peek_->SetProgress(position, static_cast<int64_t>(pages_.Count()) * 100 - 100);
  Invalidate();
}

void TWizardForm::bBackClick() {
  if (pages_.CanGoBackFrom(active_page_)) SetActivePage(pages_.GetPrev(active_page_));
}

void TWizardForm::bNextClick() {
  if (pages_.CanGoNextFrom(active_page_)) {
    SetActivePage(pages_.GetNext(active_page_));
  } else if (active_page_ && active_page_ == pages_.Last()) {
    Close();
  }
}

void TWizardForm::Notify(uint32_t code, const TNotifyParam&) {
  switch (code) {
    case ncFinished: {
      TSetup& setup = *nolu::Setup();
      if ((setup.Flags() & sfAuto) != 0 && !setup.HasErrors()) {
        Close();
        break;
      }
      // The install page has marked itself finished already (it is notified first).
      bNextClick();
      if (close_when_finished_) Close();
      break;
    }
    case ncNavigation:
      UpdateButtons();
      break;
    case ncProgressRefresh:
      UpdateProgress();
      break;
    default:
      break;
  }
}

void TWizardForm::CloseQuery(bool& can_close) {
  TSetup& setup = *nolu::Setup();
  if (setup.State() == ssFinished) {
    can_close = true;
    return;
  }
  if (close_when_finished_) {
    can_close = false;  // asked once already; the run is ending
    return;
  }
  const int answer = message_dialog_(*this, CommonString(u"QM"), Caption(), kCloseQuestionStyle);
  if (answer != kMrOk) {
    can_close = false;
    return;
  }
  cancelled_by_user_ = true;
  setup.Cancel();
  if (setup.Thread() && setup.State() != ssFinished) {
    // Asked inside one of the worker's notifications: the worker stops once it returns.
    close_when_finished_ = true;
    can_close = false;
    return;
  }
  can_close = true;
}

void TWizardForm::Paint(ICanvas& canvas) {
  view_info_->Draw(canvas, active_page_ && !active_page_->IsFullScreen() ? active_page_ : nullptr);
  progress_view_info_->Draw(canvas, active_page_);
}

TColor TWizardForm::BackgroundAt(const TRect& rect) const {
  // In 96-DPI units: the footer is the bottom 44 of the 480.
  return rect.Top >= 436 ? palette_.Footer : palette_.PageBackground;
}

TColor TWizardForm::DefaultTextColor() const {
  return palette_.Controls.Text;
}

void TWizardForm::DpiChanged(int old_dpi, int new_dpi) {
  TRuxForm::DpiChanged(old_dpi, new_dpi);
  if (!view_info_) return;
  UpdateProgressBounds();
  Invalidate();
}

void TWizardForm::ApplicationSettingsChanged(uint32_t flags) {
  if (flags & kColorSchemeChanged) ApplyPalette();
  TRuxForm::ApplicationSettingsChanged(flags);
  // Every page and control takes the new colours.
  for (int i = 0; i < pages_.Count(); ++i)
    pages_.Items(i).Invalidate();
}

}  // namespace nolu::ui
