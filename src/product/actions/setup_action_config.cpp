#include "product/actions/setup_action_config.h"

#include "core/ini_file_io.h"
#include "core/setup.h"
#include "platform/platform.h"
#include "product/options/product_options.h"
#include "resources/setup_resources.h"

namespace nolu {

void TSetupActionConfig::Execute() {
  SetStatus(GetCommonString(u"A6"));
  TSetup& setup = *Setup();
  const String path = setup.DestPath() + u"Nolu.ini";
  TRuxIniFile config;
  if (!LoadIniFile(config, path) && CurrentPlatform().Files().FileExists(path)) {
    return;  // unreadable: replacing it would lose the user's settings in it
  }
  CopyIntegrationSection(Options(), config);
  // The section holds exactly these four keys: whatever an earlier copy kept there goes.
  config.DeleteSection(u"System");
  config.WriteString(u"System", u"ID", CurrentPlatform().System().CreateGuid().ToString());
  config.WriteString(u"System", u"DefaultLang", Resources().LanguageName() + u".lng");
  config.WriteBool(u"System", u"UserMode", (setup.Flags() & sfPortable) == 0);
  config.WriteInteger(u"System", u"Version", ProductInfo().GetProductVersionId());
  SaveIniFile(config, path);  // best effort, see the header
}

}  // namespace nolu
