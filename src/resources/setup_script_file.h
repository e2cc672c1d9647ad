// TSetupScriptFile: one "File" entry of a group of the setup script.
#pragma once

#include "base/text.h"

namespace nolu {

struct TSetupScriptFile {
  String Name;        // attribute "name"
  String Value;       // text content
  String LangFamily;  // attribute "lang-family"

  // Value when it is not empty, otherwise the file-name part of Name (the text after the
  // last "\", "/" or ":").
  String ValueOrFileName() const;
};

}  // namespace nolu
