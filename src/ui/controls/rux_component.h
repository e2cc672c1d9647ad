// TRuxComponent: the base of every toolkit object that has an owner and a name.
//
// The owner owns its components: it frees them when it is freed, in the reverse order of
// their creation. The component name is what a page looks its captions up by (a page's
// controls are named "L1", "CB1", ...), so Components() keeps creation order.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "base/text.h"

namespace nolu::ui {

class TRuxComponent {
 public:
  TRuxComponent() = default;
  virtual ~TRuxComponent();
  TRuxComponent(const TRuxComponent&) = delete;
  TRuxComponent& operator=(const TRuxComponent&) = delete;

  const String& Name() const { return name_; }
  void SetName(StringView name) { name_ = String(name); }
  TRuxComponent* Owner() const { return owner_; }

  // Creates a component owned by this one.
  template <class T, class... Args>
  T& CreateComponent(Args&&... args) {
    auto component = std::make_unique<T>(std::forward<Args>(args)...);
    T& result = *component;
    InsertComponent(std::move(component));
    return result;
  }
  // Takes ownership of `component`.
  void InsertComponent(std::unique_ptr<TRuxComponent> component);
  // Frees an owned component now; nothing when this object does not own it.
  void FreeComponent(TRuxComponent* component);
  const std::vector<std::unique_ptr<TRuxComponent>>& Components() const { return components_; }

  // Visits this component and then, depth first, every component it owns, in creation order.
  void ForEachOwned(const std::function<void(TRuxComponent&)>& visit);

  // Whether the class has a caption that a page's localization fills (buttons, labels, check
  // boxes; not edits, memos or progress bars).
  virtual bool HasCaption() const { return false; }
  virtual void SetCaption(StringView) {}

 protected:
  // Frees the owned components now (the last created first).
  void FreeComponents();

 private:
  String name_;
  TRuxComponent* owner_ = nullptr;
  std::vector<std::unique_ptr<TRuxComponent>> components_;
};

}  // namespace nolu::ui
