// TAddonsInfo: the description of the optional add-on installer, the entry "addons.ini" of the
// setup package. Its lines are name=value pairs:
//   P1, P2, P3  command-line pieces (no associations; the viewer; its shortcuts)
//   P4          the installer's entry in the packages, also its file name
//   CL          the installer's parameters: a format with one "%s" for the chosen pieces
//   I0, L0..L2  the add-on page's picture and texts
#pragma once

#include "base/text.h"

namespace nolu {

class TSetupResources;

class TAddonsInfo {
 public:
  explicit TAddonsInfo(StringList lines) : lines_(std::move(lines)) {}
  // Reads "addons.ini"; raises EInstallerInstallError "Cannot locate ..." when it is missing.
  static TAddonsInfo Load(const TSetupResources& resources);

  // The text after the first "=" of the first line whose name (the text before it) equals
  // `name` ignoring case; empty when there is none.
  String Value(StringView name) const;

 private:
  StringList lines_;
};

}  // namespace nolu
