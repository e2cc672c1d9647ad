// The seam between the portable control objects and a windowing system.
//
// A control keeps its whole state itself; its peer (made by the backend once the control
// sits on a shown form) mirrors that state into a native window and reports the user's
// actions back through the control's Do... operations. The headless backend makes no peers
// at all: tests act on the controls through THeadlessUser (ui/headless/headless_user.h).
#pragma once

#include <memory>
#include <optional>

#include "base/text.h"
#include "ui/controls/rux_types.h"
#include "ui/dialogs/folder_dialog_texts.h"

namespace nolu::ui {

class TRuxAeroPeek;
class TRuxCustomControl;
class TRuxForm;

// The system's colours, which a form uses in place of its own in high-contrast mode.
struct TSystemColors {
  TColor Window = TColor::Rgb(0, 0, 0);
  TColor WindowText = TColor::Rgb(255, 255, 255);
  TColor ButtonFace = TColor::Rgb(0, 0, 0);
  TColor ButtonText = TColor::Rgb(255, 255, 255);
  TColor Highlight = TColor::Rgb(26, 235, 255);
  TColor HighlightText = TColor::Rgb(0, 0, 0);
  TColor GrayText = TColor::Rgb(63, 242, 63);
  TColor HotLight = TColor::Rgb(255, 255, 0);
};

// Which part of a control's state changed.
enum class TAspect : uint8_t {
  kBounds,  // position, size or the DPI
  kVisible,
  kEnabled,
  kCaption,
  kFont,
  kColors,
  kState,    // checked, position, text, lines, items, selection, zoom
  kContent,  // a rich viewer's document
  kTabOrder,
  kAccessibility,
};

class IControlPeer {
 public:
  virtual ~IControlPeer() = default;
  virtual void Changed(TAspect aspect) = 0;
  virtual void SetFocus() = 0;
  // Paints the control again (painted controls).
  virtual void Invalidate() = 0;
};

class IUiBackend {
 public:
  virtual ~IUiBackend() = default;
  // The peer of a control that is about to appear; none keeps the control windowless.
  virtual std::unique_ptr<IControlPeer> CreatePeer(TRuxCustomControl& control) = 0;
  // The size of `text` in `font` at `dpi` in device pixels; wrapped at `max_width` when it is
  // above 0. What auto-sized labels are laid out by.
  virtual TSize MeasureText(StringView text, const TFont& font, int dpi, int max_width) = 0;
  // Shows `form` as the main window and returns when it has been closed.
  virtual void Run(TRuxForm& form) = 0;
  // Shows `form` modally over its owner and returns when it has been closed.
  virtual void ShowModal(TRuxForm& form) = 0;
  // Handles the window messages that are waiting now (input, painting, the worker's
  // notifications), then returns.
  virtual void ProcessMessages() = 0;
  // The system's colour scheme: dark app mode, and high contrast (the system's own colours).
  virtual bool DarkMode() = 0;
  virtual bool HighContrast() = 0;
  virtual TSystemColors SystemColors() = 0;
  // The ANSI code page of the run's language: what the fonts' character set is chosen by.
  virtual void SetCodePage(int) {}
  // The system's folder chooser, modal over `owner` (when given), opened at `start` (or the nearest
  // folder of it that exists): the chosen folder, or none when the user cancelled.
  virtual std::optional<String> ChooseFolder(TRuxForm* owner, StringView start,
                                             const TFolderDialogTexts& texts) = 0;
  // The taskbar progress of a form's window.
  virtual std::unique_ptr<TRuxAeroPeek> CreateAeroPeek(TRuxForm& form) = 0;
};

}  // namespace nolu::ui
