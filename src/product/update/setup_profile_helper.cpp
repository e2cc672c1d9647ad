#include "product/update/setup_profile_helper.h"

#include "base/path.h"
#include "core/setup.h"

namespace nolu {

String TSetupProfileHelper::GetProfilePath(StringView app_data, int version) {
  TSetup& setup = *Setup();
  if (app_data.empty()) return setup.DestPath() + u"Profile\\";
  const String name = version >= kProductNamedProfileVersion ? setup.ProductInfo().GetProductName()
                                                             : String(u"Nolu3");
  return IncludeTrailingBackslash(app_data) + name + u'\\';
}

}  // namespace nolu
