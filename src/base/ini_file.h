// TRuxIniFile: the one class behind every INI text of the system: the language files, the
// run's string table, the options store, "Uninstall.ini", "addons.ini" and the product's
// configuration files.
//
// The dialect:
//   * Reading: encoding by byte-order mark (text_encoding.h). Lines end at CR LF, CR, LF or
//     U+2028. Empty lines are skipped. A line starting with "[" opens a section named by the
//     line without its first and last character (nothing trimmed); a name seen before
//     reopens that section. Every other line is one entry of the current section, verbatim;
//     lines before the first section are dropped. There are no comments: ";x" is an entry
//     with an empty key.
//   * Writing: the mark of the encoding, then each section with entries, in creation order:
//     "[" name "]", its lines verbatim, one empty line; every line ends with CR LF. Sections
//     without entries are not written.
//   * Section names and keys compare with EqualsIgnoreCase; with a key present twice, reads
//     and overwrites use the first.
//
// Missing sections and keys never raise: reads give the caller's default. Writes refuse
// (ERuxIniFileError) what the text form cannot hold and would read back as something else:
// a line break in a name, key or value, "=" in a key, or a key starting with "[".
//
// Threads: lookups (Read*, SectionExists, ValueExists, ReadKeys, ReadSectionText) do not
// change the object visibly and may run on several threads at once; the section cache they
// update is atomic. Writes need the caller's exclusive access, as with any container.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/errors.h"
#include "base/ini_file_section.h"
#include "base/stream.h"
#include "base/text.h"
#include "base/text_encoding.h"

namespace nolu {

class ERuxIniFileError : public Exception {
 public:
  using Exception::Exception;
};

class TRuxIniFile {
 public:
  TRuxIniFile();
  // With a non-empty file name the file is loaded at once (LoadFromFile).
  explicit TRuxIniFile(const String& file_name, bool auto_save = false);
  // Writes the object back (UpdateFile) when AutoSave is set; a failure is not reported.
  ~TRuxIniFile();
  TRuxIniFile(const TRuxIniFile&) = delete;
  TRuxIniFile& operator=(const TRuxIniFile&) = delete;

  const String& FileName() const { return file_name_; }
  void SetFileName(const String& file_name) { file_name_ = file_name; }
  bool AutoSave() const { return auto_save_; }
  void SetAutoSave(bool auto_save) { auto_save_ = auto_save; }
  // UTF-16LE until a load detects another; UpdateFile writes with it.
  TextEncoding Encoding() const { return encoding_; }
  void SetEncoding(TextEncoding encoding) { encoding_ = encoding; }
  bool Modified() const { return modified_; }
  void SetModified(bool modified) { modified_ = modified; }
  // Called after every change made outside BeginUpdate/EndUpdate, and by the last EndUpdate.
  void SetOnChange(std::function<void()> on_change) { on_change_ = std::move(on_change); }

  // Clears the object and reads the file, opened with sharing allowed; a file that cannot
  // be opened or read leaves the object empty. Afterwards Modified is false.
  void LoadFromFile(const String& file_name);
  // Clears the object and parses the stream from its position to its end.
  void LoadFromStream(TStream& stream);
  void SaveToStream(TStream& stream, TextEncoding encoding) const;
  void SaveToStream(TStream& stream) const { SaveToStream(stream, TextEncoding::kUtf16LE); }
  // Makes a read-only file writable, then creates or truncates it and writes the text; false
  // when the file cannot be written. Never raises for the file's sake.
  bool SaveToFile(const String& file_name, TextEncoding encoding) const;
  // False without a file name; true when not modified; otherwise SaveToFile with Encoding,
  // clearing Modified on success.
  bool UpdateFile();

  String ReadString(StringView section, StringView key, StringView default_value) const;
  int32_t ReadInteger(StringView section, StringView key, int32_t default_value) const;
  bool ReadBool(StringView section, StringView key, bool default_value) const;
  // Decodes hexadecimal byte data into the stream at its position, then sets the position to
  // 0. False, writing nothing, when the value is missing, empty or malformed.
  bool ReadStream(StringView section, StringView key, TStream& stream) const;
  // The byte data as bytes; false when missing, empty or malformed.
  bool ReadBytes(StringView section, StringView key, Bytes& bytes) const;

  void WriteString(StringView section, StringView key, StringView value);
  void WriteInteger(StringView section, StringView key, int32_t value);
  void WriteBool(StringView section, StringView key, bool value);
  // The stream's whole content as hexadecimal; an empty stream deletes the key instead.
  // The stream's position is kept.
  void WriteStream(StringView section, StringView key, TStream& stream);

  bool SectionExists(StringView section) const;
  bool ValueExists(StringView section, StringView key) const;
  bool DeleteKey(StringView section, StringView key);
  bool DeleteSection(StringView section);
  // The non-empty keys of the section, in order.
  void ReadKeys(StringView section, StringList& keys) const;
  // All lines of the section joined by CR LF; empty for a missing section.
  String ReadSectionText(StringView section) const;
  // Replaces all lines of the section (created if missing) by the non-empty lines of `text`.
  void WriteSectionText(StringView section, StringView text);

  // For each section of `source`: an existing section receives each non-empty key (value of
  // its first occurrence), keeping keys it has unless `overwrite`; a new one is copied whole.
  void Merge(const TRuxIniFile& source, bool overwrite);
  // Clears this object and loads a copy of `source`.
  void Assign(const TRuxIniFile& source);

  void Clear();
  bool IsEmpty() const { return sections_.empty(); }
  size_t SectionCount() const { return sections_.size(); }
  const String& SectionName(size_t index) const { return sections_[index]->Name(); }
  const TRuxIniFileSection& Section(size_t index) const { return *sections_[index]; }
  // The section of that name, or nullptr.
  const TRuxIniFileSection* FindSection(StringView section) const;

  void BeginUpdate() { ++update_count_; }
  void EndUpdate();

 private:
  TRuxIniFileSection* Find(StringView section) const;
  TRuxIniFileSection& FindOrAdd(StringView section);
  void Parse(StringView text);
  String Text() const;
  void Changed();

  String file_name_;
  bool auto_save_ = false;
  TextEncoding encoding_ = TextEncoding::kUtf16LE;
  bool modified_ = false;
  int update_count_ = 0;
  std::function<void()> on_change_;
  std::vector<std::unique_ptr<TRuxIniFileSection>> sections_;
  // The section found last: callers read many keys of one section in a row.
  mutable std::atomic<TRuxIniFileSection*> last_section_{nullptr};
};

}  // namespace nolu
