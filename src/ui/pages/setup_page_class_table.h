// TSetupPageClassTable: the page classes the wizard can make, by class name.
//
// The product names its pages (TSetupPageClass of the core); the wizard looks each name up
// here and ignores the names it does not know. The standard pages register themselves
// through RegisterStandardPages; a product's own pages (a library above this one) register
// into the same table. The table is an object that the user interface owns, not a global.
#pragma once

#include <functional>
#include <map>
#include <memory>

#include "base/text.h"
#include "ui/pages/setup_custom_page.h"

namespace nolu::ui {

class TSetupPageClassTable {
 public:
  using TFactory = std::function<std::unique_ptr<TSetupCustomPage>(TSetupPageContext&)>;

  void Register(StringView class_name, TFactory factory);
  // The page class `T` (with its kClassName); its pages are initialized after construction.
  template <class T>
  void Register() {
    Register(T::kClassName, [](TSetupPageContext& context) -> std::unique_ptr<TSetupCustomPage> {
      auto page = std::make_unique<T>(context);
      page->Initialize();
      return page;
    });
  }
  // A new page of the class, or none when the name is unknown.
  std::unique_ptr<TSetupCustomPage> Create(StringView class_name, TSetupPageContext& context) const;
  bool Contains(StringView class_name) const;

 private:
  std::map<String, TFactory, std::less<>> factories_;
};

// The pages of this layer: welcome, license, ready-to-install, install and uninstall
// progress, and the two finish pages.
void RegisterStandardPages(TSetupPageClassTable& table);

}  // namespace nolu::ui
