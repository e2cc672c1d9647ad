// TextImportSettings: what the markup importer recognises in a text.
#pragma once

#include "base/text.h"

namespace nolu {

struct TextImportSettings {
  // The five switches, with the defaults of a text layout.
  bool AutoDetectEmails = false;     // words that are e-mail addresses become "mailto:" links
  bool AutoDetectTimeCodes = false;  // words that are time codes become "time:" links
  bool AutoDetectURLs = true;        // words that are web addresses become links
  bool LineBreakEscapes = true;      // the two characters "\" and "n" make a line break
  bool Tags = true;                  // bracket tags are recognised

  // The decimal separator of the user's number format, for the factors of "SIZE" (a point
  // is read as well, so that a text reads the same on every machine). A formatted label
  // takes it from UserDecimalSeparator() (base/locale.h).
  Char DecimalSeparator = u'.';
};

}  // namespace nolu
