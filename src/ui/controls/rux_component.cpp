#include "ui/controls/rux_component.h"

#include <algorithm>

namespace nolu::ui {

TRuxComponent::~TRuxComponent() {
  FreeComponents();
}

void TRuxComponent::FreeComponents() {
  while (!components_.empty()) {
    // Out of the list before it goes, so that it cannot be found while it is freed.
    std::unique_ptr<TRuxComponent> last = std::move(components_.back());
    components_.pop_back();
    last.reset();
  }
}

void TRuxComponent::InsertComponent(std::unique_ptr<TRuxComponent> component) {
  component->owner_ = this;
  components_.push_back(std::move(component));
}

void TRuxComponent::FreeComponent(TRuxComponent* component) {
  auto it = std::find_if(components_.begin(), components_.end(),
                         [&](const auto& owned) { return owned.get() == component; });
  if (it == components_.end()) return;
  std::unique_ptr<TRuxComponent> freed = std::move(*it);
  components_.erase(it);
  freed.reset();
}

void TRuxComponent::ForEachOwned(const std::function<void(TRuxComponent&)>& visit) {
  visit(*this);
  // By index: a visit may create components (they are visited too).
  for (size_t i = 0; i < components_.size(); ++i)
    components_[i]->ForEachOwned(visit);
}

}  // namespace nolu::ui
