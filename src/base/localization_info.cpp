#include "base/localization_info.h"

namespace nolu {

void LangGetInfo(const TRuxIniFile& file, TRuxLocalizationInfo& info, Bytes* icon) {
  info.Author = file.ReadString(u"File", u"Author", {});
  info.LangId = file.ReadInteger(u"File", u"LangId", 0);
  info.Name = file.ReadString(u"File", u"Name", {});
  info.VersionId = file.ReadInteger(u"File", u"VersionId", 0);
  if (icon && !file.ReadBytes(u"File", u"Icon", *icon)) icon->clear();
}

}  // namespace nolu
