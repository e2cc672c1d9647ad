// TRuxLabel: static text — single or multi-line with word wrap, aligned, transparent over its
// parent, auto-sized if asked, and a link when it has a link target (a click opens it).
#pragma once

#include <functional>

#include "ui/controls/rux_custom_control.h"

namespace nolu::ui {

class TRuxLabel : public TRuxCustomControl {
 public:
  TControlKind Kind() const override { return TControlKind::kLabel; }
  TAccessibleRole AccessibleRole() const override;
  bool HasCaption() const override { return true; }
  void SetCaption(StringView caption) override { TRuxCustomControl::SetCaption(caption); }
  // A link takes the focus (Enter or Space opens it), plain text does not.
  bool TabStop() const override { return !link_target_.empty(); }

  bool WordWrap() const { return word_wrap_; }
  void SetWordWrap(bool value);
  THorzAlign Alignment() const { return alignment_; }
  void SetAlignment(THorzAlign value);
  TVertAlign Layout() const { return layout_; }
  void SetLayout(TVertAlign value);
  bool AutoSizeEnabled() const { return auto_size_; }
  void SetAutoSize(bool value);

  const String& LinkTarget() const { return link_target_; }
  void SetLinkTarget(StringView target);
  // The user's click: opens the link target (TRuxApplication::OpenLink), if any, then OnClick.
  void Click();
  std::function<void()> OnClick;

 protected:
  std::optional<TSize> AutoSize(int available_width) const override;

 private:
  bool word_wrap_ = false;
  THorzAlign alignment_ = THorzAlign::haLeft;
  TVertAlign layout_ = TVertAlign::vaTop;
  bool auto_size_ = false;
  String link_target_;
};

}  // namespace nolu::ui
