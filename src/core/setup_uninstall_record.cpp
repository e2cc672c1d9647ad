#include "core/setup_uninstall_record.h"

#include "base/buffered_stream.h"
#include "base/locale.h"
#include "base/memory_stream.h"
#include "base/path.h"
#include "package/setup_package_builder.h"
#include "package/setup_package_scrambler.h"
#include "platform/file_system.h"
#include "resources/setup_resources.h"

namespace nolu {
namespace {

constexpr StringView kUninstallSection = u"Uninstall";
constexpr StringView kCountKey = u"Count";
constexpr StringView kRecordEntryName = u"Uninstall.ini";

}  // namespace

TSetupUninstallRecord::TSetupUninstallRecord(const TSetupResources& resources, StringView dest_path)
    : resources_(resources), dest_path_(dest_path) {}

void TSetupUninstallRecord::CopyOptions(const TRuxIniFile& options) {
  for (size_t i = 0; i < options.SectionCount(); ++i) {
    const String& name = options.SectionName(i);
    if (options.Section(i).Count() == 0 || EqualsIgnoreCase(name, kUninstallSection)) continue;
    record_.WriteSectionText(name, options.ReadSectionText(name));
  }
}

void TSetupUninstallRecord::AddUninstallEntry(StringView path) {
  String recorded = resources_.ExpandPath(path);
  const int32_t count = record_.ReadInteger(kUninstallSection, kCountKey, 0);
  if (PathStartsWith(recorded, dest_path_)) recorded.erase(0, dest_path_.size());
  record_.WriteString(kUninstallSection, IntToStr(count), recorded);
  record_.WriteInteger(kUninstallSection, kCountKey, count + 1);
}

void TSetupUninstallRecord::BuildUninstallPackage(StringView dat) const {
  TSetupPackageBuilder builder(TSetupPackageScrambler::kDefaultKey);
  TMemoryStream text;
  record_.SaveToStream(text, TextEncoding::kUtf16LE);
  text.SetPosition(0);
  builder.Add(text, kRecordEntryName);

  TBufferedStream file(OpenFileOrRaise(dat, FileMode::kCreate));
  builder.Commit(file, TSetupPackageBuilder::kDefaultLevel);
  // The destructor would swallow a failure of the last write; the record must not be
  // reported as written when the disk refused its tail.
  file.Flush();
}

}  // namespace nolu
