// TSetupScript: the setup script "Install.xml", read once and afterwards only queried.
//
// From the document's root element (its own name is not looked at), names matched ignoring
// ASCII case:
//   root/setup/license          -> License (group rule; first child of each name)
//   root/product/Components     -> Components  } group rule; each occurrence appends,
//   root/product/Actions        -> Actions     } in document order
//   root/product/Shortcuts      -> Shortcuts   }
//   root/product/Settings/*     -> Settings: one line name "=" value per child, from its
//                                  attributes "name" and "value"
// Everything else is ignored. A document without a root element gives an empty script.
#pragma once

#include "base/stream.h"
#include "base/xml_document.h"
#include "resources/setup_script_group.h"

namespace nolu {

class TSetupScript {
 public:
  // Parses the stream as XML and fills the script. Malformed text fills it with what was
  // read before the fault; a second top-level element or a binary XML form raises
  // ERuxXMLDocument.
  void LoadFromStream(TStream& stream);
  // Fills the script from a parsed document, replacing what it held.
  void LoadFromDocument(const TRuxXMLDocument& document);

  const TSetupScriptGroup& Actions() const { return actions_; }
  const TSetupScriptGroup& Components() const { return components_; }
  const TSetupScriptGroup& License() const { return license_; }
  const TSetupScriptGroup& Shortcuts() const { return shortcuts_; }
  // One line per setting, name "=" value, in document order.
  const StringList& Settings() const { return settings_; }

  // The value of the last setting whose name (the text before the line's first "=") equals
  // `name` ignoring case; empty when there is none.
  String GetSetting(StringView name) const;

 private:
  void Clear();

  TSetupScriptGroup actions_;
  TSetupScriptGroup components_;
  TSetupScriptGroup license_;
  TSetupScriptGroup shortcuts_;
  StringList settings_;
};

}  // namespace nolu
