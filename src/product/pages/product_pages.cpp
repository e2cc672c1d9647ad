#include "product/pages/product_pages.h"

#include "product/pages/setup_page_addons.h"
#include "product/pages/setup_page_integration.h"
#include "product/pages/setup_page_setup.h"
#include "product/pages/setup_page_uninstall_params.h"

namespace nolu::ui {

void RegisterProductPages(TSetupPageClassTable& table) {
  table.Register<TSetupPageSetup>();
  table.Register<TSetupPageAddons>();
  table.Register<TSetupPageIntegration>();
  table.Register<TSetupPageUninstallParams>();
}

}  // namespace nolu::ui
