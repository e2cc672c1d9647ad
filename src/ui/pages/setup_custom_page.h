// TSetupCustomPage: the page interface the wizard navigates with, and TSetupPageContext, what
// every page is made with.
//
// A page is a painted control without owner; the wizard gives it its parent and bounds when
// it shows it. Its component name is its class name without "TSetup" ("PageWelcome"), which
// is also its section in the language files.
#pragma once

#include "ui/controls/rux_application.h"
#include "ui/controls/rux_custom_control.h"
#include "ui/wizard/wizard_palette.h"

namespace nolu::ui {

struct TSetupPageContext {
  TRuxApplication& Application;
  // The wizard's palette; it changes in place when the colour scheme changes.
  const TWizardPalette& Palette;
};

class TSetupCustomPage : public TRuxCustomControl {
 public:
  // `class_name` is the page's class name ("TSetupPageWelcome").
  TSetupCustomPage(TSetupPageContext& context, StringView class_name);

  // The page's own progress, 0..100.
  virtual int GetProgress() { return 0; }
  virtual bool CanGoBack() { return true; }
  virtual bool CanGoNext() { return true; }
  // Whether the page takes part in navigation now.
  virtual bool IsAvailable() { return true; }
  // Each time the page becomes active, before it is shown.
  virtual void Prepare() {}
  // Full-screen pages have no header and take the whole height above the footer.
  virtual bool IsFullScreen() const { return false; }
  // The texts the wizard draws in its header.
  virtual String Title() const { return String(); }
  virtual String Description() const { return String(); }
  // Makes the controls and localizes them; the page-class table calls it right after the
  // constructor (virtual operations do not reach a class under construction).
  virtual void Initialize() {}

  // Tells the wizard that something CanGoBack or CanGoNext depends on has changed.
  void NotifyChanged();

  TSetupPageContext& Context() const { return context_; }
  const TWizardPalette& Palette() const { return context_.Palette; }
  TColor BackgroundAt(const TRect& rect) const override;
  TColor DefaultTextColor() const override;

 private:
  TSetupPageContext& context_;
};

}  // namespace nolu::ui
