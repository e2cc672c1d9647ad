// The lines that Nolu's actions add to the ready-to-install summary.
#include <gtest/gtest.h>

#include <vector>

#include "core/setup.h"
#include "core/setup_action.h"
#include "core/setup_summary_builder.h"
#include "core/testing/fake_setup_run.h"
#include "product/actions/setup_action_addons_install.h"
#include "product/actions/setup_action_config.h"
#include "product/actions/setup_action_integrate.h"
#include "product/actions/setup_action_shortcuts.h"
#include "product/actions/setup_action_update_shell_cache.h"
#include "product/testing/product_test_data.h"

namespace nolu {
namespace {

// The summary as the ready-to-install page builds it: each action created, asked, freed.
String Summary(const std::vector<const TSetupActionClass*>& classes) {
  TSetupSummaryBuilder builder;
  for (const TSetupActionClass* cls : classes)
    cls->Create()->PopulateSummary(builder);
  return builder.ToString();
}

TEST(ProductSummaryTest, ActionsDescribeTheChoicesTheyWillCarryOut) {
  const std::vector<const TSetupActionClass*> all = {
      &ActionClassOf<TSetupActionAddonsInstall>(), &ActionClassOf<TSetupActionConfig>(),
      &ActionClassOf<TSetupActionIntegrate>(), &ActionClassOf<TSetupActionShortcuts>(),
      &ActionClassOf<TSetupActionUpdateShellCache>()};
  struct Case {
    const char* what;
    const char16_t* params;
    const char16_t* common;       // lines of the options' section "Common"
    const char16_t* integration;  // lines of "Integration"
    const char16_t* summary;
  } cases[] = {
      {"defaults", u"", u"", u"",
       // "Windows integration:" already ends with a colon and gets no second one.
       u"Windows integration:\r\n * Register Nolu\r\n * Context menu\r\n * Associate files\r\n"
       u"\r\nShortcuts:\r\n * Desktop\r\n * Start menu\r\n"},
      {"add-ons chosen, some integration off", u"",
       u"AddonsViewer=1\r\nAddonsExtensions=0\r\nAddonsShortcuts=1",
       u"IntegrateToWindows=0\r\nShortcutDesktop=0",
       u"Recommended software:\r\n * Viewer\r\n * Viewer shortcuts\r\n"
       u"\r\nWindows integration:\r\n * Context menu\r\n * Associate files\r\n"
       u"\r\nShortcuts:\r\n * Start menu\r\n"},
      {"only the extensions add-on", u"", u"AddonsExtensions=1",
       u"IntegrateToWindows=0\r\nRegisterContextMenu=0\r\nAssociateWithFiles=0\r\n"
       u"ShortcutDesktop=0\r\nShortcutStartMenu=0",
       u"Recommended software:\r\n * Open pictures\r\n"},
      // Portable: no shortcuts unless asked for; the integration defaults stay on.
      {"portable defaults", u"/PORTABLE", u"", u"",
       u"Windows integration:\r\n * Register Nolu\r\n * Context menu\r\n * Associate files\r\n"},
      {"portable, desktop asked for", u"/PORTABLE", u"",
       u"IntegrateToWindows=0\r\nRegisterContextMenu=0\r\nAssociateWithFiles=0\r\n"
       u"ShortcutDesktop=1",
       u"Shortcuts:\r\n * Desktop\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TFakeSetupRun run;
    run.Data() = ProductTestData();
    TSetup& setup = run.Create(u"/AUTO=\"C:\\Nolu\" " + String(c.params));
    setup.Options().WriteSectionText(u"Common", c.common);
    setup.Options().WriteSectionText(u"Integration", c.integration);
    EXPECT_EQ(StringToUtf8(Summary(all)), StringToUtf8(c.summary));
  }
}

}  // namespace
}  // namespace nolu
