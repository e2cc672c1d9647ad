#include "resources/setup_script.h"

#include "base/locale.h"

namespace nolu {

void TSetupScript::LoadFromStream(TStream& stream) {
  TRuxXMLDocument document;
  document.LoadFromStream(stream);
  LoadFromDocument(document);
}

void TSetupScript::Clear() {
  actions_.Clear();
  components_.Clear();
  license_.Clear();
  shortcuts_.Clear();
  settings_.clear();
}

void TSetupScript::LoadFromDocument(const TRuxXMLDocument& document) {
  Clear();
  const TRuxXMLNode* root = document.Root();
  if (!root) return;
  if (const TRuxXMLNode* setup = root->FindNode(u"setup")) {
    if (const TRuxXMLNode* license = setup->FindNode(u"license")) license_.Load(*license);
  }
  const TRuxXMLNode* product = root->FindNode(u"product");
  if (!product) return;
  for (size_t i = 0; i < product->Count(); ++i) {
    const TRuxXMLNode& child = product->Child(i);
    if (EqualsAsciiIgnoreCase(child.Name(), u"Components")) {
      components_.Load(child);
    } else if (EqualsAsciiIgnoreCase(child.Name(), u"Actions")) {
      actions_.Load(child);
    } else if (EqualsAsciiIgnoreCase(child.Name(), u"Shortcuts")) {
      shortcuts_.Load(child);
    } else if (EqualsAsciiIgnoreCase(child.Name(), u"Settings")) {
      for (size_t k = 0; k < child.Count(); ++k) {
        const TRuxXMLNode& setting = child.Child(k);
        settings_.push_back(setting.GetAttribute(u"name") + u'=' + setting.GetAttribute(u"value"));
      }
    }
  }
}

String TSetupScript::GetSetting(StringView name) const {
  for (auto line = settings_.rbegin(); line != settings_.rend(); ++line) {
    const size_t eq = line->find(u'=');
    if (EqualsIgnoreCase(StringView(*line).substr(0, eq), name)) return line->substr(eq + 1);
  }
  return {};
}

}  // namespace nolu
