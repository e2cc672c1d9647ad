#include "ui/controls/rux_custom_control.h"

#include <algorithm>

#include "base/locale.h"
#include "ui/controls/rux_form.h"

namespace nolu::ui {

String StripAccessKeys(StringView caption) {
  String out;
  out.reserve(caption.size());
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&') {
      if (i + 1 < caption.size() && caption[i + 1] == u'&') {
        out.push_back(u'&');
        ++i;
      }
      continue;
    }
    out.push_back(caption[i]);
  }
  return out;
}

TRuxCustomControl::~TRuxCustomControl() {
  // Owned controls first (they are usually the children), while this one still exists.
  FreeComponents();
  while (!children_.empty()) {
    TRuxCustomControl* orphan = children_.back();
    children_.pop_back();
    orphan->DestroyPeers();
    orphan->parent_ = nullptr;
  }
  if (TRuxForm* form = Form(); form && form != this) form->ControlRemoved(this);
  peer_.reset();
  if (parent_) parent_->RemoveChild(this);
}

void TRuxCustomControl::RemoveChild(TRuxCustomControl* child) {
  std::erase(children_, child);
}

void TRuxCustomControl::SetParent(TRuxCustomControl* parent) {
  if (parent == parent_) return;
  DestroyPeers();
  if (parent_) {
    if (TRuxForm* form = Form(); form && form != this) form->ControlRemoved(this);
    TRuxCustomControl* old = parent_;
    old->RemoveChild(this);
    parent_ = nullptr;
    old->Realign();
  }
  parent_ = parent;
  if (parent_) {
    parent_->children_.push_back(this);
    parent_->Realign();
    CreatePeers();
  }
}

TRuxForm* TRuxCustomControl::Form() {
  TRuxCustomControl* control = this;
  while (control->parent_)
    control = control->parent_;
  return control->Kind() == TControlKind::kForm ? static_cast<TRuxForm*>(control) : nullptr;
}

const TRuxForm* TRuxCustomControl::Form() const {
  return const_cast<TRuxCustomControl*>(this)->Form();
}

int TRuxCustomControl::Dpi() const {
  const TRuxForm* form = Form();
  return form ? form->FormDpi() : kDefaultDpi;
}

void TRuxCustomControl::SetBounds(const TRect& bounds) {
  if (bounds == bounds_) return;
  ApplyBounds(bounds);
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
}

void TRuxCustomControl::ApplyBounds(const TRect& bounds) {
  const bool resized = bounds.Width != bounds_.Width || bounds.Height != bounds_.Height;
  bounds_ = bounds;
  NotifyPeer(TAspect::kBounds);
  if (resized) Realign();
}

void TRuxCustomControl::SetAlign(TAlign align) {
  if (align == align_) return;
  align_ = align;
  if (parent_) parent_->Realign();
}

void TRuxCustomControl::SetMargins(const TMargins& margins) {
  margins_ = margins;
  if (parent_ && align_with_margins_) parent_->Realign();
}

void TRuxCustomControl::SetAlignWithMargins(bool value) {
  align_with_margins_ = value;
  if (parent_) parent_->Realign();
}

std::optional<TSize> TRuxCustomControl::AutoSize(int) const {
  return std::nullopt;
}

void TRuxCustomControl::Realign() {
  if (realigning_) return;
  realigning_ = true;
  TRect area = AlignRect();
  for (TAlign pass :
       {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
    for (TRuxCustomControl* child : children_) {
      if (child->align_ != pass || !child->visible_) continue;
      const TMargins m = child->align_with_margins_ ? child->margins_ : TMargins{0, 0, 0, 0};
      const int width = area.Width - m.Left - m.Right;
      const int height = area.Height - m.Top - m.Bottom;
      const std::optional<TSize> wanted = child->AutoSize(width);
      TRect rect;
      switch (pass) {
        case TAlign::alTop: {
          const int h = wanted ? wanted->Height : child->bounds_.Height;
          rect = {area.Left + m.Left, area.Top + m.Top, width, h};
          area = area.Shrunk(0, h + m.Top + m.Bottom, 0, 0);
          break;
        }
        case TAlign::alBottom: {
          const int h = wanted ? wanted->Height : child->bounds_.Height;
          rect = {area.Left + m.Left, area.Bottom() - m.Bottom - h, width, h};
          area = area.Shrunk(0, 0, 0, h + m.Top + m.Bottom);
          break;
        }
        case TAlign::alLeft: {
          const int w = wanted ? wanted->Width : child->bounds_.Width;
          rect = {area.Left + m.Left, area.Top + m.Top, w, height};
          area = area.Shrunk(w + m.Left + m.Right, 0, 0, 0);
          break;
        }
        case TAlign::alRight: {
          const int w = wanted ? wanted->Width : child->bounds_.Width;
          rect = {area.Right() - m.Right - w, area.Top + m.Top, w, height};
          area = area.Shrunk(0, 0, w + m.Left + m.Right, 0);
          break;
        }
        default:
          rect = {area.Left + m.Left, area.Top + m.Top, width, height};
          break;
      }
      if (rect != child->bounds_) child->ApplyBounds(rect);
    }
  }
  // Auto-sized controls that are not aligned keep their place and take their size.
  for (TRuxCustomControl* child : children_) {
    if (child->align_ != TAlign::alNone) continue;
    if (const std::optional<TSize> wanted = child->AutoSize(child->bounds_.Width)) {
      const TRect rect{child->bounds_.Left, child->bounds_.Top, wanted->Width, wanted->Height};
      if (rect != child->bounds_) child->ApplyBounds(rect);
    }
  }
  realigning_ = false;
}

void TRuxCustomControl::SetVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (!visible_) {
    if (TRuxForm* form = Form(); form && form != this) form->ControlHidden(this);
  }
  NotifyPeer(TAspect::kVisible);
  if (parent_ && align_ != TAlign::alNone) parent_->Realign();
  VisibleChanged();
}

