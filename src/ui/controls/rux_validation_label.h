// TRuxValidationLabel: a bold, auto-sized message line with a status icon left of its text
// (the warnings of a page).
#pragma once

#include "ui/controls/rux_label.h"

namespace nolu::ui {

enum class TValidationKind : uint8_t { vkInformation, vkWarning, vkError };

class TRuxValidationLabel : public TRuxLabel {
 public:
  TRuxValidationLabel();
  TValidationKind ValidationKind() const { return kind_; }
  void SetValidationKind(TValidationKind kind);
  // The room the icon takes left of the text, in 96-DPI units.
  static constexpr int kIconSpace = 22;

 protected:
  std::optional<TSize> AutoSize(int available_width) const override;

 private:
  TValidationKind kind_ = TValidationKind::vkWarning;
};

}  // namespace nolu::ui
