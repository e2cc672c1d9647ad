// setuptool check SETUP_DIR [PRODUCT_DIR] [--json]: what a vendor runs before shipping a
// setup. It reads the two folders the way the packages will carry them (entry names are the
// files' paths below the folder, with "\" between folders, compared ignoring case) and
// reports what would make the setup fail or fall back at run time:
//   errors:   "Install.xml" missing or malformed (with line and column), "ProductName"
//             missing, a Components or License entry in neither folder, no "English.lng",
//             a language file without its "File" section, "Name" or "LangId";
//   warnings: a language that lacks keys "English.lng" has (they fall back to English), a
//             language without "Family", a language file without a byte-order mark that
//             holds non-ASCII bytes (read in the ANSI code page), no license, a
//             "ProductVersionId" that is not an integer.
// Exit code 1 when an error was found, 0 otherwise (warnings alone keep 0), 2 for a wrong
// command line. --json prints the parsed script and the languages' metadata for tools.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

#include "base/format.h"
#include "base/ini_file.h"
#include "base/locale.h"
#include "base/localization_info.h"
#include "base/memory_stream.h"
#include "base/natural_compare.h"
#include "base/xml_document.h"
#include "resources/setup_script.h"
#include "setuptool/commands.h"
#include "setuptool/console.h"

namespace nolu::tool {
namespace {

namespace fs = std::filesystem;

struct Entry {
  String name;  // as the package will name it: "Docs\EN\Readme.txt"
  fs::path path;
};

struct Language {
  String file;
  TRuxLocalizationInfo info;
  String family;
  int32_t ansi_cp = 0;
  bool has_icon = false;
  StringList missing_keys;  // "Section/Key" of English.lng
};

fs::path ToPath(const String& text) {
  return fs::path(std::u16string_view(text));
}

String FromPath(const fs::path& path) {
  return path.u16string();
}

std::string ReadFileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void LoadIni(TRuxIniFile& ini, const std::string& bytes) {
  TMemoryStream stream(Bytes(bytes.begin(), bytes.end()));
  ini.LoadFromStream(stream);
}

std::vector<Entry> ListEntries(const fs::path& root) {
  std::vector<Entry> entries;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
       ++it) {
    if (!it->is_regular_file()) continue;
    String name;
    for (const fs::path& part : fs::relative(it->path(), root)) {
      if (!name.empty()) name += u'\\';
      name += FromPath(part);
    }
    entries.push_back({std::move(name), it->path()});
  }
  return entries;
}

// --------------------------------------------------------------------------- JSON

void AppendJsonString(String& out, StringView text) {
  out += u'"';
  for (Char c : text) {
    if (c == u'"' || c == u'\\') {
      out += u'\\';
      out += c;
    } else if (c < 0x20) {
      static constexpr char16_t kHex[] = u"0123456789abcdef";
      out += u"\\u00";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    } else {
      out += c;
    }
  }
  out += u'"';
}

String JsonString(StringView text) {
  String out;
  AppendJsonString(out, text);
  return out;
}

String JsonStringArray(const StringList& items) {
  String out = u"[";
  for (size_t i = 0; i < items.size(); ++i) {
    if (i) out += u", ";
    AppendJsonString(out, items[i]);
  }
  return out + u"]";
}

// --------------------------------------------------------------------------- the check

class SetupCheck {
 public:
  SetupCheck(fs::path setup_dir, std::optional<fs::path> product_dir)
      : setup_dir_(std::move(setup_dir)), product_dir_(std::move(product_dir)) {}

  void Run();
  void PrintText() const;
  void PrintJson() const;
  bool HasErrors() const { return !errors_.empty(); }

 private:
  const Entry* FindEntry(const std::vector<Entry>& entries, StringView name) const;
  bool InPackages(StringView name) const;
  void CheckScript();
  void CheckLanguages();
  void Error(String text) { errors_.push_back(std::move(text)); }
  void Warning(String text) { warnings_.push_back(std::move(text)); }

