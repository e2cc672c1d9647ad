// TRuxMemo: multi-line text with a vertical scroll bar, read-only if asked.
#pragma once

#include "base/text.h"
#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

class TRuxMemo : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kMemo; }
  TAccessibleRole AccessibleRole() const override { return TAccessibleRole::arEditableText; }
  bool TabStop() const override { return true; }

  const StringList& Lines() const { return lines_; }
  void SetLines(StringList lines);
  // The lines joined by CR LF.
  String Text() const;
  bool ReadOnly() const { return read_only_; }
  void SetReadOnly(bool value);

 private:
  StringList lines_;
  bool read_only_ = false;
};

}  // namespace nolu::ui
