// TWizardTestRun: a setup run on the fake platform with the headless backend, the sample's
// English strings and pictures, for tests of the pages and the wizard.
//
//   TWizardTestRun run;
//   run.Product().install_pages = {u"TSetupPageWelcome", u"TSetupPageLicense"};
//   run.Create(u"");
//   auto wizard = run.CreateWizard();
//   ... click through it with THeadlessUser(*wizard) ...
#pragma once

#include <deque>
#include <functional>
#include <memory>

#include "core/testing/fake_setup_run.h"
#include "ui/controls/rux_application.h"
#include "ui/headless/headless_backend.h"
#include "ui/pages/setup_page_class_table.h"
#include "ui/wizard/wizard_form.h"
#include "ui/wizard/wizard_palette.h"

namespace nolu::ui {

// A minimal PNG (signature and IHDR) of a size and resolution, as the fake decoder reads it.
std::string TestPng(int width, int height, int dpi = 96);

class TWizardTestRun {
 public:
  TWizardTestRun();

  TFakeSetupRun& Run() { return run_; }
  TFakePlatform& Platform() { return run_.Platform(); }
  TTestProductConfig& Product() { return run_.Product(); }
  THeadlessBackend& Backend() { return backend_; }
  TRuxApplication& Application() { return *application_; }
  TWizardPalette& Palette() { return palette_; }
  TSetupPageClassTable& Classes() { return classes_; }

  TSetup& Create(StringView params = u"");
  std::unique_ptr<TWizardForm> CreateWizard();

  // Answers of the message dialog, in order (kIdOk, kIdCancel); the questions asked.
  std::deque<int> Answers;
  StringList Questions;

  // Serves the worker until `done` holds; fails the test after 60 s.
  void WaitUntil(const std::function<bool()>& done);

 private:
  TFakeSetupRun run_;
  THeadlessBackend backend_;
  std::unique_ptr<TRuxApplication> application_;
  TWizardPalette palette_;
  TSetupPageClassTable classes_;
};

}  // namespace nolu::ui