  fs::path setup_dir_;
  std::optional<fs::path> product_dir_;
  std::vector<Entry> setup_entries_;
  std::vector<Entry> product_entries_;
  std::optional<TSetupScript> script_;
  std::vector<Language> languages_;
  StringList errors_;
  StringList warnings_;
};

const Entry* SetupCheck::FindEntry(const std::vector<Entry>& entries, StringView name) const {
  for (const Entry& entry : entries) {
    if (EqualsIgnoreCase(entry.name, name)) return &entry;
  }
  return nullptr;
}

bool SetupCheck::InPackages(StringView name) const {
  return FindEntry(product_entries_, name) || FindEntry(setup_entries_, name);
}

void SetupCheck::Run() {
  setup_entries_ = ListEntries(setup_dir_);
  if (product_dir_) product_entries_ = ListEntries(*product_dir_);
  CheckScript();
  CheckLanguages();
}

void SetupCheck::CheckScript() {
  // The setup reads the script from either package, the product's first.
  const Entry* entry = FindEntry(product_entries_, u"Install.xml");
  if (!entry) entry = FindEntry(setup_entries_, u"Install.xml");
  if (!entry) {
    Error(u"\"Install.xml\" is missing: the setup cannot start without its script");
    return;
  }
  TRuxXMLDocument document;
  auto where = [&document, entry] {
    return Format(u"%s:%d:%d: ", {entry->name, document.Error().Line, document.Error().Column});
  };
  try {
    document.LoadFromBytes(ReadFileBytes(entry->path));
  } catch (const ERuxXMLDocument& e) {
    Error((document.HasError() ? where() : entry->name + u": ") + e.Message());
    return;
  }
  if (document.HasError()) {
    Error(where() + document.Error().Message +
          u" (the setup would use only what comes before this point)");
  }
  if (!document.Root()) return;
  script_.emplace();
  script_->LoadFromDocument(document);

  if (script_->GetSetting(u"ProductName").empty()) {
    Error(
        u"the setting \"ProductName\" is missing or empty: the setup stops with \"Setup has "
        u"wrong config\"");
  }
  int64_t version_id;
  const String version = script_->GetSetting(u"ProductVersionId");
  if (!version.empty() && !TryStrToInt(version, version_id)) {
    Warning(Format(u"the setting \"ProductVersionId\" is not an integer: \"%s\"", {version}));
  }
  const TSetupScriptGroup& components = script_->Components();
  for (size_t i = 0; i < components.Count(); ++i) {
    const TSetupScriptFile& file = components.Items(i);
    const String entry_name = file.ValueOrFileName();
    if (entry_name.empty()) {
      Error(Format(u"Components: the file \"%s\" names no entry", {file.Name}));
    } else if (!InPackages(entry_name)) {
      Error(
          Format(u"Components: \"%s\" (for \"%s\") is in neither folder", {entry_name, file.Name}));
    }
  }
  const TSetupScriptGroup& license = script_->License();
  if (license.Count() == 0) Warning(u"the script names no license: the license page stays empty");
  for (size_t i = 0; i < license.Count(); ++i) {
    if (!InPackages(license.Items(i).Name)) {
      Error(Format(u"License: \"%s\" is in neither folder", {license.Items(i).Name}));
    }
  }
}

void SetupCheck::CheckLanguages() {
  // Languages are the ".lng" entries of the setup package.
  StringList names;
  for (const Entry& entry : setup_entries_) {
    const size_t dot = entry.name.rfind(u'.');
    if (dot != String::npos && EqualsIgnoreCase(StringView(entry.name).substr(dot), u".lng")) {
      names.push_back(entry.name);
    }
  }
  SortLogical(names);
  const Entry* english_entry = FindEntry(setup_entries_, u"English.lng");
  if (!english_entry) {
    Error(u"\"English.lng\" is missing from the setup folder: the setup's strings start from it");
  }
  TRuxIniFile english;
  if (english_entry) LoadIni(english, ReadFileBytes(english_entry->path));
  for (const String& name : names) {
    const std::string bytes = ReadFileBytes(FindEntry(setup_entries_, name)->path);
    TRuxIniFile ini;
    LoadIni(ini, bytes);
    Language language;
    language.file = name;
    Bytes icon;
    LangGetInfo(ini, language.info, &icon);
    language.has_icon = !icon.empty();
    language.family = ini.ReadString(u"File", u"Family", {});
    language.ansi_cp = ini.ReadInteger(u"File", u"ANSICP", 0);
    if (!ini.SectionExists(u"File")) {
      Error(Format(u"%s: the section \"File\" is missing", {name}));
    } else {
      if (language.info.Name.empty()) Error(Format(u"%s: \"File\"/\"Name\" is missing", {name}));
      if (language.info.LangId == 0) {
        Error(Format(u"%s: \"File\"/\"LangId\" is missing or not an integer", {name}));
      }
      if (language.family.empty()) {
        Warning(Format(u"%s: \"File\"/\"Family\" is missing: \"EN\" is assumed", {name}));
      }
    }
    if (ini.Encoding() == TextEncoding::kAnsi &&
        std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; })) {
      Warning(
          Format(u"%s: no byte-order mark, so its text is read in the ANSI code page; "
                 u"save it as UTF-8 with a byte-order mark",
                 {name}));
    }
    if (english_entry && !EqualsIgnoreCase(name, english_entry->name)) {
      for (size_t s = 0; s < english.SectionCount(); ++s) {
        const TRuxIniFileSection& section = english.Section(s);
        if (EqualsIgnoreCase(section.Name(), u"File")) continue;
        for (size_t k = 0; k < section.Count(); ++k) {
          const StringView key = section.Key(k);
          if (!key.empty() && section.IndexOfKey(key) == static_cast<std::ptrdiff_t>(k) &&
              !ini.ValueExists(section.Name(), key)) {
            language.missing_keys.push_back(section.Name() + u'/' + String(key));
          }
        }
      }
      if (!language.missing_keys.empty()) {
        Warning(Format(u"%s lacks these keys of English.lng (English is shown instead): %s",
                       {name, JoinStrings(language.missing_keys, u", ")}));
      }
    }
    languages_.push_back(std::move(language));
  }
}

