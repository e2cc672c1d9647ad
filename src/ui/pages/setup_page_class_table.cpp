#include "ui/pages/setup_page_class_table.h"

namespace nolu::ui {

void TSetupPageClassTable::Register(StringView class_name, TFactory factory) {
  factories_[String(class_name)] = std::move(factory);
}

std::unique_ptr<TSetupCustomPage> TSetupPageClassTable::Create(StringView class_name,
                                                               TSetupPageContext& context) const {
  auto it = factories_.find(class_name);
  if (it == factories_.end()) return nullptr;
  return it->second(context);
}

bool TSetupPageClassTable::Contains(StringView class_name) const {
  return factories_.find(class_name) != factories_.end();
}

}  // namespace nolu::ui
