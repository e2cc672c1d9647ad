#include "resources/setup_script_group.h"

#include "base/locale.h"

namespace nolu {

void TSetupScriptGroup::Load(const TRuxXMLNode& element) {
  if (element.Count() == 0) {
    if (!element.Text().empty()) Add({element.Text(), {}, {}});
    return;
  }
  for (size_t i = 0; i < element.Count(); ++i)
    LoadItem(element.Child(i));
}

void TSetupScriptGroup::LoadItem(const TRuxXMLNode& element) {
  if (!EqualsAsciiIgnoreCase(element.Name(), u"File")) return;
  Add({element.GetAttribute(u"name"), element.Text(), element.GetAttribute(u"lang-family")});
}

bool TSetupScriptGroup::Find(StringView lang_family, const TSetupScriptFile*& file) const {
  for (const TSetupScriptFile& item : items_) {
    if (item.LangFamily.empty() || EqualsIgnoreCase(item.LangFamily, lang_family)) {
      file = &item;
      return true;
    }
  }
  return false;
}

}  // namespace nolu
