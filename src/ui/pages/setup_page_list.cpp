#include "ui/pages/setup_page_list.h"

namespace nolu::ui {

TSetupCustomPage& TSetupPageList::AddPage(std::unique_ptr<TSetupCustomPage> page) {
  pages_.push_back(std::move(page));
  return *pages_.back();
}

TSetupCustomPage* TSetupPageList::First() const {
  return pages_.empty() ? nullptr : pages_.front().get();
}

TSetupCustomPage* TSetupPageList::Last() const {
  return pages_.empty() ? nullptr : pages_.back().get();
}

int TSetupPageList::IndexOf(const TSetupCustomPage* page) const {
  for (size_t i = 0; i < pages_.size(); ++i)
    if (pages_[i].get() == page) return static_cast<int>(i);
  return -1;
}

TSetupCustomPage* TSetupPageList::GetNext(const TSetupCustomPage* page) const {
  const int index = IndexOf(page);
  if (index < 0) return nullptr;
  for (size_t i = static_cast<size_t>(index) + 1; i < pages_.size(); ++i)
    if (pages_[i]->IsAvailable()) return pages_[i].get();
  return nullptr;
}

TSetupCustomPage* TSetupPageList::GetPrev(const TSetupCustomPage* page) const {
  const int index = IndexOf(page);
  for (int i = index - 1; i >= 0; --i)
    if (pages_[static_cast<size_t>(i)]->IsAvailable()) return pages_[static_cast<size_t>(i)].get();
  return nullptr;
}

bool TSetupPageList::CanGoNextFrom(TSetupCustomPage* page) const {
  return page && page->CanGoNext() && GetNext(page);
}

bool TSetupPageList::CanGoBackFrom(TSetupCustomPage* page) const {
  return page && page->CanGoBack() && GetPrev(page);
}

void TSetupPageList::Clear() {
  while (!pages_.empty())
    pages_.pop_back();
}

}  // namespace nolu::ui
