#include "base/ini_file.h"

#include <filesystem>
#include <limits>
#include <string>

#include "base/buffered_stream.h"
#include "base/format.h"
#include "base/locale.h"
#include "base/memory_stream.h"

namespace nolu {
namespace {

bool HasLineBreak(StringView text) {
  return text.find_first_of(u"\r\n\u2028") != StringView::npos;
}

void CheckName(StringView section) {
  if (HasLineBreak(section)) {
    throw ERuxIniFileError(Format(u"The INI section name \"%s\" holds a line break", {section}));
  }
}

void CheckKey(StringView key) {
  if (HasLineBreak(key) || key.find(u'=') != StringView::npos || key.starts_with(u'[')) {
    throw ERuxIniFileError(
        Format(u"The INI key \"%s\" holds a line break, \"=\" or a leading \"[\"", {key}));
  }
}

void CheckLine(StringView key, StringView value) {
  CheckKey(key);
  if (HasLineBreak(value)) {
    throw ERuxIniFileError(Format(u"The INI value of \"%s\" holds a line break", {key}));
  }
}

// Plain decimal with an optional sign, within the 32-bit range of the typed values.
bool TryReadInt32(StringView text, int32_t& value) {
  int64_t wide;
  if (!TryStrToInt(text, wide) || wide < std::numeric_limits<int32_t>::min() ||
      wide > std::numeric_limits<int32_t>::max()) {
    return false;
  }
  value = static_cast<int32_t>(wide);
  return true;
}

// The bytes from the stream's position to its end.
Bytes ReadAll(TStream& stream) {
  TMemoryStream copy;
  copy.CopyRemainingFrom(stream);
  return copy.TakeBytes();
}

}  // namespace

TRuxIniFile::TRuxIniFile() = default;

TRuxIniFile::TRuxIniFile(const String& file_name, bool auto_save)
    : file_name_(file_name), auto_save_(auto_save) {
  if (!file_name.empty()) LoadFromFile(file_name);
}

TRuxIniFile::~TRuxIniFile() {
  if (!auto_save_) return;
  try {
    UpdateFile();
  } catch (...) {
    // A destructor cannot report; UpdateFile itself only fails for the file's sake.
  }
}

// --------------------------------------------------------------------------- files

void TRuxIniFile::LoadFromFile(const String& file_name) {
  Clear();
  try {
    TBufferedFileStream file(file_name, FileMode::kOpenRead);
    LoadFromStream(file);
  } catch (const Exception&) {
    Clear();
  }
  modified_ = false;
}

void TRuxIniFile::LoadFromStream(TStream& stream) {
  const Bytes bytes = ReadAll(stream);
  BeginUpdate();
  Clear();
  Parse(DecodeText({reinterpret_cast<const char*>(bytes.data()), bytes.size()}, encoding_));
  EndUpdate();
}

void TRuxIniFile::Parse(StringView text) {
  TRuxIniFileSection* current = nullptr;
  for (String& line : SplitLines(text)) {
    if (line.empty()) continue;
    if (line[0] == u'[') {
      const String name = line.size() > 2 ? line.substr(1, line.size() - 2) : String();
      current = &FindOrAdd(name);
    } else if (current) {
      current->Add(std::move(line));
    }
  }
}

String TRuxIniFile::Text() const {
  String text;
  for (const auto& section : sections_) {
    if (section->Count() == 0) continue;
    text += u'[';
    text += section->Name();
    text += u"]\r\n";
    for (size_t i = 0; i < section->Count(); ++i) {
      text += section->Line(i);
      text += u"\r\n";
    }
    text += u"\r\n";
  }
  return text;
}

void TRuxIniFile::SaveToStream(TStream& stream, TextEncoding encoding) const {
  const std::string bytes = EncodeText(Text(), encoding);
  stream.WriteBuffer(bytes.data(), bytes.size());
}

bool TRuxIniFile::SaveToFile(const String& file_name, TextEncoding encoding) const {
  // The whole text is ready before the file is truncated, so that nothing that can fail
  // stands between truncating and writing.
  const std::string bytes = EncodeText(Text(), encoding);
  try {
    std::error_code ignored;
    const std::filesystem::path path(
        std::u16string_view(file_name.data(), file_name.size()));  // UTF-16 to native
    std::filesystem::permissions(path, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
    TBufferedFileStream file(file_name, FileMode::kCreate);
    file.WriteBuffer(bytes.data(), bytes.size());
    file.Flush();
    return true;
  } catch (const Exception&) {
    return false;
  } catch (const std::exception&) {
    return false;
  }
}

bool TRuxIniFile::UpdateFile() {
  if (file_name_.empty()) return false;
  if (!modified_) return true;
  if (!SaveToFile(file_name_, encoding_)) return false;
  modified_ = false;
  return true;
}

// --------------------------------------------------------------------------- lookups

TRuxIniFileSection* TRuxIniFile::Find(StringView section) const {
  TRuxIniFileSection* cached = last_section_.load(std::memory_order_acquire);
  if (cached && EqualsIgnoreCase(cached->Name(), section)) return cached;
  for (const auto& candidate : sections_) {
    if (EqualsIgnoreCase(candidate->Name(), section)) {
      last_section_.store(candidate.get(), std::memory_order_release);
      return candidate.get();
    }
  }
  return nullptr;
}

const TRuxIniFileSection* TRuxIniFile::FindSection(StringView section) const {
  return Find(section);
}

TRuxIniFileSection& TRuxIniFile::FindOrAdd(StringView section) {
  if (TRuxIniFileSection* found = Find(section)) return *found;
  sections_.push_back(std::make_unique<TRuxIniFileSection>(String(section)));
  Changed();
  return *sections_.back();
}

String TRuxIniFile::ReadString(StringView section, StringView key, StringView default_value) const {
  const TRuxIniFileSection* found = Find(section);
  const std::ptrdiff_t index = found ? found->IndexOfKey(key) : -1;
  return index < 0 ? String(default_value) : String(found->Value(static_cast<size_t>(index)));
}

int32_t TRuxIniFile::ReadInteger(StringView section, StringView key, int32_t default_value) const {
  int32_t value;
  return TryReadInt32(ReadString(section, key, {}), value) ? value : default_value;
}

bool TRuxIniFile::ReadBool(StringView section, StringView key, bool default_value) const {
  int32_t value;
  return TryReadInt32(ReadString(section, key, {}), value) ? value != 0 : default_value;
}

bool TRuxIniFile::ReadBytes(StringView section, StringView key, Bytes& bytes) const {
  const String hex = ReadString(section, key, {});
  return !hex.empty() && HexToBytes(hex, bytes);
}

bool TRuxIniFile::ReadStream(StringView section, StringView key, TStream& stream) const {
  Bytes bytes;
  if (!ReadBytes(section, key, bytes)) return false;
  stream.WriteBuffer(bytes.data(), bytes.size());
  stream.SetPosition(0);
  return true;
}

bool TRuxIniFile::SectionExists(StringView section) const {
  return Find(section) != nullptr;
}

bool TRuxIniFile::ValueExists(StringView section, StringView key) const {
  const TRuxIniFileSection* found = Find(section);
  return found && found->IndexOfKey(key) >= 0;
}

void TRuxIniFile::ReadKeys(StringView section, StringList& keys) const {
  keys.clear();
  const TRuxIniFileSection* found = Find(section);
  if (!found) return;
  for (size_t i = 0; i < found->Count(); ++i) {
    if (!found->Key(i).empty()) keys.emplace_back(found->Key(i));
  }
}

String TRuxIniFile::ReadSectionText(StringView section) const {
  String text;
  const TRuxIniFileSection* found = Find(section);
  for (size_t i = 0; found && i < found->Count(); ++i) {
    if (i) text += u"\r\n";
    text += found->Line(i);
  }
  return text;
}

// --------------------------------------------------------------------------- changes

void TRuxIniFile::WriteString(StringView section, StringView key, StringView value) {
  CheckName(section);
  CheckLine(key, value);
  String line(key);
  line += u'=';
  line += value;
  TRuxIniFileSection& target = FindOrAdd(section);
  const std::ptrdiff_t index = target.IndexOfKey(key);
  if (index >= 0) {
    target.Replace(static_cast<size_t>(index), std::move(line));
  } else {
    target.Add(std::move(line));
  }
  Changed();
}

void TRuxIniFile::WriteInteger(StringView section, StringView key, int32_t value) {
  WriteString(section, key, IntToStr(value));
}

void TRuxIniFile::WriteBool(StringView section, StringView key, bool value) {
  WriteString(section, key, value ? u"1" : u"0");
}

void TRuxIniFile::WriteStream(StringView section, StringView key, TStream& stream) {
  const int64_t position = stream.Position();
  stream.SetPosition(0);
  const Bytes bytes = ReadAll(stream);
  stream.SetPosition(position);
  if (bytes.empty()) {
    DeleteKey(section, key);
    return;
  }
  WriteString(section, key, BytesToHex(bytes));
}

bool TRuxIniFile::DeleteKey(StringView section, StringView key) {
  TRuxIniFileSection* found = Find(section);
  const std::ptrdiff_t index = found ? found->IndexOfKey(key) : -1;
  if (index < 0) return false;
  found->Delete(static_cast<size_t>(index));
  Changed();
  return true;
}

bool TRuxIniFile::DeleteSection(StringView section) {
  TRuxIniFileSection* found = Find(section);
  if (!found) return false;
  last_section_.store(nullptr, std::memory_order_release);
  std::erase_if(sections_, [found](const auto& s) { return s.get() == found; });
  Changed();
  return true;
}

void TRuxIniFile::WriteSectionText(StringView section, StringView text) {
  CheckName(section);
  StringList lines = SplitLines(text);
  std::erase_if(lines, [](const String& line) { return line.empty(); });
  for (const String& line : lines) {
    if (line[0] == u'[') {
      throw ERuxIniFileError(Format(u"The INI line \"%s\" would open a section", {line}));
    }
  }
  TRuxIniFileSection& target = FindOrAdd(section);
  target.Clear();
  for (String& line : lines)
    target.Add(std::move(line));
  Changed();
}

void TRuxIniFile::Merge(const TRuxIniFile& source, bool overwrite) {
  BeginUpdate();
  try {
    for (const auto& from : source.sections_) {
      TRuxIniFileSection* into = Find(from->Name());
      if (!into) {
        TRuxIniFileSection& added = FindOrAdd(from->Name());
        for (size_t i = 0; i < from->Count(); ++i)
          added.Add(from->Line(i));
        continue;
      }
      for (size_t i = 0; i < from->Count(); ++i) {
        const StringView key = from->Key(i);
        // Only the first occurrence of a key counts, as for every read.
        if (key.empty() || from->IndexOfKey(key) != static_cast<std::ptrdiff_t>(i)) continue;
        const std::ptrdiff_t existing = into->IndexOfKey(key);
        if (existing >= 0 && !overwrite) continue;
        String line(key);
        line += u'=';
        line += from->Value(i);
        if (existing >= 0) {
          into->Replace(static_cast<size_t>(existing), std::move(line));
        } else {
          into->Add(std::move(line));
        }
      }
    }
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TRuxIniFile::Assign(const TRuxIniFile& source) {
  if (&source == this) return;
  TMemoryStream copy;
  source.SaveToStream(copy);
  copy.SetPosition(0);
  LoadFromStream(copy);
}

void TRuxIniFile::Clear() {
  last_section_.store(nullptr, std::memory_order_release);
  if (sections_.empty()) return;
  sections_.clear();
  Changed();
}

void TRuxIniFile::EndUpdate() {
  if (update_count_ == 0) return;
  if (--update_count_ == 0) {
    modified_ = true;
    if (on_change_) on_change_();
  }
}

void TRuxIniFile::Changed() {
  modified_ = true;
  if (update_count_ == 0 && on_change_) on_change_();
}

}  // namespace nolu