void TRuxCustomControl::VisibleChanged() {
  if (OnVisibleChanged) OnVisibleChanged();
}

bool TRuxCustomControl::Showing() const {
  if (!visible_) return false;
  if (parent_) return parent_->Showing();
  if (Kind() != TControlKind::kForm) return false;
  const auto& form = static_cast<const TRuxForm&>(*this);
  return form.IsShown() && !form.Closed();
}

void TRuxCustomControl::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (!enabled_) {
    if (TRuxForm* form = Form(); form && form != this) form->ControlHidden(this);
  }
  NotifyPeer(TAspect::kEnabled);
}

bool TRuxCustomControl::EnabledInTree() const {
  for (const TRuxCustomControl* c = this; c; c = c->parent_)
    if (!c->enabled_) return false;
  return true;
}

void TRuxCustomControl::SetCaption(StringView caption) {
  if (caption == caption_) return;
  caption_ = String(caption);
  NotifyPeer(TAspect::kCaption);
  if (parent_) parent_->Realign();  // an auto-sized control takes the new text's size
}

Char TRuxCustomControl::AccessKey() const {
  for (size_t i = 0; i + 1 < caption_.size(); ++i) {
    if (caption_[i] != u'&') continue;
    if (caption_[i + 1] == u'&') {
      ++i;
      continue;
    }
    const String key = UpperCase(String(1, caption_[i + 1]));
    return key.empty() ? 0 : key[0];
  }
  return 0;
}

void TRuxCustomControl::SetFont(const TFont& font) {
  if (font == font_) return;
  font_ = font;
  NotifyPeer(TAspect::kFont);
  if (parent_) parent_->Realign();
}

void TRuxCustomControl::SetColor(std::optional<TColor> color) {
  color_ = color;
  NotifyPeer(TAspect::kColors);
}

TColor TRuxCustomControl::BackgroundAt(const TRect&) const {
  if (color_) return *color_;
  if (parent_) return parent_->BackgroundAt(bounds_);
  return TColor::Rgb(255, 255, 255);
}

TColor TRuxCustomControl::DefaultTextColor() const {
  if (parent_) return parent_->DefaultTextColor();
  return TColor::Rgb(0, 0, 0);
}

void TRuxCustomControl::SetTabOrder(int order) {
  tab_order_ = order;
  NotifyPeer(TAspect::kTabOrder);
}

String TRuxCustomControl::AccessibleName() const {
  return accessible_name_ ? *accessible_name_ : StripAccessKeys(caption_);
}

void TRuxCustomControl::SetAccessibleName(StringView name) {
  accessible_name_ = String(name);
  NotifyPeer(TAspect::kAccessibility);
}

bool TRuxCustomControl::CanFocus() const {
  return TabStop() && Showing() && EnabledInTree();
}

void TRuxCustomControl::SetFocus() {
  TRuxForm* form = Form();
  if (!form || !CanFocus()) return;
  form->SetActiveControl(this);
  if (peer_) peer_->SetFocus();
}

bool TRuxCustomControl::Focused() const {
  const TRuxForm* form = Form();
  return form && form->ActiveControl() == this;
}

void TRuxCustomControl::Paint(ICanvas&) {}

void TRuxCustomControl::Invalidate() {
  if (peer_) peer_->Invalidate();
}

void TRuxCustomControl::NotifyPeer(TAspect aspect) {
  if (peer_) peer_->Changed(aspect);
}

void TRuxCustomControl::CreatePeers() {
  TRuxForm* form = Form();
  if (!form || !form->IsShown() || peers_made_) return;
  if (parent_ && !parent_->peers_made_) return;  // they come with the parent's
  peers_made_ = true;
  peer_ = form->Backend().CreatePeer(*this);
  // Children in their tab order (the order the keyboard visits them), the rest after.
  std::vector<TRuxCustomControl*> ordered = children_;
  std::stable_sort(ordered.begin(), ordered.end(),
                   [](const TRuxCustomControl* a, const TRuxCustomControl* b) {
                     const int x = a->tab_order_ < 0 ? 1 << 30 : a->tab_order_;
                     const int y = b->tab_order_ < 0 ? 1 << 30 : b->tab_order_;
                     return x < y;
                   });
  for (TRuxCustomControl* child : ordered)
    child->CreatePeers();
}

void TRuxCustomControl::DestroyPeers() {
  for (TRuxCustomControl* child : children_)
    child->DestroyPeers();
  peer_.reset();
  peers_made_ = false;
}

void TRuxCustomControl::DpiChanged(int old_dpi, int new_dpi) {
  NotifyPeer(TAspect::kBounds);
  NotifyPeer(TAspect::kFont);
  for (TRuxCustomControl* child : children_)
    child->DpiChanged(old_dpi, new_dpi);
}

}  // namespace nolu::ui
