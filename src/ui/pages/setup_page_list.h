// TSetupPageList: the wizard's pages in order; it owns them. Navigation skips the pages that
// are not available at the moment of the step.
#pragma once

#include <memory>
#include <vector>

#include "ui/pages/setup_custom_page.h"

namespace nolu::ui {

class TSetupPageList {
 public:
  // Appends a page and returns it.
  TSetupCustomPage& AddPage(std::unique_ptr<TSetupCustomPage> page);
  TSetupCustomPage* First() const;
  TSetupCustomPage* Last() const;
  int Count() const { return static_cast<int>(pages_.size()); }
  TSetupCustomPage& Items(int index) const { return *pages_.at(static_cast<size_t>(index)); }
  // -1 when the page is not in the list.
  int IndexOf(const TSetupCustomPage* page) const;

  // The first available page after `page` / before it; none when there is none.
  TSetupCustomPage* GetNext(const TSetupCustomPage* page) const;
  TSetupCustomPage* GetPrev(const TSetupCustomPage* page) const;
  // Page given, its CanGoNext (CanGoBack), and an available page after (before) it.
  bool CanGoNextFrom(TSetupCustomPage* page) const;
  bool CanGoBackFrom(TSetupCustomPage* page) const;

  // Frees the pages, the last first.
  void Clear();

 private:
  std::vector<std::unique_ptr<TSetupCustomPage>> pages_;
};

}  // namespace nolu::ui