void SetupCheck::PrintText() const {
  for (const String& e : errors_)
    PrintLine(u"error: " + e);
  for (const String& w : warnings_)
    PrintLine(u"warning: " + w);
  PrintLine(Format(u"check: %d errors, %d warnings, %d languages",
                   {errors_.size(), warnings_.size(), languages_.size()}));
}

void SetupCheck::PrintJson() const {
  String out = u"{\n  \"script\": ";
  if (!script_) {
    out += u"null";
  } else {
    out += u"{\n    \"groups\": {";
    const std::pair<const char16_t*, const TSetupScriptGroup*> groups[] = {
        {u"Components", &script_->Components()},
        {u"Actions", &script_->Actions()},
        {u"Shortcuts", &script_->Shortcuts()},
        {u"License", &script_->License()}};
    bool first_group = true;
    for (const auto& [name, group] : groups) {
      out += first_group ? u"\n" : u",\n";
      first_group = false;
      out += u"      " + JsonString(name) + u": [";
      for (size_t i = 0; i < group->Count(); ++i) {
        const TSetupScriptFile& f = group->Items(i);
        out += i ? u",\n        " : u"\n        ";
        out += u"{\"name\": " + JsonString(f.Name) + u", \"value\": " + JsonString(f.Value) +
               u", \"lang-family\": " + JsonString(f.LangFamily) + u"}";
      }
      out += group->Count() ? u"\n      ]" : u"]";
    }
    out += u"\n    },\n    \"settings\": [";
    const StringList& settings = script_->Settings();
    for (size_t i = 0; i < settings.size(); ++i) {
      const size_t eq = settings[i].find(u'=');
      out += i ? u",\n      " : u"\n      ";
      out += u"{\"name\": " + JsonString(StringView(settings[i]).substr(0, eq)) + u", \"value\": " +
             JsonString(StringView(settings[i]).substr(eq + 1)) + u"}";
    }
    out += settings.empty() ? u"]\n  }" : u"\n    ]\n  }";
  }
  out += u",\n  \"languages\": [";
  for (size_t i = 0; i < languages_.size(); ++i) {
    const Language& l = languages_[i];
    out += i ? u",\n    " : u"\n    ";
    out += u"{\"file\": " + JsonString(l.file) + u", \"name\": " + JsonString(l.info.Name) +
           u", \"author\": " + JsonString(l.info.Author) + u", \"langId\": " +
           IntToStr(l.info.LangId) + u", \"versionId\": " + IntToStr(l.info.VersionId) +
           u", \"family\": " + JsonString(l.family) + u", \"ansiCP\": " + IntToStr(l.ansi_cp) +
           u", \"icon\": " + (l.has_icon ? u"true" : u"false") + u", \"missingKeys\": " +
           JsonStringArray(l.missing_keys) + u"}";
  }
  out += languages_.empty() ? u"]" : u"\n  ]";
  out += u",\n  \"errors\": " + JsonStringArray(errors_);
  out += u",\n  \"warnings\": " + JsonStringArray(warnings_) + u"\n}";
  PrintLine(out);
}

constexpr const char16_t* kUsage = u"usage: setuptool check SETUP_DIR [PRODUCT_DIR] [--json]";

}  // namespace

int CheckCommand(const StringList& args) {
  StringList folders;
  bool json = false;
  for (const String& arg : args) {
    if (arg == u"--json") {
      json = true;
    } else if (arg.starts_with(u"-")) {
      PrintError(u"setuptool check: unknown option \"" + arg + u"\"\n" + kUsage);
      return 2;
    } else {
      folders.push_back(arg);
    }
  }
  if (folders.empty() || folders.size() > 2) {
    PrintError(kUsage);
    return 2;
  }
  for (const String& folder : folders) {
    std::error_code error;
    if (!fs::is_directory(ToPath(folder), error)) {
      PrintError(u"setuptool check: \"" + folder + u"\" is not a folder");
      return 2;
    }
  }
  SetupCheck check(ToPath(folders[0]),
                   folders.size() > 1 ? std::optional(ToPath(folders[1])) : std::nullopt);
  check.Run();
  if (json) {
    check.PrintJson();
  } else {
    check.PrintText();
  }
  return check.HasErrors() ? 1 : 0;
}

}  // namespace nolu::tool
