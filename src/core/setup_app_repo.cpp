#include "core/setup_app_repo.h"

#include "base/path.h"
#include "platform/error_codes.h"
#include "platform/platform.h"

namespace nolu {
namespace {

constexpr StringView kUninstallKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

TRegKey EntryKey(StringView key_name, RegView view) {
  return TRegKey(RegRoot::kLocalMachine, view, kUninstallKey).Child(key_name);
}

// "yyyyMMdd", the form the system's programs list sorts and shows.
String InstallDate() {
  const TDateTime now = CurrentPlatform().System().LocalTime();
  return ZeroPadded(now.Year, 4) + ZeroPadded(now.Month, 2) + ZeroPadded(now.Day, 2);
}

// What deployment tools run to remove the product without a window.
// The program's path in quotes. Appended, not concatenated: GCC 12 warns of an impossible
// overlap inside `u"\"" + String(...)` once it is inlined (GCC bug 105651).
String QuotedProgram(StringView uninstall_exe) {
  String command = u"\"";
  command += uninstall_exe;
  command += u"\"";
  return command;
}

String QuietUninstallCommand(StringView uninstall_exe) {
  return QuotedProgram(uninstall_exe) + u" /AUTO /SILENT";
}

// The programs list shows the size from KiB; a part of one counts whole, and a size beyond a
// DWORD (4 TiB) is shown as the largest one.
uint32_t SizeInKiB(uint64_t bytes) {
  const uint64_t kib = bytes / 1024 + (bytes % 1024 != 0);
  return kib > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(kib);
}

// The program path of a command or icon value: other installers (and older versions of the
// product) quote it, and icons may carry ",<index>" after the quoted path.
String ProgramPathOf(StringView value) {
  if (!value.empty() && value.front() == u'"') {
    const size_t end = value.find(u'"', 1);
    return String(value.substr(1, end == StringView::npos ? StringView::npos : end - 1));
  }
  return String(value);
}

// A folder only counts when it is absolute: a relative value would be resolved against
// whatever the current folder happens to be.
bool IsExistingFolder(StringView folder) {
  return !folder.empty() && !IsRelativePath(folder) &&
         CurrentPlatform().Files().FolderExists(folder);
}

bool FindInView(const TRegKey& key, String& path) {
  IRegistry& registry = CurrentPlatform().Registry();
  if (!registry.KeyExists(key)) return false;
  // ReadString gives only REG_SZ and REG_EXPAND_SZ values (unexpanded); others read as empty.
  const String candidates[] = {
      IncludeTrailingBackslash(registry.ReadString(key, u"InstallPath")),
      ExtractFilePath(ProgramPathOf(registry.ReadString(key, u"UninstallString"))),
      ExtractFilePath(ProgramPathOf(registry.ReadString(key, u"DisplayIcon"))),
  };
  for (const String& candidate : candidates) {
    if (IsExistingFolder(candidate)) {
      path = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace

String TSetupAppRepo::KeyName(StringView name) {
  String key;
  key.reserve(name.size());
  for (Char c : name) {
    if (c != u' ') key += c;
  }
  return key;
}

void TSetupAppRepo::Register(StringView name, StringView uninstall_exe, StringView version,
                             StringView publisher, StringView home_page, uint64_t installed_bytes) {
  const String key_name = KeyName(name);
  if (key_name.empty()) return;
  // Nothing of an earlier installation may survive: the entry is replaced as a whole.
  Unregister(name, kEntryView);

  IRegistry& registry = CurrentPlatform().Registry();
  const TRegKey key = EntryKey(key_name, kEntryView);
  // Registration is best effort: an installation without its entry still works.
  if (registry.CreateKey(key) != kErrorSuccess) return;
  const std::pair<StringView, TRegValue> values[] = {
      {u"NoModify", TRegValue::Dword(1)},
      {u"NoRepair", TRegValue::Dword(1)},
      {u"DisplayIcon", TRegValue::Text(uninstall_exe)},
      {u"DisplayName", TRegValue::Text(name)},
      {u"DisplayVersion", TRegValue::Text(version)},
      {u"InstallDate", TRegValue::Text(InstallDate())},
      {u"InstallPath", TRegValue::Text(ExtractFilePath(uninstall_exe))},
      {u"Publisher", TRegValue::Text(publisher)},
      // A command line: unquoted, "D:\Media Apps\Nolu\Uninstall.exe" would make the system
      // start "D:\Media.exe" for whoever removes the product.
      {u"UninstallString", TRegValue::Text(QuotedProgram(uninstall_exe))},
      {u"URLInfoAbout", TRegValue::Text(home_page)},
      {u"InstallLocation", TRegValue::Text(ExtractFilePath(uninstall_exe))},
      {u"QuietUninstallString", TRegValue::Text(QuietUninstallCommand(uninstall_exe))},
      {u"EstimatedSize", TRegValue::Dword(SizeInKiB(installed_bytes))},
  };
  for (const auto& [value_name, value] : values)
    registry.WriteValue(key, value_name, value);
}

void TSetupAppRepo::Unregister(StringView name) {
  Unregister(name, kEntryView);
}

void TSetupAppRepo::Unregister(StringView name, RegView view) {
  const String key_name = KeyName(name);
  // An empty name would name the whole uninstall key.
  if (key_name.empty()) return;
  // Best effort: what cannot be deleted stays, and the caller goes on.
  CurrentPlatform().Registry().DeleteTree(EntryKey(key_name, view));
}

bool TSetupAppRepo::FindInstallPath(StringView name, String& path) {
  RegView view;
  return FindInstallPath(name, path, view);
}

bool TSetupAppRepo::FindInstallPath(StringView name, String& path, RegView& view) {
  const String key_name = KeyName(name);
  if (key_name.empty()) return false;
  for (RegView candidate : {RegView::k32, RegView::k64}) {
    if (FindInView(EntryKey(key_name, candidate), path)) {
      view = candidate;
      return true;
    }
  }
  return false;
}

}  // namespace nolu
