#include "resources/setup_resources.h"

#include <algorithm>

#include "base/format.h"
#include "base/locale.h"
#include "base/localization_info.h"
#include "base/natural_compare.h"
#include "base/path.h"
#include "base/read_only_memory_stream.h"
#include "base/text_encoding.h"
#include "platform/platform.h"
#include "resources/installer_errors.h"

namespace nolu {
namespace {

constexpr size_t kMaxComponentLength = 260;

String FolderOrTemp(Csidl csidl) {
  TPlatform& platform = CurrentPlatform();
  String path;
  if (!platform.Shell().SpecialFolder(csidl, path) || path.empty()) {
    path = platform.Files().TempFolder();
  }
  return IncludeTrailingBackslash(path);
}

[[noreturn]] void RaiseNotFound(StringView name) {
  throw EInstallerInstallError(
      Format(u"Cannot locate \"%s\" file in setup archive", {String(name)}));
}

std::unique_ptr<TSetupPackageReader> ReadResourcePackage(StringView name) {
  TReadOnlyMemoryStream source(RcDataOrRaise(name));
  return std::make_unique<TSetupPackageReader>(source);
}

std::unique_ptr<TDeferredSetupPackage> OpenProductPackage() {
  if (IsUninstallerExe()) {
    // A few hundred bytes: decoded at once.
    const String data_file = ChangeFileExt(CurrentPlatform().System().ModuleFileName(), u".dat");
    std::unique_ptr<TStream> source = OpenFileOrRaise(data_file, FileMode::kOpenRead);
    return std::make_unique<TDeferredSetupPackage>(std::make_unique<TSetupPackageReader>(*source));
  }
  RcDataOrRaise(u"PRODUCT");  // "Resource PRODUCT not found" before anything else
  const std::optional<std::span<const uint8_t>> table =
      CurrentPlatform().Resources().RcData(kProductTableResource);
  if (!table) {
    return std::make_unique<TDeferredSetupPackage>(ReadResourcePackage(u"PRODUCT"));
  }
  // The resource lives as long as the program: the decoding reads it in place.
  return std::make_unique<TDeferredSetupPackage>(
      CurrentPlatform().Resources().OpenRcData(u"PRODUCT"), *table);
}

// The root of a path: "C:", a server "\\server", the long forms "\\?\C:" and
// "\\?\UNC\server", or none.
StringView PathRoot(StringView path) {
  if (StartsWith(path, u"\\\\?\\")) {
    size_t end = path.find(u'\\', 4);
    if (end != StringView::npos && EqualsIgnoreCase(path.substr(4, end - 4), u"UNC")) {
      end = path.find(u'\\', end + 1);
    }
    return path.substr(0, end == StringView::npos ? path.size() : end);
  }
  if (path.size() >= 2 && path[1] == u':') return path.substr(0, 2);
  if (StartsWith(path, u"\\\\")) {
    const size_t next = path.find(u'\\', 2);
    return path.substr(0, next == StringView::npos ? path.size() : next);
  }
  return {};
}

String CleanComponent(StringView component) {
  String out;
  out.reserve(component.size());
  for (Char c : component) {
    if (c == u'"') {
      out.push_back(u'\'');
    } else if (c >= 0x20 && String(u"\\<>*:?|/").find(c) == String::npos) {
      out.push_back(c);
    }
  }
  size_t begin = 0;
  while (begin < out.size() && (out[begin] == u' ' || out[begin] == u'.'))
    ++begin;
  size_t end = out.size();
  while (end > begin && out[end - 1] == u' ')
    --end;
  out = out.substr(begin, end - begin);
  if (out.size() > kMaxComponentLength) out.resize(kMaxComponentLength);
  return out;
}

}  // namespace

bool IsUninstallerExe() {
  return EqualsIgnoreCase(ExtractFileName(CurrentPlatform().System().ModuleFileName()),
                          u"Uninstall.exe");
}

bool IsUninstallerWithRecord() {
  return IsUninstallerExe() && OpenProductPackage()->Contains(u"Uninstall.ini");
}

String CleanPath(StringView path) {
  const StringView root = PathRoot(path);
  String out(root);
  if (!root.empty()) out.push_back(u'\\');
  out += CleanRelativePath(path.substr(root.size()));
  if (EndsWith(path, u"\\") && !EndsWith(out, u"\\")) out.push_back(u'\\');
  return out;
}

String CleanRelativePath(StringView path) {
  StringList parts;
  for (size_t pos = 0; pos <= path.size();) {
    size_t next = path.find(u'\\', pos);
    if (next == StringView::npos) next = path.size();
    String part = CleanComponent(path.substr(pos, next - pos));
    if (!part.empty()) parts.push_back(std::move(part));
    pos = next + 1;
  }
  String out = JoinStrings(parts, u"\\");
  if (!out.empty() && EndsWith(path, u"\\")) out.push_back(u'\\');
  return out;
}

TSetupResources::TSetupResources(ISetupRunContext& run) : run_(run) {
  // The product package first, so that its decoding runs while the rest is read.
  product_package_ = OpenProductPackage();
  setup_package_ = ReadResourcePackage(u"SETUP");
  script_.LoadFromStream(*GetStream(u"Install.xml"));

  const TSetupPackageFileTable& table = setup_package_->FileTable();
  for (int i = 0; i < table.Count(); ++i) {
    const String& name = table.Items(i).Name;
    if (EqualsIgnoreCase(ExtractFileExt(name), u".lng")) languages_.push_back(name);
  }
  SortLogical(languages_);

  desktop_folder_ = FolderOrTemp(Csidl::kCommonDesktopDirectory);
  // The product is installed as a 32-bit program would be: its programs folder is the
  // 32-bit one ("Program Files (x86)" on 64-bit Windows).
  programs_folder_ = FolderOrTemp(Csidl::kProgramFilesX86);
  native_programs_folder_ = ReplaceAll(programs_folder_, u" (x86)", u"");
  start_menu_folder_ = FolderOrTemp(Csidl::kCommonPrograms);
}

void TSetupResources::InitializeLanguages(const TLanguageChooser& chooser) {
  strings_.LoadFromStream(*GetStream(u"English.lng"));

  const std::vector<TLanguageItem> items = LanguageItems();
  const int preselected =
      PreselectedItem(items, CurrentPlatform().System().UserDefaultUILanguage());
  int index = -1;
  if (chooser) {
    index = chooser(items, preselected);
  } else if (preselected >= 0) {
    index = items[preselected].Index;
  }
  const String choice = index >= 0 && index < static_cast<int>(languages_.size())
                            ? languages_[index]
                            : String(u"English.lng");

  TRuxIniFile language;
  language.LoadFromStream(*GetStream(choice));
  language_name_ = ChangeFileExt(ExtractFileName(choice), u"");
  strings_.Merge(language, /*overwrite=*/true);
}

std::vector<TLanguageItem> TSetupResources::LanguageItems() const {
  std::vector<TLanguageItem> items;
  TRuxIniFile file;
  for (size_t i = 0; i < languages_.size(); ++i) {
    std::unique_ptr<TMemoryStream> stream;
    if (!setup_package_->Extract(languages_[i], stream)) continue;
    file.LoadFromStream(*stream);
    TRuxLocalizationInfo info;
    TLanguageItem item;
    LangGetInfo(file, info, &item.Icon);
    item.Name = info.Name;
    item.LangId = info.LangId;
    item.Index = static_cast<int>(i);
    // Ordered by the displayed name; an equal name goes after the ones already there.
    auto at = std::upper_bound(items.begin(), items.end(), item,
                               [](const TLanguageItem& a, const TLanguageItem& b) {
                                 return CompareIgnoreCase(a.Name, b.Name) < 0;
                               });
    items.insert(at, std::move(item));
  }
  return items;
}

int TSetupResources::PreselectedItem(const std::vector<TLanguageItem>& items,
                                     uint16_t ui_language) {
  if (items.empty()) return -1;
  for (int wanted : {static_cast<int>(ui_language), 1033}) {
    for (size_t i = 0; i < items.size(); ++i) {
      if (items[i].LangId == wanted) return static_cast<int>(i);
    }
  }
  return 0;
}

std::unique_ptr<TMemoryStream> TSetupResources::GetStream(StringView name) const {
  const std::span<const uint8_t> bytes = GetBytes(name);
  return std::make_unique<TMemoryStream>(Bytes(bytes.begin(), bytes.end()));
}

std::span<const uint8_t> TSetupResources::GetBytes(StringView name) const {
  std::span<const uint8_t> bytes;
  if (product_package_->ExtractBytes(name, bytes) || setup_package_->ExtractBytes(name, bytes)) {
    return bytes;
  }
  RaiseNotFound(name);
}

std::span<const uint8_t> TSetupResources::GetDecodedBytes(StringView name) const {
  std::span<const uint8_t> bytes;
  if (product_package_->WaitForEntry(name, bytes) || setup_package_->ExtractBytes(name, bytes)) {
    return bytes;
  }
  RaiseNotFound(name);
}

StringList TSetupResources::GetStringList(StringView name) const {
  std::unique_ptr<TMemoryStream> stream = GetStream(name);
  TextEncoding encoding;
  const String text = DecodeText(
      std::string_view(reinterpret_cast<const char*>(stream->Data()), stream->Bytes().size()),
      encoding);
  return SplitLines(text);
}

TPicture TSetupResources::GetImage(StringView name) const {
  TPicture picture;
  if (!CurrentPlatform().Pictures().Decode(GetBytes(name), picture)) {
    throw EInstallerInstallError(Format(u"Cannot read the picture \"%s\"", {String(name)}));
  }
  return picture;
}

int TSetupResources::GetAnsiCodePage() const {
  return strings_.ReadInteger(u"File", u"ANSICP", 0);
}

String TSetupResources::GetLanguageFamily() const {
  return strings_.ReadString(u"File", u"Family", u"EN");
}

std::unique_ptr<TMemoryStream> TSetupResources::GetLicenseStream() const {
  const TSetupScriptFile* file = nullptr;
  if (!script_.License().Find(GetLanguageFamily(), file) && !script_.License().Find(u"EN", file)) {
    return nullptr;
  }
  return GetStream(file->Name);
}

String TSetupResources::GetString(StringView section, StringView key) const {
  return ExpandVariables(strings_.ReadString(section, key, u""));
}

String TSetupResources::GetString(StringView section, StringView key, StringView fallback) const {
  const String text = strings_.ReadString(section, key, u"");
  return ExpandVariables(text.empty() ? fallback : StringView(text));
}

String TSetupResources::ExpandVariables(StringView text) const {
  return ReplaceVariables(ReplaceAll(text, u"\\n", u"\r\n"));
}

String TSetupResources::ReplaceVariables(StringView text) const {
  String out(text);
  // Every call asks for every value, so an error in one (an empty product name) surfaces from
  // any lookup, as it would from the real use.
  const std::pair<const char16_t*, String> variables[] = {
      {u"$DEST", run_.DestPath()},
      {u"$TEMP", IncludeTrailingBackslash(CurrentPlatform().Files().TempFolder())},
      {u"$LINK", run_.HomePage()},
      {u"$NAME", run_.ProductName()},
      {u"$VERSION", run_.VersionInfo()},
      {u"$DESKTOP", desktop_folder_},
      {u"$STARTMENU", start_menu_folder_},
      {u"$PROGRAMS", programs_folder_},
  };
  for (const auto& [name, value] : variables)
    out = ReplaceAll(out, name, value);
  return out;
}

String TSetupResources::ExpandPath(StringView text) const {
  // A path holds no line breaks: its "\n" is a separator before a name ("$DEST\nolu.dll").
  const String expanded = ReplaceVariables(text);
  // The folders of the run are names the system gave or took as they are; cleaned, a
  // destination "C:\Users\U\.apps\" would lose its dot for the script's files but not for the
  // uninstaller, the configuration or the record. Only what the script adds below is cleaned.
  const String dest = run_.DestPath();
  const String temp = IncludeTrailingBackslash(CurrentPlatform().Files().TempFolder());
  StringView folder;
  for (const String* candidate :
       {&dest, &temp, &desktop_folder_, &start_menu_folder_, &programs_folder_}) {
    if (EndsWith(*candidate, u"\\") && candidate->size() > folder.size() &&
        PathStartsWith(expanded, *candidate)) {
      folder = *candidate;
    }
  }
  if (folder.empty()) return CleanPath(expanded);
  return String(expanded.substr(0, folder.size())) +
         CleanRelativePath(StringView(expanded).substr(folder.size()));
}

}  // namespace nolu
