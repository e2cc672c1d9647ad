// TRuxCustomControl: a visual control. It has a parent (the control it is drawn in), children,
// bounds in 96-DPI units, alignment with margins, visibility, enabled state, a caption, a
// font and colours, a tab order, an accessible name and role, and a peer once it is shown.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "ui/controls/rux_component.h"
#include "ui/controls/rux_types.h"
#include "ui/controls/ui_backend.h"

namespace nolu::ui {

class ICanvas;
class TRuxForm;

// The kinds of control a backend makes peers for.
enum class TControlKind : uint8_t {
  kForm,
  kPanel,  // a painted container (a wizard page)
  kButton,
  kCheckBox,
  kRadioBox,
  kLabel,
  kEdit,
  kProgressBar,
  kMemo,
  kRichViewer,
  kComboBox,
  kFormattedLabel,  // painted by the toolkit, links clicked at a point
};

class TRuxCustomControl : public TRuxComponent {
 public:
  TRuxCustomControl() = default;
  ~TRuxCustomControl() override;

  virtual TControlKind Kind() const { return TControlKind::kPanel; }

  // --- Parent and children (the visual tree; ownership is the component tree's).
  TRuxCustomControl* Parent() const { return parent_; }
  void SetParent(TRuxCustomControl* parent);
  const std::vector<TRuxCustomControl*>& Children() const { return children_; }
  // The form this control is shown on, or none.
  TRuxForm* Form();
  const TRuxForm* Form() const;

  // --- Geometry, in 96-DPI units relative to the parent's client area.
  const TRect& Bounds() const { return bounds_; }
  void SetBounds(const TRect& bounds);
  TAlign Align() const { return align_; }
  void SetAlign(TAlign align);
  const TMargins& Margins() const { return margins_; }
  void SetMargins(const TMargins& margins);
  bool AlignWithMargins() const { return align_with_margins_; }
  void SetAlignWithMargins(bool value);
  TAnchors Anchors() const { return anchors_; }
  void SetAnchors(TAnchors anchors) { anchors_ = anchors; }
  // The client area in 96-DPI units: (0, 0, width, height).
  TRect ClientRect() const { return {0, 0, bounds_.Width, bounds_.Height}; }
  // Where aligned children are laid out; the client area unless a class says otherwise.
  virtual TRect AlignRect() const { return ClientRect(); }
  // The DPI of the form this control is on (96 when on none).
  int Dpi() const;
  // Bounds in device pixels of the form's DPI, relative to the parent.
  TRect DeviceBounds() const { return bounds_.Scaled(Dpi()); }
  // Lays out the aligned children again.
  void Realign();

  // --- States.
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  // Visible, and so are all parents up to a shown form.
  bool Showing() const;
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Enabled, and so are all parents.
  bool EnabledInTree() const;

  const String& Caption() const { return caption_; }
  void SetCaption(StringView caption) override;
  // The letter after a single "&" of the caption, upper-cased; 0 when there is none.
  Char AccessKey() const;

  // --- Appearance.
  const TFont& Font() const { return font_; }
  void SetFont(const TFont& font);
  // The background; none: the parent's background (BackgroundAt of the parent).
  const std::optional<TColor>& Color() const { return color_; }
  void SetColor(std::optional<TColor> color);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value) { transparent_ = value; }
  // The colour a child at `rect` (in this control's coordinates) stands on.
  virtual TColor BackgroundAt(const TRect& rect) const;
  // The colour of text on this control when its font names none.
  virtual TColor DefaultTextColor() const;

  // --- Keyboard and accessibility.
  int TabOrder() const { return tab_order_; }
  void SetTabOrder(int order);
  virtual bool TabStop() const { return false; }
  // What a screen reader says; the caption without its "&" unless set.
  String AccessibleName() const;
  void SetAccessibleName(StringView name);
  virtual TAccessibleRole AccessibleRole() const { return TAccessibleRole::arPane; }
  // Whether the control takes the keyboard focus when asked (shown, enabled, a tab stop).
  bool CanFocus() const;
  void SetFocus();
  bool Focused() const;

  // --- Painting (controls that the toolkit paints itself: forms and pages).
  virtual void Paint(ICanvas& canvas);
  void Invalidate();

  // --- Peer.
  IControlPeer* Peer() const { return peer_.get(); }
  // Creates the peers of this control and its children when its parent has one.
  void CreatePeers();
  void DestroyPeers();
  // Called by the form when its DPI changed (after the peers were told).
  virtual void DpiChanged(int old_dpi, int new_dpi);

  // Called when Visible changed.
  std::function<void()> OnVisibleChanged;

 protected:
  void NotifyPeer(TAspect aspect);
  virtual void VisibleChanged();
  // The size an auto-sized control wants in 96-DPI units, given the width it may take.
  virtual std::optional<TSize> AutoSize(int available_width) const;

 private:
  void RemoveChild(TRuxCustomControl* child);
  void ApplyBounds(const TRect& bounds);

  TRuxCustomControl* parent_ = nullptr;
  std::vector<TRuxCustomControl*> children_;
  TRect bounds_;
  TAlign align_ = TAlign::alNone;
  TMargins margins_;
  bool align_with_margins_ = false;
  TAnchors anchors_;
  bool visible_ = true;
  bool enabled_ = true;
  String caption_;
  TFont font_;
  std::optional<TColor> color_;
  bool transparent_ = false;
  int tab_order_ = -1;
  std::optional<String> accessible_name_;
  bool realigning_ = false;
  bool peers_made_ = false;
  std::unique_ptr<IControlPeer> peer_;
};

// "&Next" -> "Next", "&&" -> "&": the caption as it reads.
String StripAccessKeys(StringView caption);

}  // namespace nolu::ui
