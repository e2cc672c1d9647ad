// TSetupScriptGroup: an ordered list of files read from one group element of the setup
// script (Components, Actions, Shortcuts, License).
//
// The group rule: each child element named "File" (ASCII case ignored) adds one file with
// Name = attribute "name", Value = text content, LangFamily = attribute "lang-family";
// other children are skipped. A group element without child elements but with text gives
// one file whose Name is that text. Loading appends, so several elements of one group add up.
#pragma once

#include <vector>

#include "base/xml_node.h"
#include "resources/setup_script_file.h"

namespace nolu {

class TSetupScriptGroup {
 public:
  TSetupScriptGroup() = default;
  virtual ~TSetupScriptGroup() = default;
  TSetupScriptGroup(const TSetupScriptGroup&) = delete;
  TSetupScriptGroup& operator=(const TSetupScriptGroup&) = delete;

  // Applies the group rule to `element`.
  virtual void Load(const TRuxXMLNode& element);
  // The step for one child element.
  virtual void LoadItem(const TRuxXMLNode& element);

  size_t Count() const { return items_.size(); }
  const TSetupScriptFile& Items(size_t index) const { return items_[index]; }
  // The first file whose LangFamily is empty or equals `lang_family` ignoring case.
  bool Find(StringView lang_family, const TSetupScriptFile*& file) const;

  void Add(TSetupScriptFile file) { items_.push_back(std::move(file)); }
  void Clear() { items_.clear(); }

 private:
  std::vector<TSetupScriptFile> items_;
};

}  // namespace nolu
