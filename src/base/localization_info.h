// The metadata of a language file ("*.lng"): section "File" of an INI text with the keys
// "Name" (display name), "Author", "LangId" (Windows language identifier), "VersionId",
// "Icon" (byte data: an icon file), "ANSICP" and "Family" (for example "EN"). All other
// sections hold the localized strings, addressed by section and key.
#pragma once

#include <cstdint>

#include "base/ini_file.h"
#include "base/text.h"

namespace nolu {

struct TRuxLocalizationInfo {
  String Author;
  int32_t LangId = 0;
  String Name;
  int32_t VersionId = 0;
};

// Fills `info` from section "File" of a loaded language file (missing keys give empty texts
// and 0). With `icon` given, it receives the bytes of "Icon", or is cleared when there are
// none; turning them into a picture is the user interface's business.
void LangGetInfo(const TRuxIniFile& file, TRuxLocalizationInfo& info, Bytes* icon = nullptr);

}  // namespace nolu
