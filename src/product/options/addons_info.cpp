#include "product/options/addons_info.h"

#include "base/locale.h"
#include "resources/setup_resources.h"

namespace nolu {

TAddonsInfo TAddonsInfo::Load(const TSetupResources& resources) {
  return TAddonsInfo(resources.GetStringList(u"addons.ini"));
}

String TAddonsInfo::Value(StringView name) const {
  for (const String& line : lines_) {
    const size_t equals = line.find(u'=');
    if (equals == String::npos) continue;
    if (EqualsIgnoreCase(StringView(line).substr(0, equals), name)) return line.substr(equals + 1);
  }
  return String();
}

}  // namespace nolu
