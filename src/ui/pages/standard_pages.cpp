#include "ui/pages/setup_page_class_table.h"
#include "ui/pages/setup_page_custom_finish.h"
#include "ui/pages/setup_page_finish.h"
#include "ui/pages/setup_page_install.h"
#include "ui/pages/setup_page_license.h"
#include "ui/pages/setup_page_ready_to_install.h"
#include "ui/pages/setup_page_welcome.h"

namespace nolu::ui {

void RegisterStandardPages(TSetupPageClassTable& table) {
  table.Register<TSetupPageWelcome>();
  table.Register<TSetupPageLicense>();
  table.Register<TSetupPageReadyToInstall>();
  table.Register<TSetupPageInstall>();
  table.Register<TSetupPageUninstall>();
  table.Register<TSetupPageFinish>();
  table.Register<TSetupPageUninstallFinish>();
}

}  // namespace nolu::ui
