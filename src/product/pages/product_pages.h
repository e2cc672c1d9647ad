// The product's own wizard pages: the destination and mode, the add-on offer, the
// integration choices and the removal choices. They sit above the user interface (they are
// its pages) and register into the page-class table the user interface owns, beside the
// standard pages, under the class names the product information hands to the wizard.
#pragma once

#include "ui/pages/setup_page_class_table.h"

namespace nolu::ui {

void RegisterProductPages(TSetupPageClassTable& table);

}  // namespace nolu::ui
